#include "audio/SoundManager.h"
#include "audio/TrackInterface.h"
#include "data/AssetManager.h"
#include "tests/script/ScriptFixture.h"
#include "tests/support/FakeAudio.h"
#include "widgets/DynamicWidget.h"

// "wait-for": how it decides, and how the waiting scripts resume.

namespace {

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
  <animation name="unresolved"><wait-for id="nobody" time="3" timed_out="late" clicked="hit"/><probe v="'after'"/></animation>
  <animation name="controller"><wait-for id="ball" controller="'move'"/><probe v="'after'"/></animation>
  <animation name="mouse_up"><wait-for id="btn" event="mouse_up"/><probe v="'up'"/></animation>
  <animation name="mouse_down"><wait-for id="btn" event="mouse_down"/><probe v="'down'"/></animation>
  <animation name="mouse_hover"><wait-for id="btn" event="mouse_hover"/><probe v="'hover'"/></animation>
  <animation name="sound"><wait-for sound="'no_such_sound'" time="3" timed_out="late" clicked="hit"/><probe v="'after'"/></animation>
  <animation name="track"><wait-for track="'no_such_track'" time="3" timed_out="late" clicked="hit"/><probe v="'after'"/></animation>
  <animation name="ding"><wait-for sound="'ding'" time="3" timed_out="late"/><probe v="'after'"/></animation>
  <animation name="tune"><wait-for track="'tune'" time="3" timed_out="late"/><probe v="'after'"/></animation>
  <animation name="glow"><probe v="'glow'"/></animation>
  <animation name="mouse_leave"><wait-for id="btn" event="mouse_leave"/><probe v="'leave'"/></animation>
)";

// "sound" and "track" ask the audio layer whether the id still plays; these
// fakes answer from a set the test controls.
class AudioApp : public ProbeApp {
protected:
    SoundManager* CreateSoundManager() override { return new FakeSoundManager(); }
    TrackInterface* CreateMusicInterface() override { return new FakeTrackInterface(); }
};

// Every sound and track "loads": only the ids matter here.
class NamesOnly : public AssetAudioLoader {
public:
    bool LoadSound(int, const std::string&) override { return true; }
    bool LoadTrack(int, const std::string&, const std::wstring&) override { return true; }
};

class Wait : public ScriptTest {
protected:
    ProbeApp& Boot() override { return mHarness.Boot<AudioApp>(); }
    void SetUp() override {
        ScriptTest::SetUp();
        std::string error;
        ASSERT_TRUE(gAssetManager->LoadDefinitionsFromString(
            "<assets><group name=\"ScriptAudio\"><sound name=\"ding\" file=\"sounds/ding\"/>"
            "<track name=\"tune\" file=\"music/tune.ogg\" group=\"music\"/></group></assets>",
            "audio-test.xml", &error))
            << error;
        gAssetManager->SetAudioLoader(&mLoader);
        ASSERT_TRUE(gAssetManager->LoadGroup("ScriptAudio"));
        mSound = GetSoundId(L"ding");
        mTrack = GetTrackId(L"tune");
        ASSERT_GE(mSound, 0);
        ASSERT_GE(mTrack, 0);
        Load(kWaitAnimations);
    }
    void TearDown() override {
        ScriptTest::TearDown();
        gAssetManager->SetAudioLoader(nullptr);
        gAssetManager->Clear();
    }
    FakeSoundManager& Sounds() { return *static_cast<FakeSoundManager*>(mApp->mSoundManager); }
    FakeTrackInterface& Tracks() { return *static_cast<FakeTrackInterface*>(mApp->mMusicInterface); }
    // A probe in `parent` (the manager when none) with a 100 by 100 button
    // "btn" at the screen's top-left corner, running `animation`.
    ProbeScript* WithButton(const wchar_t* animation, WidgetContainer* parent = nullptr) {
        ProbeScript* w = Idle(parent);
        DynamicWidget* button = AddObject(w, L"btn");
        button->Resize(0.0f, 0.0f, 100, 100);
        button->mCheckPixels = false;
        w->PlayAnimationByName(animation);
        return w;
    }

    NamesOnly mLoader;
    int mSound = -1;
    int mTrack = -1;
};

