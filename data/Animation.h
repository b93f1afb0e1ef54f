#pragma once
#include <map>
#include <memory>
#include <string>
#include <vector>

// One script record of animations.xml: the element name is the command, its
// attributes are raw expression text (evaluated when the command runs). The
// "if" and "unless" guards are kept apart from the other attributes; nested
// elements (the bodies of "loop", "for", "if" ...) are the children.
class AnimationCommand {
public:
    std::wstring mName;
    std::map<std::wstring, std::wstring> mAttributes;  // without "if" and "unless"
    std::wstring mIf;      // raw; empty when absent (an empty guard passes)
    std::wstring mUnless;  // raw; empty when absent (an empty guard does not stop)
    std::vector<AnimationCommand> mChildren;
    int mLine = 0;  // where it was defined, for messages

    bool HasAttribute(const std::wstring& name) const { return mAttributes.count(name) != 0; }
    // The raw text, empty when absent.
    const std::wstring& GetAttribute(const std::wstring& name) const;
};

class Animation {
public:
    std::wstring mName;
    std::vector<AnimationCommand> mCommands;
};

using AnimationTable = std::map<std::wstring, Animation>;

// The named animation, or an empty animation (no name, no commands) when there
// is none; nothing is inserted. The reference stays valid for the rest of the
// run, also across a later PublishAnimations.
const Animation& GetAnimation(const std::wstring& name);
// Null when absent.
const Animation* FindAnimation(const std::wstring& name);
bool AnimationExists(const std::wstring& name);
size_t AnimationCount();

// Replaces the whole table in one step under the table's lock. Earlier tables
// are kept alive, since running scripts point into them.
void PublishAnimations(AnimationTable table);
