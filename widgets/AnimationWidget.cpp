#include "widgets/AnimationWidget.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "widgets/AppServices.h"
#include "audio/SoundManager.h"
#include "audio/TrackInterface.h"
#include "data/AssetManager.h"
#include "render/Font.h"
#include "widgets/Menu.h"
#include "widgets/WidgetManager.h"

namespace {
const CommandAttributes kNoAttributes;
const std::wstring kNoText;
}  // namespace

// The current command's attribute, compiled when the animations loaded,
// evaluated by `evaluator`'s variables; an absent one is the empty value.
ScriptValue AnimationWidget::EvaluateAttributeBy(std::wstring_view name, AnimationWidget& evaluator) {
    const AnimationCommand* command = GetCurrentCommand();
    const CommandAttribute* attribute = command ? command->FindAttribute(name) : nullptr;
    if (!attribute) return ScriptValue();
    return evaluator.mEvaluator.Evaluate(attribute->mExpression, attribute->mText);
}

// --- Construction ------------------------------------------------------------

AnimationWidget::AnimationWidget(const std::wstring& animationName, float x, float y,
                                 bool removeWhenDone)
    : DynamicWidget(x, y, nullptr, 1.0f), mRemoveWhenDone(removeWhenDone) {
    StartNamedAnimation(animationName);
}

AnimationWidget::AnimationWidget(float x, float y, Image* image, float opacity)
    : DynamicWidget(x, y, image, opacity) {
    mVariables[L"self"] = ScriptValue(static_cast<ScriptObject*>(this));
}

AnimationWidget::~AnimationWidget() {
    // Removing the spawned objects reports back here (WidgetRemoved,
    // AnimationComplete): nothing may resume the script any more.
    mDestroying = true;
    mWaitState = WaitState::Running;
    mCallStack.clear();
    mCommands = nullptr;
    RemoveSpawnedObjects(true);
    if (mAnimationListener) mAnimationListener->UnwatchWidget(this);
    mCallStack.clear();
    mLoopStack.clear();
    mVariables.clear();
}

// --- Playing -----------------------------------------------------------------

void AnimationWidget::StartNamedAnimation(const std::wstring& name) {
    mVariables[L"self"] = ScriptValue(static_cast<ScriptObject*>(this));
    PlayAnimationByName(name);
}

void AnimationWidget::PlayAnimation(const Animation& animation) {
    StopScript();
    ++mPlayCount;
    ++mScriptStarts;
    mCommands = &animation.mCommands;
    mCommandIndex = 0;
    if (mCommands->empty()) {
        PlayedEmptyAnimation();
        return;
    }
    if (IsInManager()) RunScript(false);
}

void AnimationWidget::PlayAnimationByName(const std::wstring& name) {
    PlayAnimation(GetAnimation(name));
}

void AnimationWidget::CallAnimation(const Animation& animation) {
    bool finished = IsScriptFinished();
    // At the bottom of the stack: it runs once everything now pending is done.
    mCallStack.insert(mCallStack.begin(), ScriptFrame{&animation.mCommands, 0});
    for (LoopRecord& loop : mLoopStack) ++loop.mDepth;
    if (!finished) return;
    mWaitState = WaitState::Running;
    if (animation.mCommands.empty()) {
        mCallStack.erase(mCallStack.begin());
        for (LoopRecord& loop : mLoopStack) --loop.mDepth;
        PlayedEmptyAnimation();
        return;
    }
    if (IsInManager()) RunScript(false);
}

void AnimationWidget::CallAnimationByName(const std::wstring& name) {
    CallAnimation(GetAnimation(name));
}

