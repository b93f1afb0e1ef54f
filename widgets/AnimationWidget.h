#pragma once
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "core/WeakHandle.h"
#include "data/Animation.h"
#include "data/ExpressionEvaluator.h"
#include "data/ScriptValue.h"
#include "widgets/Curves.h"
#include "widgets/DynamicWidget.h"
#include "widgets/ExtendedPropertyInterface.h"
#include "widgets/Listeners.h"
#include "widgets/ScriptCommandRegistry.h"

class ButtonWidget;
class Font;
class Image;

using CommandList = std::vector<AnimationCommand>;

// A return point of the script: the list and the index to go on with.
struct ScriptFrame {
    const CommandList* mList = nullptr;
    int mIndex = 0;
};

// An active "loop" or "for".
struct LoopRecord {
    const CommandList* mList = nullptr;  // the list holding the loop command
    int mIndex = 0;                      // the loop command in it
    size_t mDepth = 0;                   // call-stack size when the loop began
    int mCount = -1;                     // passes left, -1 unbounded
    std::wstring mVariable;
    std::wstring mCondition;
    ExpressionHandle mConditionExpression;  // the compiled condition, when compiled
    std::wstring mStep;
    ExpressionHandle mStepExpression;  // compiled once when the loop begins
};

// What a script-made button does when used.
struct ButtonAction {
    enum Kind { None = 0, Launch = 1, Call = 2, Action = 3 };
    std::wstring mHover;  // animation run when the pointer enters
    std::wstring mLeave;  // ... and leaves
    int mKind = None;
    std::wstring mName;   // the animation or the action
    std::wstring mParameter;
    int mObject = 0;
    bool mOnDepress = true;  // on release over the button, else on press
};

// Wait states of a script (what it waits for before it goes on).
namespace WaitState {
enum : int {
    Running = 0,
    Persist = 1,
    NoticeMenu = 2,
    Condition = 3,
    Objects = 4,
    Animations = 5,
    Object = 6,
    Animation = 7,
    Controller = 8,
    MouseUp = 9,
    MouseDown = 10,
    MouseHover = 11,
    MouseLeave = 12,
    Sound = 13,
    Track = 14,
    TutorialGrid = 15,  // owned by the classes that set them
    PlayScreen = 16,
};
}

