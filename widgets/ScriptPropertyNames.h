#pragma once
#include <string>
#include <vector>

class AnimationCommand;

// The property names a script record lists in its "property" attribute
// ("x,y"), taken as written (never evaluated) and resolved to slots of
// DynamicWidget's property table. That table is the same for every widget
// class, so a name it lacks is no property of any object: the animation
// loader refuses it, with the nearest known name, instead of letting the
// command skip it each time it runs.
namespace ScriptPropertyNames {

// The slots of every listed name, in order (none without the attribute).
// False, with the reason in `error`, at the first name the table lacks.
bool Resolve(const AnimationCommand& command, std::vector<int>& slots, std::string& error);

// "Unknown script property 'opactiy' (did you mean 'opacity'?)"; without a
// near name the known ones are listed.
std::string DescribeUnknown(const std::wstring& name);

}  // namespace ScriptPropertyNames
