#pragma once
#include <mutex>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "data/Animation.h"

class AnimationCommand;
class AnimationWidget;
class DynamicWidget;

// What the walk does after a command: the one result of every handler,
// whether built in, a widget class's or the game's.
enum class ScriptStep {
    NotMine,  // not this handler's: the command is offered to the next one
    Next,     // done: go on with the next command (entering this one's children)
    Stop,     // stop here: RunScript returns true and the index stays on the command
    Moved,    // the handler placed the walk itself: run the command now current
    End,      // the script ended (ScriptEnded ran): RunScript returns false
};

// Every handler has this signature. `target` is the object that "id" names
// for the built-ins of the targeted group, null for every other handler.
using ScriptCommandHandler = ScriptStep (*)(AnimationWidget& widget,
                                            const AnimationCommand& command,
                                            DynamicWidget* target);

// The built-ins' groups, tried in this order: always, then targeted when "id"
// names an object, else untargeted. A name may have a handler in several
// ("stop" acts alone without "id" and on its target with one).
enum class ScriptCommandGroup { Always, Targeted, Untargeted };

// The one table of script commands. A record is offered, by its name, to the
// handlers registered for the running widget's class, then to the game's
// handler, then to the built-ins; the first result other than NotMine
// decides. Registration happens at start, before the animations load (the
// loader checks every name against this table) and never while a script
// runs; lookups take no lock.
class ScriptCommandRegistry {
public:
    // Holds the built-ins from the start; never destroyed.
    static ScriptCommandRegistry& Instance();

    using ClassTest = bool (*)(const AnimationWidget& widget);

    void AddBuiltIn(const std::wstring& name, ScriptCommandGroup group,
                    ScriptCommandHandler handler);
    // A command of the widget class W and its subclasses; the handler may
    // static_cast the widget to W. Classes are tried in registration order.
    template <class W>
    void AddClassCommand(const std::wstring& name, ScriptCommandHandler handler) {
        AddClassCommand(name, &IsA<W>, handler);
    }
    void AddClassCommand(const std::wstring& name, ClassTest test, ScriptCommandHandler handler);
    // Several commands of W that one member function of W runs by name.
    template <class W, ScriptStep (W::*Run)(const std::wstring&), size_t N>
    void AddClassCommands(const wchar_t* const (&names)[N]) {
        for (const wchar_t* name : names)
            AddClassCommand<W>(name, [](AnimationWidget& widget, const AnimationCommand& command,
                                        DynamicWidget*) { return (static_cast<W&>(widget).*Run)(command.mName); });
    }
    // The game's own command; a second registration of a name replaces the first.
    void AddGameCommand(const std::wstring& name, ScriptCommandHandler handler);

    // The whole offer, in order. A name with no handler at all is reported
    // once and the walk goes on (Next).
    ScriptStep Run(AnimationWidget& widget, const AnimationCommand& command) const;
    // Each stage alone (NotMine when it has nothing for the record).
    ScriptStep RunClassCommand(AnimationWidget& widget, const AnimationCommand& command) const;
    ScriptStep RunGameCommand(AnimationWidget& widget, const AnimationCommand& command) const;
    ScriptStep RunBuiltIn(AnimationWidget& widget, const AnimationCommand& command) const;

    bool IsKnown(const std::wstring& name) const { return Find(name) != nullptr; }
    // The loader's check of a record: sets the slot of its name's handlers
    // (-1, after reporting it once per name with its file and line, when no
    // handler could ever take the name) and, for the commands that name
    // properties of their target, the slots of those names. False, with the
    // reason in `error`, when one names no property of any object.
    bool CheckLoaded(AnimationCommand& command, std::string& error) const;

private:
    struct ClassHandler {
        ClassTest mTest;
        ScriptCommandHandler mHandler;
    };
    struct Entry {
        std::vector<ClassHandler> mClasses;
        ScriptCommandHandler mGame = nullptr;
        ScriptCommandHandler mAlways = nullptr;
        ScriptCommandHandler mTargeted = nullptr;
        ScriptCommandHandler mUntargeted = nullptr;
        int mSlot = -1;
        // Its "property" list names float properties of the target.
        bool mNamesProperties = false;
    };

    template <class W>
    static bool IsA(const AnimationWidget& widget) {
        return dynamic_cast<const W*>(&widget) != nullptr;
    }

    ScriptCommandRegistry();
    Entry& Add(const std::wstring& name);
    const Entry* Find(const std::wstring& name) const;
    // The record's slot when the loader found one, else by name.
    const Entry* Find(const AnimationCommand& command) const;
    ScriptStep RunClassCommand(const Entry& entry, AnimationWidget& widget,
                               const AnimationCommand& command) const;
    ScriptStep RunBuiltIn(const Entry& entry, AnimationWidget& widget,
                          const AnimationCommand& command) const;
    void ReportUnknown(const AnimationCommand& command) const;
    std::wstring ClosestName(const std::wstring& name) const;

    std::unordered_map<std::wstring, Entry> mEntries;  // nodes stay put
    std::vector<Entry*> mSlots;                        // by slot; only grows
    // Names already reported (by the loader thread or the main thread).
    mutable std::mutex mReportedLock;
    mutable std::unordered_set<std::wstring> mReported;
};
