#include <cstdlib>
#include <limits>

#include "widgets/AppServices.h"
#include "core/Log.h"
#include "core/StringUtil.h"
#include "widgets/AnimationWidget.h"
#include "widgets/ScriptCommands.h"

// Commands that steer a script: loops, conditions, subroutines, ending and
// signalling.

// --- Helpers -------------------------------------------------------------------

ScriptValue ScriptCommands::Evaluate(AnimationWidget& w, const CommandAttribute& attribute) {
    return w.GetEvaluator().Evaluate(attribute.mExpression, attribute.mText);
}

ScriptValue ScriptCommands::Evaluate(AnimationWidget& w, const AnimationCommand& c,
                                     std::wstring_view name) {
    const CommandAttribute* attribute = c.FindAttribute(name);
    return attribute ? Evaluate(w, *attribute) : ScriptValue();
}

std::wstring ScriptCommands::EvaluateText(AnimationWidget& w, const AnimationCommand& c,
                                          std::wstring_view name) {
    return Evaluate(w, c, name).ToString();
}

bool ScriptCommands::EvaluateBool(AnimationWidget& w, const AnimationCommand& c,
                                  std::wstring_view name, bool fallback) {
    return c.HasAttribute(name) ? Evaluate(w, c, name).ToBool() : fallback;
}

ScriptStep ScriptCommands::SkipChildren(AnimationWidget& w) {
    ++w.mCommandIndex;
    return ScriptStep::Moved;
}

namespace {

// Starts a loop over the command's children. A loop without children has
// nothing to repeat; keeping its record would only confuse the loop stack.
ScriptStep EnterLoop(AnimationWidget& w, const AnimationCommand& c, int count,
                     const std::wstring& variable, const std::wstring& step) {
    if (c.mChildren.empty()) return ScriptCommands::SkipChildren(w);
    LoopRecord loop;
    loop.mList = w.mCommands;
    loop.mIndex = w.mCommandIndex;
    loop.mDepth = w.mCallStack.size();
    loop.mCount = count;
    loop.mVariable = variable;
    if (const CommandAttribute* condition = c.FindAttribute(L"cond")) {
        loop.mCondition = condition->mText;
        loop.mConditionExpression = condition->mExpression;
    }
    loop.mStep = step;
    // A "step" written in the record was compiled when the animations
    // loaded; only a step made up here (the "to" form) is compiled now.
    const CommandAttribute* written = c.FindAttribute(L"step");
    if (written && written->mText == step && written->mExpression)
        loop.mStepExpression = written->mExpression;
    else if (!step.empty())
        loop.mStepExpression = ExpressionEvaluator::Compile(step);
    w.mLoopStack.push_back(std::move(loop));
    return ScriptStep::Next;  // the walk enters the children
}

// A loop's "cond": absent or empty holds.
bool ConditionHolds(AnimationWidget& w, const AnimationCommand& c) {
    const CommandAttribute* condition = c.FindAttribute(L"cond");
    return !condition || condition->mText.empty() || ScriptCommands::Evaluate(w, *condition).ToBool();
}

// Leaves the current pass of the innermost loop: back to its body's list, at
// its end, so the walk's next step finishes the pass.
ScriptStep EndPass(AnimationWidget& w, bool breakLoop) {
    LoopRecord* loop = ScriptCommands::ActiveLoop(w);
    if (!loop) return ScriptStep::Next;
    while (w.mCallStack.size() > loop->mDepth + 1) {
        w.mCommands = w.mCallStack.back().mList;
        w.mCommandIndex = w.mCallStack.back().mIndex;
        w.mCallStack.pop_back();
    }
    w.mCommandIndex = w.mCommands ? static_cast<int>(w.mCommands->size()) : 0;
    if (breakLoop) loop->mCount = 0;
    return ScriptStep::Moved;
}

bool CallDepthExceeded(AnimationWidget& w, const std::wstring& animation) {
    static_assert(kMaxScriptCallDepth * sizeof(ScriptFrame) <= (1u << 20),
                  "the cap bounds a runaway recursion's memory");
    if (w.mCallStack.size() < kMaxScriptCallDepth) return false;
    // Once per widget and play: a loop around the refused call would flood the log.
    static int sLastWidget = 0;
    static int sLastPlay = -1;
    if (w.mId == sLastWidget && w.mPlayCount == sLastPlay) return true;
    sLastWidget = w.mId;
    sLastPlay = w.mPlayCount;
    DebugPrintf("Script call depth of %zu reached: '%s' not called (widget '%s')\n",
                kMaxScriptCallDepth, WStringToString(animation).c_str(),
                WStringToString(w.mName).c_str());
    return true;
}

}  // namespace

// --- Loops -------------------------------------------------------------------------

ScriptStep ScriptCommands::Loop(AnimationWidget& w, const AnimationCommand& c, DynamicWidget*) {
    int count = c.HasAttribute(L"count") ? Evaluate(w, c, L"count").ToInt() : -1;
    if (count == 0 || !ConditionHolds(w, c)) return SkipChildren(w);
    return EnterLoop(w, c, count, std::wstring(), std::wstring());
}

