#pragma once
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "data/CompiledExpression.h"

// An attribute of a script record: its raw text and, once the record is
// compiled, the text's parsed expression (shared with every other record and
// evaluator that holds the same text).
struct CommandAttribute {
    std::wstring mText;
    ExpressionHandle mExpression;  // null until compiled
};

using CommandAttributes = std::map<std::wstring, CommandAttribute, std::less<>>;

// One script record of animations.xml: the element name is the command, its
// attributes are expression text, compiled when the animations load. The
// "if" and "unless" guards are kept apart from the other attributes; nested
// elements (the bodies of "loop", "for", "if" ...) are the children.
class AnimationCommand {
public:
    std::wstring mName;
    CommandAttributes mAttributes;  // without "if" and "unless"
    CommandAttribute mIf;      // empty text when absent (an empty guard passes)
    CommandAttribute mUnless;  // empty text when absent (an empty guard does not stop)
    std::vector<AnimationCommand> mChildren;
    const std::string* mFile = nullptr;  // where it was defined, for messages; never freed
    int mLine = 0;
    // Where the command registry keeps the name's handlers, found when the
    // record loaded (-1: not looked up, or no handler then).
    int mHandlerSlot = -1;
    // The loader found no handler registered for the name and said so.
    bool mUnknownAtLoad = false;
    // The slots of the property names its "property" list gives, in order,
    // found when the record loaded (empty: not looked up, and the names are
    // then looked up as the command runs).
    std::vector<int> mPropertySlots;

    bool HasAttribute(std::wstring_view name) const { return mAttributes.find(name) != mAttributes.end(); }
    // Null when absent.
    const CommandAttribute* FindAttribute(std::wstring_view name) const;
    // The raw text, empty when absent.
    const std::wstring& GetAttribute(std::wstring_view name) const;
    // Raw text, not compiled (records built by hand evaluate it by text).
    void SetAttribute(const std::wstring& name, const std::wstring& text);
    // Parses the attributes and guards of this record (not its children).
    void Compile();
    // "file:line" for messages.
    std::string Where() const;
};

// The interned copy of a source file name: records point at it.
const std::string* InternSourceName(const std::string& name);

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
