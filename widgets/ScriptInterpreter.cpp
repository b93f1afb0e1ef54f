#include <unordered_map>

#include "widgets/AppServices.h"
#include "widgets/AnimationWidget.h"
#include "widgets/ScriptCommands.h"

// The walk over a script's commands: RunScript takes the records one by one,
// offers each to the class hook and the application hook, and runs the
// built-in command of that name. NextCommand moves through the tree of
// records: into children, back out through the call stack, and round the
// body of a loop again at its end.

namespace {

// Where a script that used up its command budget waits for the next frame:
// the pending command sits on the call stack above this empty list, so the
// resume pops back to it without advancing past it.
const CommandList kYieldList;
// A time-out shorter than any frame.
constexpr float kYieldTime = 1.0e-4f;

int ListSize(const CommandList* list) { return list ? static_cast<int>(list->size()) : 0; }

bool IsLoopBodyFrame(const LoopRecord& loop, const ScriptFrame& frame) {
    return frame.mList == loop.mList && frame.mIndex == loop.mIndex + 1;
}

using CommandTable = std::unordered_map<std::wstring, ScriptCommandEntry>;

CommandTable BuildCommandTable() {
    CommandTable table;
    auto always = [&](const wchar_t* name, ScriptCommandHandler handler) {
        table[name].mAlways = handler;
    };
    auto targeted = [&](const wchar_t* name, ScriptCommandHandler handler) {
        table[name].mTargeted = handler;
    };
    auto untargeted = [&](const wchar_t* name, ScriptCommandHandler handler) {
        table[name].mUntargeted = handler;
    };
    using S = ScriptCommands;

    always(L"wait-for", &S::WaitFor);
    always(L"persist", &S::Persist);
    always(L"stop", &S::Stop);  // without "id" only
    always(L"play", &S::Play);
    always(L"spawn", &S::Spawn);
    always(L"overlay", &S::Overlay);
    always(L"call", &S::Call);
    always(L"load-after", &S::LoadAfter);
    always(L"define", &S::Define);
    always(L"define-global", &S::DefineGlobal);
    always(L"assign", &S::Assign);
    always(L"assign-global", &S::AssignGlobal);

    targeted(L"define-in", &S::DefineIn);
    targeted(L"undefine-in", &S::UndefineIn);
    targeted(L"unassign-in", &S::UnassignIn);
    targeted(L"assign-in", &S::AssignIn);
    targeted(L"play-in", &S::PlayIn);

    untargeted(L"do", &S::Do);
    untargeted(L"loop", &S::Loop);
    untargeted(L"for", &S::For);
    untargeted(L"break", &S::Break);
    untargeted(L"continue", &S::Continue);
    untargeted(L"if", &S::If);
    untargeted(L"unless", &S::Unless);
    untargeted(L"print", &S::Print);
    untargeted(L"undefine", &S::Undefine);
    untargeted(L"unassign", &S::Unassign);
    untargeted(L"undefine-global", &S::UndefineGlobal);
    untargeted(L"unassign-global", &S::UnassignGlobal);
    untargeted(L"signal", &S::Signal);
    untargeted(L"breakpoint", &S::Breakpoint);
    return table;
}

// Runs the built-in command of the record's name: group 1 first, then group
// 2 when "id" names an object, else group 3. Names that match nothing, and
// commands of the wrong group, are ignored.
ScriptStep RunBuiltIn(AnimationWidget& widget, const AnimationCommand& command) {
    const ScriptCommandEntry* entry = FindScriptCommand(command.mName);
    if (!entry) return ScriptStep::Next;
    if (entry->mAlways) {
        ScriptStep step = entry->mAlways(widget, command, nullptr);
        if (step != ScriptStep::NotHandled) return step;
    }
    if (!entry->mTargeted && !entry->mUntargeted) return ScriptStep::Next;
    DynamicWidget* target = nullptr;
    if (command.HasAttribute(L"id")) target = widget.FindScriptObject(L"id");
    ScriptCommandHandler handler = target ? entry->mTargeted : entry->mUntargeted;
    if (!handler) return ScriptStep::Next;
    ScriptStep step = handler(widget, command, target);
    return step == ScriptStep::NotHandled ? ScriptStep::Next : step;
}

bool GuardsPass(AnimationWidget& widget, const AnimationCommand& command) {
    ExpressionEvaluator& evaluator = widget.GetEvaluator();
    if (!command.mIf.empty() && !evaluator.Evaluate(command.mIf).ToBool()) return false;
    if (!command.mUnless.empty() && evaluator.Evaluate(command.mUnless).ToBool()) return false;
    return true;
}

}  // namespace

