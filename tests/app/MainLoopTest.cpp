#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "core/FileUtil.h"
#include "app/GameApp.h"
#include "core/WeakHandle.h"
#include "app/Settings.h"
#include "core/Timer.h"
#include "audio/SoundManager.h"
#include "audio/TrackInterface.h"
#include "platform/FileSystem.h"
#include "tests/support/AppHarness.h"
#include "tests/support/FakeAudio.h"

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

}  // namespace

TEST(MainLoop, OneSimulatedSecondRunsExactlyOneHundredUpdateSteps) {
    AppHarness h;
    auto& app = h.Boot<CountingApp>();
    ASSERT_TRUE(h.InitSucceeded());
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

TEST(MainLoop, LongStallsDoNotRaceThroughTheBacklog) {
    AppHarness h;
    auto& app = h.Boot<CountingApp>();
    h.Clock().AdvanceMillis(60000);
    app.RunPass();
    EXPECT_EQ(app.mSteps.load(), PomoAppBase::kMaxCatchUpSteps);
    // The pass slept up to the next step, so the loop is back on schedule.
    app.RunPass();
    EXPECT_EQ(app.mSteps.load(), PomoAppBase::kMaxCatchUpSteps + 1);
}

TEST(MainLoop, HandlesOneQueuedInputMessagePerPass) {
    AppHarness h;
    auto& app = h.Boot<CountingApp>();
    for (int i = 0; i < 3; ++i) {
        InputEvent e;
        e.type = InputEvent::MouseMove;
        e.x = i;
        h.Push(e);
    }
    app.RunPass();
    ASSERT_EQ(app.mHandled.size(), 1u);
    EXPECT_EQ(app.mHandled[0].x, 0);
    h.DrainInput();
    ASSERT_EQ(app.mHandled.size(), 3u);
    EXPECT_EQ(app.mHandled[2].x, 2);
}

TEST(MainLoop, QuitFromAnotherThreadEndsTheLoopOnTheMainThread) {
    AppHarness h;
    auto& app = h.Boot<CountingApp>();
    ASSERT_TRUE(h.InitSucceeded());
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

TEST(MainLoop, ClosingTheWindowSavesSettings) {
    AppHarness h;
    auto& app = h.Boot<CountingApp>();
    app.SetMouseSpeed(13);
    app.SetSfxVolume(0.3);
    app.SetMusicGroupVolume(L"music", 0.6);
    h.RunSteps(5);
    h.Quit();
    EXPECT_EQ(app.Sounds().mStopAllCount, 1);
    AppSettings s;
    ASSERT_TRUE(ReadSettingsFile(h.UserDataFolder() + "/settings.xml", s, nullptr));
    EXPECT_EQ(s.version, "v1.2");
    EXPECT_EQ(s.mouseSpeed, 13);
    EXPECT_DOUBLE_EQ(s.sfxVolume, 0.3);
    EXPECT_DOUBLE_EQ(s.musicGroupVolumes[L"music"], 0.6);
}

TEST(MainLoop, SavedSettingsAreReadAtTheNextStart) {
    std::string folder = PlatformMakeTempDirectory("quiltro7-restart-");
    {
        AppHarness::Options o;
        o.userDataFolder = folder;
        AppHarness h(o);
        auto& app = h.Boot<CountingApp>();
        app.SetMouseSpeed(4);
        app.SetStretchScreen(true);
        h.Quit();
    }
    {
        AppHarness::Options o;
        o.userDataFolder = folder;
        AppHarness h(o);
        auto& app = h.Boot<CountingApp>();
        EXPECT_EQ(app.GetMouseSpeed(), 4);
        EXPECT_TRUE(app.mStretchScreen);
    }
    PlatformRemoveTree(folder);
}

TEST(MainLoop, CommandLineErrorsEndInitWithNonZeroExit) {
    AppHarness::Options o;
    o.args = {"-bogus"};
    AppHarness h(o);
    auto& app = h.Boot<CountingApp>();
    EXPECT_FALSE(h.InitSucceeded());
    EXPECT_EQ(app.mExitCode, 1);
}

TEST(MainLoop, ScreenSaverFlagFromTheCommandLine) {
    AppHarness::Options o;
    o.args = {"-screensaver", "/p", "77"};
    AppHarness h(o);
    auto& app = h.Boot<CountingApp>();
    ASSERT_TRUE(h.InitSucceeded());
    EXPECT_TRUE(app.mScreenSaverMode);
    EXPECT_EQ(app.mPreviewWindow, 0);  // no preview windows on this desktop
    app.SetCursor(3);
    EXPECT_EQ(app.GetCursor(), 0);
}

TEST(MainLoop, LoadingThreadCompletionIsReportedOnTheMainThread) {
    AppHarness h;
    auto& app = h.Boot<CountingApp>();
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

TEST(SoundSlots, OutOfTableIdsPlayNothing) {
    AppHarness h;
    auto& app = h.Boot<CountingApp>();
    for (int id : {-1, -7, SoundManager::kMaxSounds, 1 << 30}) app.PlaySample(id);
    app.PlaySampleWithPan(5000, 10);
    EXPECT_TRUE(app.Sounds().mRequested.empty());
    app.PlaySample(3);
    EXPECT_EQ(app.Sounds().mRequested, std::vector<int>{3});
    EXPECT_EQ(app.Sounds().mPlayed, std::vector<int>{3});
}

TEST(SoundSlots, VolumesFollowTheMuteRule) {
    AppHarness h;
    auto& app = h.Boot<CountingApp>();
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

TEST(DeferredDelete, ObjectsDieAfterTheUpdateStep) {
    struct Tracked : HandleTarget {
        explicit Tracked(bool* flag) : mFlag(flag) {}
        ~Tracked() override { *mFlag = true; }
        bool* mFlag;
    };
    AppHarness h;
    auto& app = h.Boot<CountingApp>();
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

TEST(Timer, MeasuresGameTimeOnTheApplicationsClock) {
    AppHarness h;
    h.Boot<CountingApp>();
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