void AnimationWidget::InsertAnimationByName(const std::wstring& name) {
    const Animation& animation = GetAnimation(name);
    if (IsScriptFinished() || mWaitState == WaitState::Persist) {
        PlayAnimation(animation);
        return;
    }
    // A subroutine before what is pending: the current command goes on
    // after the inserted ones.
    const bool fromRunningCommand = mRunningCommand && mCommands && mCommandIndex >= 0 &&
                                    mCommandIndex < static_cast<int>(mCommands->size()) &&
                                    &(*mCommands)[static_cast<size_t>(mCommandIndex)] == mRunningCommand;
    if (fromRunningCommand) {
        // Asked by the handler of the command being run: the walk goes on
        // after that command (into its children first), as it would have.
        mCallStack.push_back(ScriptFrame{mCommands, mCommandIndex + 1});
        if (!mRunningCommand->mChildren.empty()) mCallStack.push_back(ScriptFrame{&mRunningCommand->mChildren, 0});
        mRunningCommand = nullptr;
    } else {
        mCallStack.push_back(ScriptFrame{mCommands, mCommandIndex});
    }
    mCommands = &animation.mCommands;
    mCommandIndex = 0;
    // Not a play: a button that waits on its own press, release or hover
    // still resumes after its action inserted something.
    ++mScriptStarts;
    if (mCommands->empty()) {
        PlayedEmptyAnimation();
        return;
    }
    if (IsInManager()) RunScript(false);
}

void AnimationWidget::StopScript() {
    mWaitState = WaitState::Running;
    mCommandIndex = mCommands ? static_cast<int>(mCommands->size()) : 0;
    mCallStack.clear();
    SetClickListening(false);
}

void AnimationWidget::StopAndEnd() {
    StopScript();
    ScriptEnded();
}

void AnimationWidget::ScriptEnded() {
    if (mRemoveWhenDone) RemoveSelf();
}

bool AnimationWidget::IsScriptFinished() const {
    if (!mCommands) return mCallStack.empty();
    return mCommandIndex >= static_cast<int>(mCommands->size()) && mCallStack.empty();
}

void AnimationWidget::RemoveSpawnedObjects(bool objects) {
    auto spawned = std::move(mSpawnedAnimations);
    mSpawnedAnimations.clear();
    for (auto& [id, handle] : spawned)
        if (AnimationWidget* widget = handle.Get()) widget->RemoveSelf();
    if (!objects) return;
    auto named = std::move(mNamedObjects);
    mNamedObjects.clear();
    for (auto& [id, handle] : named)
        if (DynamicWidget* object = handle.Get()) object->RemoveSelf();
}

// --- The interpreter (the walk is in ScriptInterpreter.cpp) -----------------

const AnimationCommand* AnimationWidget::GetCurrentCommand() const {
    if (!mCommands || mCommandIndex < 0 || mCommandIndex >= static_cast<int>(mCommands->size()))
        return nullptr;
    return &(*mCommands)[static_cast<size_t>(mCommandIndex)];
}

void AnimationWidget::ResumeFromWait(bool timedOut) {
    if (GetBoolAttribute(L"click")) SetClickListening(false);
    if (HasAttribute(L"clicked")) SetVariable(GetAttribute(L"clicked"), ScriptValue(false));
    if (HasAttribute(L"timed_out")) SetVariable(GetAttribute(L"timed_out"), ScriptValue(timedOut));
    RunScript(true);
}

bool AnimationWidget::WaitConditionHolds() {
    switch (mWaitState) {
        case WaitState::Condition:
            return GetBoolAttribute(L"cond");
        case WaitState::Objects:
            return !AnySpawnedBusy();
        case WaitState::Animations:
            return mSpawnedAnimations.empty();
        case WaitState::Object: {
            DynamicWidget* object = mAwaitedObject.Get();
            return !object || !object->IsBusy();
        }
        case WaitState::Animation: {
            AnimationWidget* widget = mAwaitedWidget.Get();
            return !widget || widget->IsScriptFinished();
        }
        case WaitState::Controller: {
            DynamicWidget* object = mAwaitedObject.Get();
            return !object || !object->HasController(mAwaitedController);
        }
        case WaitState::Sound: {
            SoundManager* sounds = gAppServices ? gAppServices->GetSoundManager() : nullptr;
            return !sounds || !sounds->FindPlayingInstance(mAwaitedSoundId);
        }
        case WaitState::Track: {
            TrackInterface* music = gAppServices ? gAppServices->GetMusicInterface() : nullptr;
            return !music || !music->IsTrackPlaying(mAwaitedSoundId);
        }
        case WaitState::MouseUp:
        case WaitState::MouseDown:
        case WaitState::MouseHover:
        case WaitState::MouseLeave:
            // The button's events end these; a button that is gone never
            // sends one, so its death counts as the event.
            return !mAwaitedObject.Get();
        default:
            return false;  // the time-out and clicks end these
    }
}

