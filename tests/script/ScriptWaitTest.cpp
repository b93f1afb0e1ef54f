#include "tests/script/ScriptFixture.h"

#include "widgets/DynamicWidget.h"

// "wait-for": how it decides, and how the waiting scripts resume.

namespace {

using Wait = ScriptTest;

const char* kWaitAnimations = R"(
  <animation name="time"><wait-for time="5" timed_out="late" clicked="hit"/><probe v="'after'"/></animation>
  <animation name="zero"><wait-for time="0" cond="false"/><probe v="'after'"/></animation>
  <animation name="forever"><wait-for/><probe v="'after'"/></animation>
  <animation name="cond"><define go="false"/><wait-for cond="go" timed_out="late"/><probe v="'after'"/></animation>
  <animation name="click"><wait-for click="true" time="50" clicked="hit" timed_out="late"/><probe v="'after'"/></animation>
  <animation name="kid"><wait-for time="5"/></animation>
  <animation name="idle"><persist/></animation>
  <animation name="animations"><play animation="kid"/><wait-for event="animations"/><probe v="'after'"/></animation>
  <animation name="no_animations"><wait-for event="animations"/><probe v="'after'"/></animation>
  <animation name="objects"><play animation="kid" id="'k'"/><wait-for event="objects"/><probe v="'after'"/></animation>
  <animation name="no_objects"><play animation="idle" id="'k'"/><wait-for event="objects"/><probe v="'after'"/></animation>
  <animation name="animation"><play animation="kid" id="'k'"/><wait-for id="k" event="animation"/><probe v="'after'"/></animation>
  <animation name="finished"><define z="1"/></animation>
  <animation name="animation_idle"><play animation="finished" id="'k'" remove="false"/><wait-for id="k" event="animation"/><probe v="'after'"/></animation>
  <animation name="animation_persisting"><play animation="idle" id="'k'"/><wait-for id="k" event="animation"/><probe v="'after'"/></animation>
  <animation name="object"><play animation="kid" id="'k'"/><wait-for id="k"/><probe v="'after'"/></animation>
  <animation name="object_idle"><play animation="idle" id="'k'"/><wait-for id="k"/><probe v="'after'"/></animation>
  <animation name="other_event"><play animation="kid" id="'k'"/><wait-for id="k" event="whatever"/><probe v="'after'"/></animation>
  <animation name="unresolved"><wait-for id="nobody" time="3" timed_out="late"/><probe v="'after'"/></animation>
  <animation name="controller"><wait-for id="ball" controller="'move'"/><probe v="'after'"/></animation>
  <animation name="mouse_up"><wait-for id="btn" event="mouse_up"/><probe v="'up'"/></animation>
  <animation name="mouse_down"><wait-for id="btn" event="mouse_down"/><probe v="'down'"/></animation>
  <animation name="mouse_hover"><wait-for id="btn" event="mouse_hover"/><probe v="'hover'"/></animation>
  <animation name="sound"><wait-for sound="'no_such_sound'" time="3" timed_out="late"/><probe v="'after'"/></animation>
  <animation name="track"><wait-for track="'no_such_track'" time="3" timed_out="late"/><probe v="'after'"/></animation>
)";

TEST_F(Wait, TimeAloneTimesOut) {
    Load(kWaitAnimations);
    ProbeScript* w = Run(L"time");
    EXPECT_EQ(w->mWaitState, WaitState::Condition);
    mHarness.RunSteps(2);
    EXPECT_TRUE(w->mLog.empty());
    mHarness.RunSteps(6);
    EXPECT_EQ(Joined(w->mLog), L"after");
    EXPECT_TRUE(w->GetVariable(L"late").ToBool());
    EXPECT_EQ(w->GetVariable(L"hit").GetType(), ScriptValue::Bool);
    EXPECT_FALSE(w->GetVariable(L"hit").ToBool());
}

TEST_F(Wait, ExplicitZeroDoesNotWaitAndNothingWaitsForever) {
    Load(kWaitAnimations);
    EXPECT_EQ(Joined(Run(L"zero")->mLog), L"after");
    ProbeScript* w = Run(L"forever");
    mHarness.RunSteps(20);
    EXPECT_TRUE(w->mLog.empty());
    EXPECT_EQ(w->mWaitState, WaitState::Condition);
}

TEST_F(Wait, ConditionIsPolledEachFrame) {
    Load(kWaitAnimations);
    ProbeScript* w = Run(L"cond");
    mHarness.RunSteps(3);
    EXPECT_TRUE(w->mLog.empty());
    w->SetVariable(L"go", ScriptValue(true));
    mHarness.RunSteps(1);
    EXPECT_EQ(Joined(w->mLog), L"after");
    EXPECT_FALSE(w->GetVariable(L"late").ToBool());
}