ScriptStep ScriptCommands::For(AnimationWidget& w, const AnimationCommand& c, DynamicWidget*) {
    const std::wstring& name = c.GetAttribute(L"name");
    ScriptValue from = Evaluate(w, c, L"from");
    w.SetVariable(name, from);
    if (!ConditionHolds(w, c)) return SkipChildren(w);
    if (!c.HasAttribute(L"to")) return EnterLoop(w, c, -1, name, c.GetAttribute(L"step"));

    int first = from.ToInt();
    int last = Evaluate(w, c, L"to").ToInt();
    if (first == last) return SkipChildren(w);
    int inc = c.HasAttribute(L"inc") ? Evaluate(w, c, L"inc").ToInt() : (first < last ? 1 : -1);
    if (inc == 0) {
        // No pass count exists for a step of 0; running none is the safe reading.
        DebugPrintf("Script 'for' over '%s' with a step of 0 runs no pass (line %d)\n",
                    WStringToString(name).c_str(), c.mLine);
        return SkipChildren(w);
    }
    std::wstring step = StringToWString(StrFormat("%s%+d", WStringToString(name).c_str(), inc));
    long long span = std::llabs(static_cast<long long>(last) - first);
    long long stride = std::llabs(static_cast<long long>(inc));
    long long passes = (span + stride - 1) / stride;
    int count = static_cast<int>(std::min<long long>(passes, std::numeric_limits<int>::max()));
    return EnterLoop(w, c, count, name, step);
}

ScriptStep ScriptCommands::Break(AnimationWidget& w, const AnimationCommand&, DynamicWidget*) {
    return EndPass(w, true);
}

ScriptStep ScriptCommands::Continue(AnimationWidget& w, const AnimationCommand&, DynamicWidget*) {
    return EndPass(w, false);
}

// --- Conditions and subroutines --------------------------------------------------------

ScriptStep ScriptCommands::If(AnimationWidget& w, const AnimationCommand& c, DynamicWidget*) {
    return Evaluate(w, c, L"cond").ToBool() ? ScriptStep::Next : SkipChildren(w);
}

ScriptStep ScriptCommands::Unless(AnimationWidget& w, const AnimationCommand& c, DynamicWidget*) {
    return Evaluate(w, c, L"cond").ToBool() ? SkipChildren(w) : ScriptStep::Next;
}

ScriptStep ScriptCommands::Call(AnimationWidget& w, const AnimationCommand& c, DynamicWidget*) {
    std::wstring name = EvaluateText(w, c, L"animation");
    const Animation* animation = FindAnimation(name);
    if (!animation) return ScriptStep::Next;
    if (CallDepthExceeded(w, name)) return ScriptStep::Next;
    for (const auto& [name, attribute] : c.mAttributes) {
        if (name == L"animation") continue;
        w.SetVariable(name, Evaluate(w, attribute));
    }
    w.mCallStack.push_back(ScriptFrame{w.mCommands, w.mCommandIndex + 1});
    w.mCommands = &animation->mCommands;
    w.mCommandIndex = 0;
    return ScriptStep::Moved;
}

ScriptStep ScriptCommands::LoadAfter(AnimationWidget& w, const AnimationCommand& c,
                                     DynamicWidget*) {
    std::wstring name = EvaluateText(w, c, L"animation");
    if (CallDepthExceeded(w, name)) return ScriptStep::Next;
    w.CallAnimationByName(name);
    return ScriptStep::Next;
}

// --- Ending and telling -------------------------------------------------------------------

ScriptStep ScriptCommands::Do(AnimationWidget& w, const AnimationCommand& c, DynamicWidget*) {
    std::wstring action = EvaluateText(w, c, L"action");
    std::wstring parameter = EvaluateText(w, c, L"parameter");
    int object = Evaluate(w, c, L"object").ToInt();
    w.DoAction(action, parameter, object);
    return ScriptStep::Next;
}

ScriptStep ScriptCommands::Persist(AnimationWidget& w, const AnimationCommand&, DynamicWidget*) {
    w.mWaitState = WaitState::Persist;
    if (w.mAnimationListener) w.mAnimationListener->AnimationPersist(w.mId);
    return ScriptStep::Stop;
}

ScriptStep ScriptCommands::Stop(AnimationWidget& w, const AnimationCommand& c, DynamicWidget*) {
    // With "id" it stops the target's motions instead.
    if (c.HasAttribute(L"id")) return ScriptStep::NotMine;
    w.StopAndEnd();
    return ScriptStep::End;
}

ScriptStep ScriptCommands::Signal(AnimationWidget& w, const AnimationCommand& c, DynamicWidget*) {
    std::wstring message = EvaluateText(w, c, L"message");
    bool stop = Evaluate(w, c, L"stop").ToBool();
    if (AnimationListener* listener = w.mAnimationListener) {
        int id = w.mId;
        listener->AnimationMessage(id, message);
        // The message may have ended the listener's interest in this widget.
        if (message == L"complete" && w.mAnimationListener == listener)
            listener->AnimationComplete(id);
    }
    return stop ? ScriptStep::Stop : ScriptStep::Next;
}

ScriptStep ScriptCommands::Print(AnimationWidget& w, const AnimationCommand& c, DynamicWidget*) {
    std::string message = WStringToString(EvaluateText(w, c, L"message"));
    DebugPrintf("%s\n", message.c_str());
    WriteShortLog(message);
    return ScriptStep::Next;
}

ScriptStep ScriptCommands::Breakpoint(AnimationWidget&, const AnimationCommand& c, DynamicWidget*) {
    if (!c.HasAttribute(L"message") || !gAppServices) return ScriptStep::Next;
    gAppServices->ShowMessageBox(WStringToString(c.GetAttribute(L"message")), "Message");
    return ScriptStep::Next;
}