// A widget that runs an animation script: the base of every menu, grid,
// meter and spawned animation. Variables live in its own map ("self" is the
// widget); objects the script makes are named, watched and placed in the
// current layer.
class AnimationWidget : public DynamicWidget,
                        public ExtendedPropertyInterface,
                        public ButtonListener,
                        public ClickListener,
                        public RemovalListener {
public:
    // Starts the named animation (once in the tree); with removeWhenDone the
    // widget removes itself when its script ends.
    AnimationWidget(const std::wstring& animationName, float x, float y, bool removeWhenDone);
    // No animation; shows an image.
    AnimationWidget(float x, float y, Image* image, float opacity);
    ~AnimationWidget() override;

    // --- Playing ------------------------------------------------------------------
    void StartNamedAnimation(const std::wstring& name);
    void PlayAnimation(const Animation& animation);
    void PlayAnimationByName(const std::wstring& name);
    // Queued after everything pending; starts at once when the script was finished.
    void CallAnimation(const Animation& animation);
    void CallAnimationByName(const std::wstring& name);
    // Runs before what is pending (a persisting or finished script is stopped first).
    void InsertAnimationByName(const std::wstring& name);
    virtual void PlayedEmptyAnimation() {}
    void StopScript();
    void StopAndEnd();
    // The base removes the widget when it was made to be removed when done.
    virtual void ScriptEnded();
    bool IsScriptFinished() const;
    // Removes the animations the script spawned and, with `objects`, the
    // objects it named.
    void RemoveSpawnedObjects(bool objects);

    // --- The interpreter ----------------------------------------------------------
    // Walks the script from the current command; true when it stopped and
    // will be resumed, false when it ended.
    virtual bool RunScript(bool advance);
    virtual void NextCommand(bool advance);
    // The commands registered for this widget's class
    // (ScriptCommandRegistry::AddClassCommand); NotMine when none takes it.
    ScriptStep HandleCommand(const AnimationCommand& command);
    const AnimationCommand* GetCurrentCommand() const;
    // Resumes a waiting script (clicked / timed-out variables set first).
    void ResumeFromWait(bool timedOut);

    // --- Actions and buttons ------------------------------------------------------------
    // Passed to the nearest AnimationWidget above by default.
    virtual void DoAction(const std::wstring& action, const std::wstring& parameter, int object);
    void RunButtonAction(int buttonId, const ButtonAction& action);
    void SetButtonAction(int buttonId, const ButtonAction& action) { mButtonActions[buttonId] = action; }
    void ButtonPress(int id) override;
    void ButtonDepress(int id) override;
    void ButtonMouseEnter(int id) override;
    void ButtonMouseLeave(int id) override;
    void GlobalMouseDown(int x, int y, int clickCount) override;
    void GlobalMouseDownAfter(int x, int y, int clickCount) override;
    void SetClickListening(bool on);
    bool IsClickListening() const { return mClickListening; }
    // Shows a notice menu (a second one replaces the first). With `wait` the
    // script stops until it closes; with `unpause` as well the owning menu
    // stays unpaused under it meanwhile. True when the script waits.
    bool ShowNoticeMenu(Menu* notice, bool wait, bool unpause);

    // --- Objects ------------------------------------------------------------------------
    bool AnySpawnedBusy();
    void AddNamedObject(const std::wstring& id, DynamicWidget* object);
    // A spawned animation reports to this widget until it completes.
    void AddSpawnedAnimation(AnimationWidget* widget);
    size_t GetSpawnedAnimationCount() const { return mSpawnedAnimations.size(); }
    WidgetContainer* GetCurrentLayer() const;
    void SetCurrentLayer(WidgetContainer* layer) { mCurrentLayer.Reset(layer); }
    void PushLayer() { mLayerStack.push_back(mCurrentLayer); }
    void PopLayer();
    // Sound loops this widget started, stopped through the owning menu when
    // it leaves the tree.
    void AddSoundLoop(int soundId) { ++mSoundLoops[soundId]; }
    void RemoveSoundLoop(int soundId);
    const std::map<int, int>& GetSoundLoops() const { return mSoundLoops; }

    // --- Variables and properties -------------------------------------------------------
    void SetVariable(const std::wstring& name, const ScriptValue& value);
    bool HasVariable(const std::wstring& name) const { return mVariables.count(name) != 0; }
    ScriptValue GetVariable(const std::wstring& name) const;
    void EraseVariable(const std::wstring& name) { mVariables.erase(name); }
    VariableMap& GetVariables() { return mVariables; }
    ExpressionEvaluator& GetEvaluator() { return mEvaluator; }
    bool GetProperty(const std::wstring& name, ScriptValue& out) override;
    bool GetScriptProperty(const std::wstring& name, ScriptValue& out) override;

    // --- Attributes of the current command --------------------------------------------
    // Evaluated through the expressions compiled when the animations loaded.
    bool HasAttribute(std::wstring_view name) const;
    const std::wstring& GetAttribute(std::wstring_view name) const;
    const CommandAttributes& CurrentAttributes() const;
    ScriptValue EvaluateAttribute(std::wstring_view name);
    std::wstring GetStringAttribute(std::wstring_view name);
    int GetIntAttribute(std::wstring_view name);
    float GetFloatAttribute(std::wstring_view name);
    bool GetBoolAttribute(std::wstring_view name);
    int GetIntAttributeOr(std::wstring_view name, int fallback);
    float GetFloatAttributeOr(std::wstring_view name, float fallback);
    bool GetBoolAttributeOr(std::wstring_view name, bool fallback);
    // The attribute of this widget's current command, evaluated by `widget`.
    int GetIntAttributeAlt(std::wstring_view name, AnimationWidget* widget);
    int GetSoundAttribute(std::wstring_view name);  // -1 when unknown
    int GetTrackAttribute(std::wstring_view name);  // -1 when unknown
    Font* GetFontAttribute(std::wstring_view name);
    Image* GetImageAttribute(std::wstring_view name);
    // "curve" by name (or the name held by a variable of that name), with
    // the curve settings of the command. Never null.
    EasingCurve* GetCurveAttribute();
    // The object an attribute names: an object value, or the object held by
    // the variable its text names; null when none.
    DynamicWidget* FindScriptObject(std::wstring_view attribute);

    // --- Builders of the commands that make objects (AnimationWidgetBuilders.cpp) ------
    // White, with each channel present ("red", "green", "blue", "alpha", 0..1)
    // times 255, truncated.
    Color GetColorAttributes();
    // The comma-separated arguments of an attribute, each evaluated or kept
    // as text; empty when absent.
    std::vector<ScriptValue> ReadListAttribute(std::wstring_view name, bool evaluate);
    // "text", looked up in the localization table when "lookup" (default
    // true), with "[player]" replaced by the player's name.
    std::wstring GetTextAttribute();
    // The button settings present in the current command.
    void ConfigureButton(ButtonWidget* button);
    // A text (in a nine-piece frame with "textbox") drawn into a surface:
    // a new object placed by the common tail, or, with "to", drawn into that
    // object's own image (null is then returned). With `buttonHeight` the
    // object is tall enough for a button of that height centred at three
    // quarters of its height (where a text box popup puts its OK) to stay
    // clear of the text.
    DynamicWidget* CreateTextObject(int textDY, int paddingBottom, int buttonHeight = 0);
    // The three-piece banner of "textends" with its text, likewise.
    DynamicWidget* CreateBanner();
    // The common tail of every object made by "add": "depth", "z" (when
    // `readZ`), "id" (placed in the current layer), then "align"/"valign"
    // from (x, y).
    void PlaceNewObject(DynamicWidget* object, float x, float y, bool readZ);

    // --- Widget -----------------------------------------------------------------------
    void AddedToManager(WidgetManager* manager) override;
    void RemovedFromManager(WidgetManager* manager) override;
    void RemovedFromParent(WidgetContainer* parent) override;
    void DetachSelf() override;
    void UpdateF(float elapsedSteps) override;
    int StepsUntilDue() override;
    bool IsBusy() override;
    // AnimationListener / RemovalListener sides.
    void AnimationComplete(int id) override;
    void WidgetRemoved(int id) override;

    // --- Interpreter state (walked by RunScript) ---------------------------------------
    const CommandList* mCommands = nullptr;
    int mCommandIndex = 0;
    std::vector<ScriptFrame> mCallStack;  // top at the back
    std::vector<LoopRecord> mLoopStack;   // top at the back
    int mWaitState = WaitState::Running;
    float mWaitTime = 0.0f;
    WeakHandle<DynamicWidget> mAwaitedObject;
    WeakHandle<AnimationWidget> mAwaitedWidget;
    std::wstring mAwaitedController;
    int mAwaitedSoundId = -1;  // a sound or a track id
    int mAwaitedId = 0;        // the awaited object's widget id
    int mPlayCount = 0;     // raised by PlayAnimation only
    int mScriptStarts = 0;  // raised by every play and insert: ends the walk that started one
    // The record whose handler runs now: an insert from that handler resumes
    // after the record, not on it again.
    const AnimationCommand* mRunningCommand = nullptr;
    bool mRemoveWhenDone = false;
    bool mDetaching = false;

protected:
    bool mDestroying = false;
    VariableMap mVariables;
    ExpressionEvaluator mEvaluator{mVariables};
    std::map<int, WeakHandle<AnimationWidget>> mSpawnedAnimations;
    std::map<int, WeakHandle<DynamicWidget>> mNamedObjects;
    std::map<int, ButtonAction> mButtonActions;
    bool mClickListening = false;
    bool mClicked = false;
    WeakHandle<Widget> mNoticeMenu;
    bool mNoticeUnpause = false;
    bool mSavedPauseWhenCovered = true;
    std::map<int, int> mSoundLoops;
    WeakHandle<WidgetContainer> mCurrentLayer;  // null: the widget itself
    std::vector<WeakHandle<WidgetContainer>> mLayerStack;

private:
    // interpreter: the built-in script commands reach the object maps.
    friend class ScriptCommands;

    bool WaitConditionHolds();
    ScriptValue EvaluateAttributeBy(std::wstring_view name, AnimationWidget& evaluator);
};