const ScriptCommandEntry* FindScriptCommand(const std::wstring& name) {
    static const CommandTable table = BuildCommandTable();
    auto it = table.find(name);
    return it == table.end() ? nullptr : &it->second;
}

LoopRecord* ScriptCommands::ActiveLoop(AnimationWidget& w) {
    while (!w.mLoopStack.empty()) {
        LoopRecord& loop = w.mLoopStack.back();
        if (loop.mDepth < w.mCallStack.size() && IsLoopBodyFrame(loop, w.mCallStack[loop.mDepth]))
            return &loop;
        w.mLoopStack.pop_back();
    }
    return nullptr;
}

bool AnimationWidget::RunScript(bool advance) {
    Widget::MarkDirty();  // whatever a script does may show
    mWaitState = WaitState::Running;
    const int plays = mPlayCount;
    ScriptCommands::ActiveLoop(*this);  // forget loops of a script that was stopped
    int budget = kScriptCommandBudget;
    for (;;) {
        NextCommand(advance);
        advance = true;
        if (IsScriptFinished()) {
            mWaitState = WaitState::Running;
            ScriptEnded();
            return false;
        }
        if (--budget < 0) {
            // A script that never waits (an endless "loop", a deep recursion)
            // goes on next frame instead of holding the game here.
            mCallStack.push_back(ScriptFrame{mCommands, mCommandIndex});
            mCommands = &kYieldList;
            mCommandIndex = 0;
            mWaitState = WaitState::Condition;
            mWaitTime = kYieldTime;
            return true;
        }
        const AnimationCommand& command = (*mCommands)[static_cast<size_t>(mCommandIndex)];
        if (GuardsPass(*this, command)) {
            int result = HandleCommand(command);
            if (result == 1) return true;
            if (result != 2 && gAppServices) {
                result = gAppServices->HandleScriptCommand(command, this);
                if (result == 1) return true;
            }
            if (result != 2) {
                switch (RunBuiltIn(*this, command)) {
                    case ScriptStep::Stop:
                        return true;
                    case ScriptStep::End:
                        return false;
                    case ScriptStep::Moved:
                        advance = false;
                        break;
                    default:
                        break;
                }
            }
        }
        if (mPlayCount != plays) return true;
    }
}

void AnimationWidget::NextCommand(bool advance) {
    if (advance && mCommandIndex >= 0 && mCommandIndex < ListSize(mCommands)) {
        const AnimationCommand& current = (*mCommands)[static_cast<size_t>(mCommandIndex)];
        if (!current.mChildren.empty()) {
            mCallStack.push_back(ScriptFrame{mCommands, mCommandIndex + 1});
            mCommands = &current.mChildren;
            mCommandIndex = 0;
        } else {
            ++mCommandIndex;
        }
    }
    while (!mCallStack.empty() && mCommandIndex >= ListSize(mCommands)) {
        mCommands = mCallStack.back().mList;
        mCommandIndex = mCallStack.back().mIndex;
        mCallStack.pop_back();
        if (mLoopStack.empty()) continue;
        LoopRecord& loop = mLoopStack.back();
        if (loop.mDepth != mCallStack.size() ||
            !IsLoopBodyFrame(loop, ScriptFrame{mCommands, mCommandIndex}))
            continue;
        // One pass of the loop's body is over.
        if (!loop.mStep.empty()) SetVariable(loop.mVariable, mEvaluator.Evaluate(loop.mStep));
        if (loop.mCount > 0) --loop.mCount;
        bool holds = loop.mCondition.empty() || mEvaluator.Evaluate(loop.mCondition).ToBool();
        if (holds && loop.mCount != 0) {
            mCommandIndex = loop.mIndex;
            NextCommand(true);  // into the body again
            return;
        }
        mLoopStack.pop_back();
    }
}