// --- Actions and buttons ---------------------------------------------------------

void AnimationWidget::DoAction(const std::wstring& action, const std::wstring& parameter,
                               int object) {
    for (WidgetContainer* up = mParent; up; up = up->mParent) {
        if (auto* owner = dynamic_cast<AnimationWidget*>(up)) {
            owner->DoAction(action, parameter, object);
            return;
        }
    }
}

void AnimationWidget::RunButtonAction(int buttonId, const ButtonAction& action) {
    SetVariable(L"button_id", ScriptValue(buttonId));
    SetVariable(L"parameter", ScriptValue(action.mParameter));
    SetVariable(L"object", ScriptValue(action.mObject));
    switch (action.mKind) {
        case ButtonAction::Launch:
            PlayAnimationByName(action.mName);
            break;
        case ButtonAction::Call:
            InsertAnimationByName(action.mName);
            break;
        case ButtonAction::Action:
            DoAction(action.mName, action.mParameter, action.mObject);
            break;
        default:
            break;
    }
}

void AnimationWidget::ButtonPress(int id) {
    int plays = mPlayCount;
    auto it = mButtonActions.find(id);
    if (it != mButtonActions.end() && !it->second.mOnDepress) {
        ButtonAction action = it->second;  // the action may replace the map entry
        RunButtonAction(id, action);
    }
    if (mWaitState == WaitState::MouseDown && plays == mPlayCount && id == mAwaitedId)
        RunScript(true);
}

void AnimationWidget::ButtonDepress(int id) {
    int plays = mPlayCount;
    auto it = mButtonActions.find(id);
    if (it != mButtonActions.end() && it->second.mOnDepress) {
        ButtonAction action = it->second;
        RunButtonAction(id, action);
    }
    if (mWaitState == WaitState::MouseUp && plays == mPlayCount && id == mAwaitedId)
        RunScript(true);
}

void AnimationWidget::ButtonMouseEnter(int id) {
    int plays = mPlayCount;
    auto it = mButtonActions.find(id);
    if (it != mButtonActions.end() && !it->second.mHover.empty()) {
        std::wstring hover = it->second.mHover;
        InsertAnimationByName(hover);
    }
    if (mWaitState == WaitState::MouseHover && plays == mPlayCount && id == mAwaitedId)
        RunScript(true);
}

void AnimationWidget::ButtonMouseLeave(int id) {
    int plays = mPlayCount;
    auto it = mButtonActions.find(id);
    if (it != mButtonActions.end() && !it->second.mLeave.empty()) {
        std::wstring leave = it->second.mLeave;
        InsertAnimationByName(leave);
    }
    if (mWaitState == WaitState::MouseLeave && plays == mPlayCount && id == mAwaitedId)
        RunScript(true);
}

void AnimationWidget::GlobalMouseDown(int /*x*/, int /*y*/, int /*clickCount*/) {
    mClicked = true;
}

void AnimationWidget::GlobalMouseDownAfter(int /*x*/, int /*y*/, int /*clickCount*/) {
    if (!mClicked) return;
    mClicked = false;
    if (mWaitState < WaitState::Condition || mWaitState > WaitState::Track) return;
    if (!GetBoolAttribute(L"click")) return;
    if (HasAttribute(L"clicked")) SetVariable(GetAttribute(L"clicked"), ScriptValue(true));
    if (HasAttribute(L"timed_out")) SetVariable(GetAttribute(L"timed_out"), ScriptValue(false));
    SetClickListening(false);
    RunScript(true);
}

