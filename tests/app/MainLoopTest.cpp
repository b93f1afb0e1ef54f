#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <thread>

#include "core/FileUtil.h"
#include "app/GameApp.h"
#include "core/WeakHandle.h"
#include "app/Settings.h"
#include "core/Timer.h"
#include "audio/SoundManager.h"
#include "audio/TrackInterface.h"
#include "data/Animation.h"
#include "platform/FileSystem.h"
#include "tests/support/AppHarness.h"
#include "tests/support/FakeAudio.h"
#include "widgets/AnimationWidget.h"
#include "widgets/Controller.h"
#include "widgets/WidgetManager.h"

namespace {

class CountingApp : public GameApp {
public:
    CountingApp() : GameApp("Loop Test", "v1.2", 1024, 768) {}

    SoundManager* CreateSoundManager() override { return new FakeSoundManager(); }
    TrackInterface* CreateMusicInterface() override { return new FakeTrackInterface(); }
    FakeSoundManager& Sounds() { return *static_cast<FakeSoundManager*>(mSoundManager); }
    FakeTrackInterface& Tracks() { return *static_cast<FakeTrackInterface*>(mMusicInterface); }
    using PomoAppBase::StartLoadingThread;

    std::atomic<int> mSteps{0};
    int mDrawn = 0;
    std::vector<InputEvent> mHandled;
    std::thread::id mShutdownThread;
    std::thread::id mLoadingCompletedThread;
    std::atomic<bool> mLoaderRan{false};

protected:
    void UpdateFrames() override {
        GameApp::UpdateFrames();
        ++mSteps;
    }
    void DrawFrame() override { ++mDrawn; }
    void HandleInputEvent(const InputEvent& e) override {
        mHandled.push_back(e);
        GameApp::HandleInputEvent(e);
    }
    void ShutdownHook() override { mShutdownThread = std::this_thread::get_id(); }
    void LoadingThreadProc() override {
        mLoaderRan = true;
        StepLoadingProgress();
    }
    void LoadingThreadCompleted() override { mLoadingCompletedThread = std::this_thread::get_id(); }
};

// The application booted with the harness's usual options.
class MainLoop : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(h.InitSucceeded()); }

    AppHarness h;
    CountingApp& app = h.Boot<CountingApp>();
};
using SoundSlots = MainLoop;

}  // namespace

TEST_F(MainLoop, OneSimulatedSecondRunsExactlyOneHundredUpdateSteps) {
    h.Clock().AdvanceMillis(1000);
    app.RunPass();
    EXPECT_EQ(app.mSteps.load(), 100);
    EXPECT_EQ(app.GetUpdateCount(), 100);
    // Running step by step lands on the same count per second of game time.
    uint64_t before = h.Clock().NowMicros();
    h.RunSteps(100);
    EXPECT_EQ(app.mSteps.load(), 200);
    EXPECT_EQ(h.Clock().NowMicros() - before, 1000000u);
    EXPECT_GT(app.mDrawn, 0);
    // The music interface advances its fades once per step.
    EXPECT_EQ(app.Tracks().mUpdates, 200);
}

TEST_F(MainLoop, LongStallsDoNotRaceThroughTheBacklog) {
    h.Clock().AdvanceMillis(60000);
    app.RunPass();
    EXPECT_EQ(app.mSteps.load(), PomoAppBase::kMaxCatchUpSteps);
    // The pass slept up to the next step, so the loop is back on schedule.
    app.RunPass();
    EXPECT_EQ(app.mSteps.load(), PomoAppBase::kMaxCatchUpSteps + 1);
}

