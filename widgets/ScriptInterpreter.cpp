#include "widgets/AnimationWidget.h"
#include "widgets/ScriptCommands.h"

// The walk over a script's commands: RunScript takes the records one by one
// and offers each to the command registry (the widget class's commands, the
// game's, then the built-ins). NextCommand moves through the tree of
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

bool GuardsPass(AnimationWidget& widget, const AnimationCommand& command) {
    if (!command.mIf.mText.empty() && !ScriptCommands::Evaluate(widget, command.mIf).ToBool())
        return false;
    return command.mUnless.mText.empty() || !ScriptCommands::Evaluate(widget, command.mUnless).ToBool();
}

}  // namespace

ScriptStep AnimationWidget::HandleCommand(const AnimationCommand& command) {
    return ScriptCommandRegistry::Instance().RunClassCommand(*this, command);
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
    const int starts = mScriptStarts;
    const ScriptCommandRegistry& commands = ScriptCommandRegistry::Instance();
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
            const AnimationCommand* outer = mRunningCommand;
            mRunningCommand = &command;
            const ScriptStep step = commands.Run(*this, command);
            mRunningCommand = outer;
            switch (step) {
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
        // A play or an insert on this widget ran its own walk meanwhile.
        if (mScriptStarts != starts) return true;
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
        if (!loop.mStep.empty())
            SetVariable(loop.mVariable, mEvaluator.Evaluate(loop.mStepExpression, loop.mStep));
        if (loop.mCount > 0) --loop.mCount;
        bool holds = loop.mCondition.empty() ||
                     mEvaluator.Evaluate(loop.mConditionExpression, loop.mCondition).ToBool();
        if (holds && loop.mCount != 0) {
            mCommandIndex = loop.mIndex;
            NextCommand(true);  // into the body again
            return;
        }
        mLoopStack.pop_back();
    }
}