void AnimationWidget::SetClickListening(bool on) {
    mClickListening = on;
    if (!mWidgetManager) return;
    if (on)
        mWidgetManager->AddClickListener(this);
    else
        mWidgetManager->RemoveClickListener(this);
    mClicked = false;
}

// --- Objects ---------------------------------------------------------------------

bool AnimationWidget::AnySpawnedBusy() {
    for (auto& [id, handle] : mNamedObjects)
        if (DynamicWidget* object = handle.Get(); object && object->IsBusy()) return true;
    return false;
}

void AnimationWidget::AddNamedObject(const std::wstring& id, DynamicWidget* object) {
    if (!object) return;
    object->mName = id;
    if (!object->mButtonListener) object->mButtonListener = static_cast<ButtonListener*>(this);
    RemovalListener::WatchWidget(object);
    if (!id.empty()) SetVariable(id, ScriptValue(static_cast<ScriptObject*>(object)));
    mNamedObjects[object->mId] = object;
    if (WidgetContainer* layer = GetCurrentLayer()) layer->AddWidget(object);
}

void AnimationWidget::AddSpawnedAnimation(AnimationWidget* widget) {
    if (!widget) return;
    mSpawnedAnimations[widget->mId] = widget;
    AnimationListener::WatchWidget(widget);
}

WidgetContainer* AnimationWidget::GetCurrentLayer() const {
    WidgetContainer* layer = mCurrentLayer.Get();
    return layer ? layer : const_cast<AnimationWidget*>(this);
}

void AnimationWidget::PopLayer() {
    if (mLayerStack.empty()) return;
    mCurrentLayer = mLayerStack.back();
    mLayerStack.pop_back();
}

void AnimationWidget::RemoveSoundLoop(int soundId) {
    auto it = mSoundLoops.find(soundId);
    if (it == mSoundLoops.end()) return;
    if (--it->second <= 0) mSoundLoops.erase(it);
}

// --- Variables and properties -----------------------------------------------------

void AnimationWidget::SetVariable(const std::wstring& name, const ScriptValue& value) {
    mVariables[name] = value;
}

ScriptValue AnimationWidget::GetVariable(const std::wstring& name) const {
    auto it = mVariables.find(name);
    return it == mVariables.end() ? ScriptValue() : it->second;
}

bool AnimationWidget::GetProperty(const std::wstring& name, ScriptValue& out) {
    if (DynamicWidget::GetScriptProperty(name, out)) return true;
    auto it = mVariables.find(name);
    if (it == mVariables.end()) return false;
    out = it->second;
    return true;
}

bool AnimationWidget::GetScriptProperty(const std::wstring& name, ScriptValue& out) {
    return GetProperty(name, out);
}

// --- Attributes --------------------------------------------------------------------

bool AnimationWidget::HasAttribute(std::wstring_view name) const {
    const AnimationCommand* command = GetCurrentCommand();
    return command && command->HasAttribute(name);
}

const std::wstring& AnimationWidget::GetAttribute(std::wstring_view name) const {
    const AnimationCommand* command = GetCurrentCommand();
    return command ? command->GetAttribute(name) : kNoText;
}

const CommandAttributes& AnimationWidget::CurrentAttributes() const {
    const AnimationCommand* command = GetCurrentCommand();
    return command ? command->mAttributes : kNoAttributes;
}

ScriptValue AnimationWidget::EvaluateAttribute(std::wstring_view name) {
    return EvaluateAttributeBy(name, *this);
}

std::wstring AnimationWidget::GetStringAttribute(std::wstring_view name) {
    return EvaluateAttribute(name).ToString();
}

int AnimationWidget::GetIntAttribute(std::wstring_view name) {
    return EvaluateAttribute(name).ToInt();
}

float AnimationWidget::GetFloatAttribute(std::wstring_view name) {
    return EvaluateAttribute(name).ToFloat();
}