// The time runs out unless the condition or nothing stops the wait first;
// what cannot be waited on (an unknown id, sound or track) waits on the time.
TEST_F(Wait, TimeConditionsAndWhatCannotBeAwaited) {
    struct Case {
        const wchar_t* animation;
        int waiting, more;
    };
    for (const Case& c : {Case{L"time", 2, 6}, Case{L"unresolved", 1, 4}, Case{L"sound", 1, 4},
                          Case{L"track", 1, 4}}) {
        SCOPED_TRACE(c.animation);
        ProbeScript* w = Run(c.animation);
        EXPECT_EQ(w->mWaitState, WaitState::Condition);
        mHarness.RunSteps(c.waiting);
        EXPECT_TRUE(w->mLog.empty());
        mHarness.RunSteps(c.more);
        EXPECT_EQ(Joined(w->mLog), L"after");
        EXPECT_TRUE(w->GetVariable(L"late").ToBool());
        EXPECT_EQ(w->GetVariable(L"hit").GetType(), ScriptValue::Bool);
        EXPECT_FALSE(w->GetVariable(L"hit").ToBool());
    }
    // An explicit time of zero does not wait; nothing waits for ever.
    EXPECT_EQ(Joined(Run(L"zero")->mLog), L"after");
    ProbeScript* forever = Run(L"forever");
    mHarness.RunSteps(20);
    EXPECT_TRUE(forever->mLog.empty());
    EXPECT_EQ(forever->mWaitState, WaitState::Condition);
    // The condition is polled each frame.
    ProbeScript* cond = Run(L"cond");
    mHarness.RunSteps(3);
    EXPECT_TRUE(cond->mLog.empty());
    cond->SetVariable(L"go", ScriptValue(true));
    mHarness.RunSteps(1);
    EXPECT_EQ(Joined(cond->mLog), L"after");
    EXPECT_FALSE(cond->GetVariable(L"late").ToBool());
}

TEST_F(Wait, SoundAndTrackWaitsLastWhilePlayingAndIgnoreTheTime) {
    Sounds().mPlaying.insert(mSound);
    Tracks().mPlaying.insert(mTrack);
    ProbeScript* sound = Run(L"ding");
    ProbeScript* track = Run(L"tune");
    EXPECT_EQ(sound->mWaitState, WaitState::Sound);
    EXPECT_EQ(track->mWaitState, WaitState::Track);
    mHarness.RunSteps(10);  // well past "time"
    EXPECT_TRUE(sound->mLog.empty());
    EXPECT_TRUE(track->mLog.empty());
    Sounds().mPlaying.clear();
    mHarness.RunSteps(1);
    EXPECT_EQ(Joined(sound->mLog), L"after");
    EXPECT_FALSE(sound->GetVariable(L"late").ToBool());
    EXPECT_TRUE(track->mLog.empty());
    Tracks().mPlaying.clear();
    mHarness.RunSteps(1);
    EXPECT_EQ(Joined(track->mLog), L"after");
}

// A sound not playing, or no sound manager at all, resumes at the next poll.
TEST_F(Wait, ASoundNotPlayingOrNoSoundManagerResumesAtTheNextPoll) {
    ProbeScript* sound = Run(L"ding");
    EXPECT_EQ(sound->mWaitState, WaitState::Sound);
    EXPECT_TRUE(sound->mLog.empty());
    mHarness.RunSteps(1);
    EXPECT_EQ(Joined(sound->mLog), L"after");

    Sounds().mPlaying.insert(mSound);
    SoundManager* sounds = mApp->mSoundManager;
    mApp->mSoundManager = nullptr;
    ProbeScript* unheard = Run(L"ding");
    mHarness.RunSteps(1);
    mApp->mSoundManager = sounds;
    EXPECT_EQ(Joined(unheard->mLog), L"after");
}