TEST_F(Wait, ClickOrTimeWhicheverComesFirst) {
    Load(kWaitAnimations);
    ProbeScript* clicked = Run(L"click");
    EXPECT_TRUE(clicked->IsClickListening());
    mHarness.RunSteps(2);
    mHarness.Click(500, 400);
    EXPECT_EQ(Joined(clicked->mLog), L"after");
    EXPECT_TRUE(clicked->GetVariable(L"hit").ToBool());
    EXPECT_FALSE(clicked->GetVariable(L"late").ToBool());
    EXPECT_FALSE(clicked->IsClickListening());

    ProbeScript* late = Run(L"click");
    mHarness.RunSteps(60);
    EXPECT_EQ(Joined(late->mLog), L"after");
    EXPECT_FALSE(late->GetVariable(L"hit").ToBool());
    EXPECT_TRUE(late->GetVariable(L"late").ToBool());
    EXPECT_FALSE(late->IsClickListening());
    mHarness.Click(500, 400);  // too late: nothing more happens
    EXPECT_EQ(Joined(late->mLog), L"after");
}

TEST_F(Wait, SpawnedAnimationsAndObjects) {
    Load(kWaitAnimations);
    ProbeScript* all = Run(L"animations");
    ProbeScript* objects = Run(L"objects");
    ProbeScript* one = Run(L"animation");
    ProbeScript* object = Run(L"object");
    for (ProbeScript* w : {all, objects, one, object}) EXPECT_TRUE(w->mLog.empty());
    EXPECT_EQ(all->mWaitState, WaitState::Animations);
    EXPECT_EQ(objects->mWaitState, WaitState::Objects);
    EXPECT_EQ(one->mWaitState, WaitState::Animation);
    EXPECT_EQ(object->mWaitState, WaitState::Object);
    mHarness.RunSteps(2);
    for (ProbeScript* w : {all, objects, one, object}) EXPECT_TRUE(w->mLog.empty());
    mHarness.RunSteps(8);
    for (ProbeScript* w : {all, objects, one, object}) EXPECT_EQ(Joined(w->mLog), L"after");
    EXPECT_EQ(all->GetSpawnedAnimationCount(), 0u);
}

TEST_F(Wait, IdleOrUnsuitableObjectsDoNotWait) {
    Load(kWaitAnimations);
    EXPECT_EQ(Joined(Run(L"no_objects")->mLog), L"after");
    EXPECT_EQ(Joined(Run(L"animation_idle")->mLog), L"after");  // its script is over
    // A persisting script is not over: "animation" waits for it to complete.
    ProbeScript* persisting = Run(L"animation_persisting");
    EXPECT_EQ(persisting->mWaitState, WaitState::Animation);
    EXPECT_EQ(Joined(Run(L"object_idle")->mLog), L"after");
    EXPECT_EQ(Joined(Run(L"other_event")->mLog), L"after");
    // Waits at least until the next frame's poll, even with nothing spawned.
    ProbeScript* none = Run(L"no_animations");
    EXPECT_TRUE(none->mLog.empty());
    mHarness.RunSteps(1);
    EXPECT_EQ(Joined(none->mLog), L"after");
}

TEST_F(Wait, AnUnresolvedIdFallsThroughToTheCondition) {
    Load(kWaitAnimations);
    ProbeScript* w = Run(L"unresolved");
    EXPECT_EQ(w->mWaitState, WaitState::Condition);
    mHarness.RunSteps(5);
    EXPECT_EQ(Joined(w->mLog), L"after");
    EXPECT_TRUE(w->GetVariable(L"late").ToBool());
}

TEST_F(Wait, UnknownSoundsAndTracksWaitOnTheCondition) {
    Load(kWaitAnimations);
    for (const wchar_t* name : {L"sound", L"track"}) {
        ProbeScript* w = Run(name);
        EXPECT_EQ(w->mWaitState, WaitState::Condition) << name;
        mHarness.RunSteps(5);
        EXPECT_EQ(Joined(w->mLog), L"after") << name;
        EXPECT_TRUE(w->GetVariable(L"late").ToBool()) << name;
    }
}

TEST_F(Wait, ControllerOfAnObject) {
    Load(kWaitAnimations);
    auto* w = new ProbeScript();
    mManager->AddWidget(w);
    auto* ball = new DynamicWidget(0.0f, 0.0f);
    w->AddNamedObject(L"ball", ball);
    ASSERT_NE(ball->TweenProperty(L"x", L"move", 100.0f, 6.0f), nullptr);
    w->PlayAnimationByName(L"controller");
    EXPECT_EQ(w->mWaitState, WaitState::Controller);
    mHarness.RunSteps(2);
    EXPECT_TRUE(w->mLog.empty());
    mHarness.RunSteps(8);
    EXPECT_EQ(Joined(w->mLog), L"after");
}

// A 100 by 100 target at the screen's top-left corner that reports to `owner`.
DynamicWidget* AddButton(ProbeScript* owner) {
    auto* button = new DynamicWidget(0.0f, 0.0f);
    button->Resize(0.0f, 0.0f, 100, 100);
    button->mCheckPixels = false;
    owner->AddNamedObject(L"btn", button);
    return button;
}