// A still screen sleeps through the steps nothing needs, a second at most,
// and runs them when it wakes; woken late (a busy machine), it still runs
// every one: only a stall past its planned wake drops a backlog.
TEST(MainLoopSleep, AStillScreenSleepsASecondAndWokenLateRunsEveryStep) {
    AppHarness::Options options;
    options.sleepWhenIdle = true;
    AppHarness h(options);
    CountingApp& app = h.Boot<CountingApp>();
    ASSERT_TRUE(h.InitSucceeded());
    h.RunSteps(5);  // the first frame
    const uint64_t t0 = h.Clock().NowMicros();
    app.RunPass();
    const int s0 = app.mSteps.load();
    const uint64_t t1 = h.Clock().NowMicros();
    app.RunPass();
    EXPECT_EQ(h.Clock().NowMicros() - t1, 100 * PomoAppBase::kUpdateStepMicros) << "slept a second";
    h.Clock().AdvanceMillis(35);  // woken late
    const uint64_t woken = h.Clock().NowMicros();
    app.RunPass();
    EXPECT_EQ(app.mSteps.load() - s0, static_cast<int>((woken - t0) / PomoAppBase::kUpdateStepMicros));
}

InputEvent Event(InputEvent::Type type, int x = 0) {
    InputEvent e;
    e.type = type;
    e.x = x;
    e.key = x;
    e.button = MouseButton::Left;
    return e;
}

TEST_F(MainLoop, HandlesEveryQueuedInputMessageInAPassMergingOnlyConsecutiveMotions) {
    for (InputEvent e : {Event(InputEvent::KeyDown, 'a'), Event(InputEvent::MouseMove, 1),
                         Event(InputEvent::MouseMove, 2), Event(InputEvent::KeyDown, 'b'),
                         Event(InputEvent::MouseMove, 3)})
        h.Push(e);
    app.RunPass();
    EXPECT_EQ(app.PendingInputCount(), 0u);
    std::vector<int> seen;
    for (const InputEvent& e : app.mHandled) seen.push_back(e.x);
    EXPECT_EQ(seen, (std::vector<int>{'a', 2, 'b', 3}));
}

TEST_F(MainLoop, AClickAfterAFastMouseIsHandledWithinAFewPasses) {
    // A 1000 Hz mouse queues ten motions in every 10 ms pass.
    auto moveForOnePass = [&](int pass) {
        for (int i = 0; i < 10; ++i) h.Push(Event(InputEvent::MouseMove, pass * 10 + i));
        app.RunPass();
    };
    for (int pass = 0; pass < 100; ++pass) moveForOnePass(pass);
    h.Push(Event(InputEvent::MouseDown, 5));
    int passes = 0;
    while (!app.mWidgetManager->IsMouseButtonDown() && passes < 1000) moveForOnePass(100 + passes++);
    EXPECT_LE(passes, 2);
    EXPECT_LE(app.PendingInputCount(), 1u);
    // The motion handled last before the click was the latest one queued.
    auto click = std::find_if(app.mHandled.begin(), app.mHandled.end(),
                              [](const InputEvent& e) { return e.type == InputEvent::MouseDown; });
    ASSERT_NE(click, app.mHandled.begin());
    EXPECT_EQ(std::prev(click)->x, 999);
}

// --- Redrawing only what changed ------------------------------------------------

class RedrawTest : public MainLoop {
protected:
    void SetUp() override {
        MainLoop::SetUp();
        h.RunSteps(2);  // the first frame
    }
    // Frames drawn while the loop runs n more update steps.
    int FramesOver(int steps) {
        int before = app.mDrawn;
        h.RunSteps(steps);
        return app.mDrawn - before;
    }
};

TEST_F(RedrawTest, AStillScreenDrawsNothingWhileItsScriptsClocksRun) {
    AnimationTable table;
    Animation& pause = table[L"pause"];
    pause.mName = L"pause";
    AnimationCommand wait;
    wait.mName = L"wait-for";
    wait.SetAttribute(L"time", L"300");
    pause.mCommands = {wait};
    PublishAnimations(std::move(table));
    auto* script = new AnimationWidget(L"pause", 0.0f, 0.0f, false);
    app.mWidgetManager->AddWidget(script);
    EXPECT_GT(FramesOver(2), 0);  // it came and its script started
    EXPECT_EQ(FramesOver(250), 0);
    EXPECT_FALSE(script->IsScriptFinished());
    EXPECT_GT(FramesOver(60), 0);  // the wait ran out and the script went on
    EXPECT_TRUE(script->IsScriptFinished());
    EXPECT_EQ(FramesOver(100), 0);
    PublishAnimations({});
}