bool AnimationWidget::GetBoolAttribute(std::wstring_view name) {
    return EvaluateAttribute(name).ToBool();
}

int AnimationWidget::GetIntAttributeOr(std::wstring_view name, int fallback) {
    return HasAttribute(name) ? GetIntAttribute(name) : fallback;
}

float AnimationWidget::GetFloatAttributeOr(std::wstring_view name, float fallback) {
    return HasAttribute(name) ? GetFloatAttribute(name) : fallback;
}

bool AnimationWidget::GetBoolAttributeOr(std::wstring_view name, bool fallback) {
    return HasAttribute(name) ? GetBoolAttribute(name) : fallback;
}

int AnimationWidget::GetIntAttributeAlt(std::wstring_view name, AnimationWidget* widget) {
    return EvaluateAttributeBy(name, widget ? *widget : *this).ToInt();
}

int AnimationWidget::GetSoundAttribute(std::wstring_view name) {
    return GetSoundId(GetStringAttribute(name));
}

int AnimationWidget::GetTrackAttribute(std::wstring_view name) {
    return GetTrackId(GetStringAttribute(name));
}

Font* AnimationWidget::GetFontAttribute(std::wstring_view name) {
    return FindFont(GetStringAttribute(name));
}

Image* AnimationWidget::GetImageAttribute(std::wstring_view name) {
    if (!HasAttribute(name)) return nullptr;
    ScriptValue value = EvaluateAttribute(name);
    if (value.GetType() == ScriptValue::ImageRef) return value.GetImage();
    return FindImage(value.ToString());
}

EasingCurve* AnimationWidget::GetCurveAttribute() {
    std::wstring name = GetAttribute(L"curve");
    auto it = mVariables.find(name);
    if (!name.empty() && it != mVariables.end()) name = it->second.ToString();
    CurveParameters parameters;
    // "base" has a different default for each curve that reads it.
    parameters.mExpoBase = GetFloatAttributeOr(L"base", 10.0f);
    parameters.mElasticBase = GetFloatAttributeOr(L"base", 10000.0f);
    parameters.mElasticPeriod = GetIntAttributeOr(L"period", 5);
    parameters.mElasticFraction = GetFloatAttributeOr(L"fraction", 1.0f);
    parameters.mBackAccel = GetFloatAttributeOr(L"accel", 2.0f);
    return MakeCurve(name, parameters, &mVariables);
}

DynamicWidget* AnimationWidget::FindScriptObject(std::wstring_view attribute) {
    ScriptValue value = EvaluateAttribute(attribute);
    if (value.GetType() == ScriptValue::Object)
        return dynamic_cast<DynamicWidget*>(value.GetObject());
    auto it = mVariables.find(value.ToString());
    if (it == mVariables.end()) return nullptr;
    return dynamic_cast<DynamicWidget*>(it->second.GetObject());
}

// --- Widget ---------------------------------------------------------------------------

void AnimationWidget::AddedToManager(WidgetManager* manager) {
    DynamicWidget::AddedToManager(manager);
    if (mClickListening && manager) manager->AddClickListener(this);
    if (mDetaching) {
        // Moved, not restarted: the script goes on where it was.
        mDetaching = false;
        return;
    }
    if (!IsScriptFinished()) RunScript(false);
}

void AnimationWidget::RemovedFromManager(WidgetManager* manager) {
    DynamicWidget::RemovedFromManager(manager);
    if (manager) manager->RemoveClickListener(this);
    if (mDetaching) return;  // still running, elsewhere: nothing completes
    if (mAnimationListener) mAnimationListener->AnimationComplete(mId);
    // Once per loop still counted, then forget them: leaving twice must not
    // release loops that other widgets hold.
    std::map<int, int> loops = std::move(mSoundLoops);
    mSoundLoops.clear();
    if (Menu* menu = mMenu) {
        for (const auto& [soundId, count] : loops)
            for (int i = 0; i < count; ++i) menu->StopSound(soundId, 0.0);
    }
}