TEST_F(Wait, ButtonEventsThroughRealMouseInput) {
    Load(kWaitAnimations);
    auto* up = new ProbeScript();
    mManager->AddWidget(up);
    AddButton(up);
    up->PlayAnimationByName(L"mouse_up");
    EXPECT_EQ(up->mWaitState, WaitState::MouseUp);
    mHarness.MouseMove(300, 300);
    mHarness.MouseDown(50, 50);
    EXPECT_TRUE(up->mLog.empty());
    mHarness.MouseUp(50, 50);
    EXPECT_EQ(Joined(up->mLog), L"up");
    up->RemoveSelf();

    auto* down = new ProbeScript();
    mManager->AddWidget(down);
    AddButton(down);
    down->PlayAnimationByName(L"mouse_down");
    mHarness.MouseDown(50, 50);
    EXPECT_EQ(Joined(down->mLog), L"down");
    mHarness.MouseUp(50, 50);
    down->RemoveSelf();

    auto* hover = new ProbeScript();
    mManager->AddWidget(hover);
    AddButton(hover);
    mHarness.MouseMove(300, 300);
    hover->PlayAnimationByName(L"mouse_hover");
    mHarness.RunSteps(3);
    EXPECT_TRUE(hover->mLog.empty());
    mHarness.MouseMove(40, 40);
    EXPECT_EQ(Joined(hover->mLog), L"hover");
}

// The button's own action inserting an animation (a hover glow, a "call")
// runs first; the script waiting on that button's event still resumes.
TEST_F(Wait, ButtonEventsResumeAfterTheButtonsOwnInsertedAnimation) {
    Load(std::string(kWaitAnimations) + R"(
      <animation name="glow"><probe v="'glow'"/></animation>
      <animation name="mouse_leave"><wait-for id="btn" event="mouse_leave"/><probe v="'leave'"/></animation>
    )");
    struct Case {
        const wchar_t* animation;
        void (AnimationWidget::*event)(int);
        const wchar_t* log;
    };
    for (const Case& c : {Case{L"mouse_up", &AnimationWidget::ButtonDepress, L"glow,up"},
                          Case{L"mouse_hover", &AnimationWidget::ButtonMouseEnter, L"glow,hover"},
                          Case{L"mouse_leave", &AnimationWidget::ButtonMouseLeave, L"glow,leave"}}) {
        auto* w = new ProbeScript();
        mManager->AddWidget(w);
        DynamicWidget* button = AddButton(w);
        ButtonAction action;
        action.mKind = ButtonAction::Call;
        action.mName = action.mHover = action.mLeave = L"glow";
        w->SetButtonAction(button->mId, action);
        w->PlayAnimationByName(c.animation);
        (w->*c.event)(button->mId);
        EXPECT_EQ(Joined(w->mLog), c.log) << c.animation;
        w->RemoveSelf();
    }
}

TEST_F(Wait, RemovingTheAwaitedObjectResumes) {
    Load(kWaitAnimations);
    auto* w = new ProbeScript();
    mManager->AddWidget(w);
    DynamicWidget* button = AddButton(w);
    w->PlayAnimationByName(L"mouse_up");
    button->RemoveSelf();
    EXPECT_EQ(Joined(w->mLog), L"up");
    EXPECT_FALSE(w->HasVariable(L"btn"));
}

TEST_F(Wait, RemovalResumesOnlyWhileTheScriptWidgetIsInTheManager) {
    Load(kWaitAnimations);
    auto* holder = new ProbeScript();
    mManager->AddWidget(holder);
    auto* w = new ProbeScript();
    holder->AddWidget(w);
    w->PlayAnimationByName(L"object");
    ASSERT_EQ(w->mWaitState, WaitState::Object);
    auto* kid = dynamic_cast<AnimationWidget*>(w->GetVariable(L"k").GetObject());
    ASSERT_NE(kid, nullptr);

    w->DetachSelf();
    EXPECT_FALSE(w->IsInManager());
    kid->RemoveSelf();  // told while detached: no resume
    EXPECT_TRUE(w->mLog.empty());
    EXPECT_EQ(w->mWaitState, WaitState::Object);
    mHarness.RunSteps(1);  // the kid is deleted now
    EXPECT_EQ(w->mAwaitedObject.Get(), nullptr);

    holder->AddWidget(w);  // back: the dead object counts as done
    EXPECT_TRUE(w->mLog.empty());
    mHarness.RunSteps(1);
    EXPECT_EQ(Joined(w->mLog), L"after");
}

}  // namespace

TEST_F(Wait, ButtonDeletedWhileTheScriptWidgetIsDetachedCountsAsItsEvent) {
    Load(kWaitAnimations);
    auto* holder = new ProbeScript();
    mManager->AddWidget(holder);
    auto* w = new ProbeScript();
    holder->AddWidget(w);
    DynamicWidget* button = AddButton(w);
    w->PlayAnimationByName(L"mouse_up");
    ASSERT_EQ(w->mWaitState, WaitState::MouseUp);

    w->DetachSelf();
    button->RemoveSelf();  // no resume while detached
    mHarness.RunSteps(1);  // the button is deleted now
    EXPECT_TRUE(w->mLog.empty());

    holder->AddWidget(w);  // back: the button can never send its event
    mHarness.RunSteps(1);
    EXPECT_EQ(Joined(w->mLog), L"up");
}
