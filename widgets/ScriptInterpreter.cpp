#include "widgets/AnimationWidget.h"

// The walk over a script's commands.

bool AnimationWidget::RunScript(bool advance) {
    mWaitState = WaitState::Running;
    NextCommand(advance);
    if (IsScriptFinished()) {
        ScriptEnded();
        return false;
    }
    return true;
}

void AnimationWidget::NextCommand(bool advance) {
    if (!mCommands) return;
    if (advance && mCommandIndex < static_cast<int>(mCommands->size())) ++mCommandIndex;
    while (!mCallStack.empty() && mCommandIndex >= static_cast<int>(mCommands->size())) {
        mCommands = mCallStack.back().mList;
        mCommandIndex = mCallStack.back().mIndex;
        mCallStack.pop_back();
        if (!mCommands) break;
    }
}