TEST_F(RedrawTest, AMovingWidgetDrawsNoFasterThanTheDisplayRefreshes) {
    auto* mover = new DynamicWidget(0.0f, 0.0f);
    app.mWidgetManager->AddWidget(mover);
    // 1 unit a step for 200 steps, on a loop with no vsync to pace it (no window).
    mover->AddController(new TerminalPropeller(nullptr, mover, L"push", 1.0f, 0.0f,
                                               {{&mover->mX, 1.0f, 200.0f}}, true, 1));
    int frames = FramesOver(100);
    EXPECT_GE(frames, 55);
    EXPECT_LE(frames, 61);  // 60 Hz without a display to ask
    h.RunSteps(150);
    EXPECT_EQ(mover->mX, 200.0f);
    EXPECT_EQ(FramesOver(100), 0);  // at rest again
}

// Input draws what it changed, nothing more: a key no widget takes leaves
// the screen as it is. An exposure draws the whole frame.
TEST_F(RedrawTest, InputThatChangesNothingDrawsNothingAndAnExposureForcesAFrame) {
    EXPECT_EQ(FramesOver(50), 0);
    h.Push(Event(InputEvent::KeyDown, 'x'));
    EXPECT_EQ(FramesOver(1), 0);
    h.Push(Event(InputEvent::WindowExposed));
    EXPECT_EQ(FramesOver(1), 1);
    EXPECT_EQ(FramesOver(50), 0);
    app.RequestRedraw();
    EXPECT_EQ(FramesOver(1), 1);
}

TEST_F(MainLoop, QuitFromAnotherThreadEndsTheLoopOnTheMainThread) {
    std::thread other([&] {
        while (app.GetUpdateCount() < 50) std::this_thread::yield();
        app.Shutdown();
    });
    app.Start();  // returns only once the loop has ended and shut down
    other.join();
    EXPECT_GE(app.GetUpdateCount(), 50);
    EXPECT_EQ(app.mShutdownThread, std::this_thread::get_id());
    EXPECT_TRUE(FileExists(h.UserDataFolder() + "/settings.xml"));
}

TEST(MainLoopStart, ClosingTheWindowSavesSettingsThatTheNextStartReads) {
    std::string folder = PlatformMakeTempDirectory("quiltro7-restart-");
    AppHarness::Options o;
    o.userDataFolder = folder;
    {
        AppHarness h(o);
        auto& app = h.Boot<CountingApp>();
        app.SetMouseSpeed(13);
        app.SetSfxVolume(0.3);
        app.SetMusicGroupVolume(L"music", 0.6);
        app.SetStretchScreen(true);
        h.RunSteps(5);
        h.Quit();
        EXPECT_EQ(app.Sounds().mStopAllCount, 1);
        AppSettings s;
        ASSERT_TRUE(ReadSettingsFile(folder + "/settings.xml", s, nullptr));
        EXPECT_EQ(s.version, "v1.2");
        EXPECT_DOUBLE_EQ(s.sfxVolume, 0.3);
        EXPECT_DOUBLE_EQ(s.musicGroupVolumes[L"music"], 0.6);
    }
    {
        AppHarness h(o);
        auto& app = h.Boot<CountingApp>();
        EXPECT_EQ(app.GetMouseSpeed(), 13);
        EXPECT_TRUE(app.mStretchScreen);
    }
    PlatformRemoveTree(folder);
}

// (A bad parameter ending the start is checked on the real game, tests/e2e/window.sh.)
TEST(MainLoopStart, TheScreenSaverSwitchStartsWithoutAPreviewWindowOrCursors) {
    AppHarness::Options saver;
    saver.args = {"-screensaver", "/p", "77"};
    AppHarness h(saver);
    auto& app = h.Boot<CountingApp>();
    ASSERT_TRUE(h.InitSucceeded());
    EXPECT_TRUE(app.mScreenSaverMode);
    EXPECT_EQ(app.mPreviewWindow, 0);  // no preview windows on this desktop
    app.SetCursor(3);
    EXPECT_EQ(app.GetCursor(), 0);
}