void AnimationWidget::RemovedFromParent(WidgetContainer* parent) {
    DynamicWidget::RemovedFromParent(parent);
    if (!mDetaching) StopScript();
}

void AnimationWidget::DetachSelf() {
    if (!mParent) return;
    mDetaching = true;
    DynamicWidget::DetachSelf();
}

void AnimationWidget::UpdateF(float elapsedSteps) {
    DynamicWidget::UpdateF(elapsedSteps);
    if (mWaitState < WaitState::Condition || mWaitState > WaitState::Track) return;
    if (WaitConditionHolds()) {
        ResumeFromWait(false);
        return;
    }
    if (mWaitTime > 0.0f) {
        mWaitTime -= elapsedSteps;
        if (mWaitTime <= 0.0f) ResumeFromWait(true);
    }
}

int AnimationWidget::StepsUntilDue() {
    int due = DynamicWidget::StepsUntilDue();
    // Running, persisting, finished, or waiting for an event that wakes it.
    if (mWaitState < WaitState::Condition) return due;
    // Every wait is polled each step except those a mouse event ends.
    bool polled = mWaitState < WaitState::MouseUp || mWaitState > WaitState::MouseLeave;
    if (mWaitState == WaitState::Condition) {
        const AnimationCommand* command = GetCurrentCommand();
        polled = command && command->HasAttribute(L"cond");
    }
    // A condition may turn true at any step; a time-out is due when it runs out.
    if (polled) return 0;
    if (mWaitTime > 0.0f)
        due = std::min(due, std::max(0, static_cast<int>(std::ceil(mWaitTime)) - 1));
    return due;
}

bool AnimationWidget::IsBusy() {
    if (DynamicWidget::IsBusy()) return true;
    return !IsScriptFinished() && mWaitState != WaitState::Persist;
}

void AnimationWidget::AnimationComplete(int id) {
    if (mDestroying) return;
    mSpawnedAnimations.erase(id);
    if (mWaitState == WaitState::Animation && id == mAwaitedId) RunScript(true);
}

bool AnimationWidget::ShowNoticeMenu(Menu* notice, bool wait, bool unpause) {
    if (Widget* old = mNoticeMenu.Get()) {
        mNoticeMenu.Reset();
        old->RemoveSelf();
    }
    if (!notice) return false;
    mNoticeMenu.Reset(notice);
    RemovalListener::WatchWidget(notice);
    ShowMenu(notice);
    if (!wait || !mNoticeMenu.Get()) return false;
    mNoticeUnpause = unpause && mMenu;
    if (mNoticeUnpause) mSavedPauseWhenCovered = mMenu->SetPauseWhenCovered(false);
    mWaitState = WaitState::NoticeMenu;
    return true;
}

void AnimationWidget::WidgetRemoved(int id) {
    if (mDestroying) return;
    Widget* notice = mNoticeMenu.Get();
    if (notice && notice->mId == id) {
        mNoticeMenu.Reset();
        if (mWaitState == WaitState::NoticeMenu) {
            if (mNoticeUnpause && mMenu) mMenu->SetPauseWhenCovered(mSavedPauseWhenCovered);
            RunScript(true);
        }
        return;
    }
    auto named = mNamedObjects.find(id);
    if (named != mNamedObjects.end()) {
        DynamicWidget* object = named->second.Get();
        if (object) {
            auto var = mVariables.find(object->mName);
            if (var != mVariables.end() && var->second.GetObject() == object) mVariables.erase(var);
            RemovalListener::UnwatchWidget(object);
        }
        mNamedObjects.erase(named);
    } else {
        for (auto it = mVariables.begin(); it != mVariables.end();) {
            auto* widget = dynamic_cast<Widget*>(it->second.GetObject());
            if (widget && widget->mId == id && it->first != L"self")
                it = mVariables.erase(it);
            else
                ++it;
        }
    }
    if (mWaitState >= WaitState::Object && mWaitState <= WaitState::MouseLeave &&
        id == mAwaitedId && IsInManager())
        RunScript(true);
}