TEST_F(Wait, ClickOrTimeWhicheverComesFirst) {
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

TEST_F(Wait, ControllerOfAnObject) {
    ProbeScript* w = Idle();
    DynamicWidget* ball = AddObject(w, L"ball");
    ASSERT_NE(ball->TweenProperty(L"x", L"move", 100.0f, 6.0f), nullptr);
    w->PlayAnimationByName(L"controller");
    EXPECT_EQ(w->mWaitState, WaitState::Controller);
    mHarness.RunSteps(2);
    EXPECT_TRUE(w->mLog.empty());
    mHarness.RunSteps(8);
    EXPECT_EQ(Joined(w->mLog), L"after");
}

TEST_F(Wait, ButtonEventsThroughRealMouseInput) {
    ProbeScript* up = WithButton(L"mouse_up");
    EXPECT_EQ(up->mWaitState, WaitState::MouseUp);
    mHarness.MouseMove(300, 300);
    mHarness.MouseDown(50, 50);
    EXPECT_TRUE(up->mLog.empty());
    mHarness.MouseUp(50, 50);
    EXPECT_EQ(Joined(up->mLog), L"up");
    up->RemoveSelf();

    ProbeScript* down = WithButton(L"mouse_down");
    mHarness.MouseDown(50, 50);
    EXPECT_EQ(Joined(down->mLog), L"down");
    mHarness.MouseUp(50, 50);
    down->RemoveSelf();

    mHarness.MouseMove(300, 300);
    ProbeScript* hover = WithButton(L"mouse_hover");
    mHarness.RunSteps(3);
    EXPECT_TRUE(hover->mLog.empty());
    mHarness.MouseMove(40, 40);
    EXPECT_EQ(Joined(hover->mLog), L"hover");

    // Removing the awaited button resumes the script at once.
    ProbeScript* removed = WithButton(L"mouse_up");
    Held<DynamicWidget>(removed, L"btn")->RemoveSelf();
    EXPECT_EQ(Joined(removed->mLog), L"up");
    EXPECT_FALSE(removed->HasVariable(L"btn"));
}

// The button's own action inserting an animation (a hover glow, a "call")
// runs first; the script waiting on that button's event still resumes.
TEST_F(Wait, ButtonEventsResumeAfterTheButtonsOwnInsertedAnimation) {
    struct Case {
        const wchar_t* animation;
        void (AnimationWidget::*event)(int);
        const wchar_t* log;
    };
    for (const Case& c : {Case{L"mouse_up", &AnimationWidget::ButtonDepress, L"glow,up"},
                          Case{L"mouse_hover", &AnimationWidget::ButtonMouseEnter, L"glow,hover"},
                          Case{L"mouse_leave", &AnimationWidget::ButtonMouseLeave, L"glow,leave"}}) {
        ProbeScript* w = Idle();
        const int button = AddObject(w, L"btn")->mId;
        ButtonAction action;
        action.mKind = ButtonAction::Call;
        action.mName = action.mHover = action.mLeave = L"glow";
        w->SetButtonAction(button, action);
        w->PlayAnimationByName(c.animation);
        (w->*c.event)(button);
        EXPECT_EQ(Joined(w->mLog), c.log) << c.animation;
        w->RemoveSelf();
    }
}

// A removal told while the script widget is out of the manager resumes
// nothing; back in, the dead object (or a button that can never send its
// event) counts as done.
TEST_F(Wait, RemovalWhileTheScriptWidgetIsDetachedResumesOnItsReturn) {
    struct Case {
        const wchar_t* animation;
        const wchar_t* awaited;
        int state;
        const wchar_t* log;
    };
    for (const Case& c : {Case{L"object", L"k", WaitState::Object, L"after"},
                          Case{L"mouse_up", L"btn", WaitState::MouseUp, L"up"}}) {
        SCOPED_TRACE(c.animation);
        ProbeScript* holder = Idle();
        ProbeScript* w = WithButton(c.animation, holder);
        ASSERT_EQ(w->mWaitState, c.state);
        auto* awaited = Held<DynamicWidget>(w, c.awaited);
        ASSERT_NE(awaited, nullptr);
        w->DetachSelf();
        EXPECT_FALSE(w->IsInManager());
        awaited->RemoveSelf();
        EXPECT_TRUE(w->mLog.empty());
        EXPECT_EQ(w->mWaitState, c.state);
        mHarness.RunSteps(1);  // deleted now
        EXPECT_TRUE(w->mLog.empty());
        EXPECT_EQ(w->mAwaitedObject.Get(), nullptr);
        holder->AddWidget(w);
        EXPECT_TRUE(w->mLog.empty());  // until the next poll
        mHarness.RunSteps(1);
        EXPECT_EQ(Joined(w->mLog), c.log);
        holder->RemoveSelf();
    }
}

}  // namespace
