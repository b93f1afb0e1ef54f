// A FATAL ERROR box gives way to a quit signal: the desktop's box runs in a
// process that the showing thread waits for, and the signal must end it.
// (The real boxes of the real game: tests/e2e/errors.sh.)
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "platform/ProcessRun.h"
#include "platform/QuitWatch.h"
#include "platform/System.h"

namespace {

using Clock = std::chrono::steady_clock;

class QuitSignals : public ::testing::Test {
protected:
    void SetUp() override { PlatformInstallQuitSignals(&mQuit); }
    void TearDown() override { PlatformRemoveQuitSignals(); }

    std::atomic<bool> mQuit{false};
};

TEST_F(QuitSignals, ASignalEndsTheProcessTheWatchedThreadWaitsFor) {
    std::thread sessionManager([] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        PlatformSendQuitSignal();
    });
    Clock::time_point start = Clock::now();
    ProcessOutcome box;
    bool closed = false;
    {
        QuitWatch watch;
        // A box nobody answers.
        box = PlatformRunProgram("/bin/sleep", {"30"}, {}, "", 20000);
        closed = watch.Closed();
    }
    sessionManager.join();
    EXPECT_TRUE(box.started);
    EXPECT_FALSE(box.timedOut);
    EXPECT_TRUE(box.signaled);
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(10));
    EXPECT_TRUE(closed);
    EXPECT_TRUE(mQuit.load());  // the main loop's flag too
    EXPECT_TRUE(PlatformQuitSignalled());
}

TEST_F(QuitSignals, WithoutASignalTheBoxIsLeftToThePlayer) {
    ProcessOutcome box;
    bool closed = true;
    {
        QuitWatch watch;
        box = PlatformRunProgram("/bin/sh", {"-c", "sleep 0.3; exit 7"}, {}, "", 20000);
        closed = watch.Closed();
    }
    EXPECT_TRUE(box.exited);
    EXPECT_EQ(box.exitStatus, 7);
    EXPECT_FALSE(closed);
    EXPECT_FALSE(mQuit.load());
}

TEST_F(QuitSignals, ASignalSentFromTheWatchedThreadStillEndsTheBox) {
    Clock::time_point start = Clock::now();
    ProcessOutcome box;
    {
        QuitWatch watch;
        // The watched thread holds the signal back; the watcher takes it.
        PlatformSendQuitSignal();
        box = PlatformRunProgram("/bin/sleep", {"30"}, {}, "", 20000);
    }
    EXPECT_TRUE(box.signaled);
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(10));
    EXPECT_TRUE(mQuit.load());
}

TEST_F(QuitSignals, NoBoxIsShownOnceTheGameIsToldToQuit) {
    if (!PlatformHasDisplayName()) GTEST_SKIP() << "no display: no box is tried at all";
    PlatformSendQuitSignal();
    for (int i = 0; i < 100 && !PlatformQuitSignalled(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    PlatformSetDialogsEnabled(true);
    Clock::time_point start = Clock::now();
    EXPECT_EQ(PlatformMessageBox("FATAL ERROR", "a box nobody would answer"), MessageBoxResult::Quit);
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(5));
    PlatformSetDialogsEnabled(false);
}

TEST_F(QuitSignals, RemovingTheHandlersForgetsTheSignal) {
    PlatformSendQuitSignal();
    for (int i = 0; i < 100 && !PlatformQuitSignalled(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_TRUE(PlatformQuitSignalled());
    PlatformRemoveQuitSignals();
    EXPECT_FALSE(PlatformQuitSignalled());
    PlatformInstallQuitSignals(&mQuit);
}

}  // namespace