TEST_F(MainLoop, LoadingThreadCompletionIsReportedOnTheMainThread) {
    app.SetLoadingTotal(2);
    app.StartLoadingThread();
    // The worker runs in real time while the loop runs on the test clock.
    for (int i = 0; i < 5000 && app.mLoadingCompletedThread == std::thread::id(); ++i) {
        h.RunSteps(1);
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    EXPECT_TRUE(app.mLoaderRan.load());
    EXPECT_EQ(app.mLoadingCompletedThread, std::this_thread::get_id());
    EXPECT_DOUBLE_EQ(app.GetLoadingProgress(), 0.5);
}

TEST_F(SoundSlots, OutOfTableIdsPlayNothing) {
    for (int id : {-1, -7, SoundManager::kMaxSounds, 1 << 30}) app.PlaySample(id);
    app.PlaySampleWithPan(5000, 10);
    EXPECT_TRUE(app.Sounds().mRequested.empty());
    app.PlaySample(3);
    EXPECT_EQ(app.Sounds().mRequested, std::vector<int>{3});
    EXPECT_EQ(app.Sounds().mPlayed, std::vector<int>{3});
}

TEST_F(SoundSlots, VolumesFollowTheMuteRule) {
    app.SetSfxVolume(0.4);
    EXPECT_DOUBLE_EQ(app.Sounds().mVolume, 0.4);
    app.EnsureMusicGroupVolume(L"music");
    EXPECT_DOUBLE_EQ(app.GetMusicGroupVolume(L"music"), 0.85);
    EXPECT_DOUBLE_EQ(app.GetMusicGroupVolume(L"absent"), 0.0);
    app.SetMuted(true);
    EXPECT_DOUBLE_EQ(app.Sounds().mVolume, 0.0);
    EXPECT_DOUBLE_EQ(app.Tracks().mGroups[L"music"], 0.0);
    app.SetMusicGroupVolume(L"music", 0.5);
    EXPECT_DOUBLE_EQ(app.Tracks().mGroups[L"music"], 0.0);
    EXPECT_DOUBLE_EQ(app.GetMusicGroupVolume(L"music"), 0.5);
    app.SetMuted(false);
    EXPECT_DOUBLE_EQ(app.Sounds().mVolume, 0.4);
    EXPECT_DOUBLE_EQ(app.Tracks().mGroups[L"music"], 0.5);
}

TEST_F(MainLoop, SafeDeletedObjectsDieAfterTheUpdateStep) {
    struct Tracked : HandleTarget {
        explicit Tracked(bool* flag) : mFlag(flag) {}
        ~Tracked() override { *mFlag = true; }
        bool* mFlag;
    };
    bool deleted = false;
    auto* obj = new Tracked(&deleted);
    WeakHandle<Tracked> weak(obj);
    app.SafeDelete(obj);
    app.SafeDelete(obj);  // twice is harmless
    EXPECT_FALSE(deleted);
    EXPECT_EQ(weak.Get(), obj);
    h.RunSteps(1);
    EXPECT_TRUE(deleted);
    EXPECT_EQ(weak.Get(), nullptr);
}

TEST_F(MainLoop, TimersMeasureGameTimeOnTheApplicationsClock) {
    h.RunSteps(1);  // each pass ends asleep up to the next step
    Timer timer;
    timer.Start();
    h.RunSteps(25);
    EXPECT_DOUBLE_EQ(timer.ElapsedMillis(), 250.0);
    timer.Stop();
    h.RunSteps(10);
    EXPECT_DOUBLE_EQ(timer.ElapsedSeconds(), 0.25);
    TestClock own;
    Timer explicitClock(&own);
    explicitClock.Start();
    own.AdvanceMillis(3);
    EXPECT_EQ(explicitClock.ElapsedMicros(), 3000u);
}
