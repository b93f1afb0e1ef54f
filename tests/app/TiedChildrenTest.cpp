// The processes a desktop box runs in (SDL's forked copy of us for its X11
// box, zenity) go with the game: a kill of the game ends them, and SIGTERM
// ends them as it ends any program, although the game's own quit handlers
// and QuitWatch's held-back signals were in place when they were forked.
// (The real box of the real game: tests/e2e/errors.sh.)
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "platform/ChildProcess.h"
#include "platform/QuitWatch.h"
#include "platform/System.h"
#include "platform/TiedChildren.h"

namespace {

using namespace std::chrono_literals;

void SleepLong() { std::this_thread::sleep_for(60s); }

// Polls up to `limit` for the process to end.
bool EndsWithin(int64_t pid, std::chrono::milliseconds limit) {
    auto until = std::chrono::steady_clock::now() + limit;
    while (PlatformProcessRunning(pid)) {
        if (std::chrono::steady_clock::now() >= until) return false;
        std::this_thread::sleep_for(10ms);
    }
    return true;
}

TEST(TiedChildren, TheBoxsProcessTakesSigtermThoughTheGameHoldsItBack) {
    std::atomic<bool> quit{false};
    PlatformInstallQuitSignals(&quit);
    int64_t box = -1;
    {
        QuitWatch watch;
        TiedChildren tied;
        box = PlatformStartChild(SleepLong);
    }
    ASSERT_GT(box, 0);
    ASSERT_TRUE(PlatformTerminateChild(box));
    ProcessOutcome ended = PlatformWaitChild(box, 5000);
    if (ended.timedOut) PlatformKillChild(box);
    EXPECT_FALSE(ended.timedOut) << "SIGTERM did not end the box's process";
    EXPECT_TRUE(ended.signaled);
    EXPECT_FALSE(quit.load());  // the game's own flag stays down
    PlatformRemoveQuitSignals();
}

TEST(TiedChildren, TheBoxsProcessEndsWhenTheGameIsKilledAndNoOtherChildDoes) {
    const std::filesystem::path ids = std::filesystem::path(::testing::TempDir()) /
        ("tied-children-" + std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()));
    // A game that shows a box and meanwhile, on another thread, starts a
    // program of its own (as the crash reporter is started), then one more
    // after the box.
    int64_t game = PlatformStartChild([&ids] {
        int64_t box = -1, otherThread = -1, afterBox = -1;
        {
            TiedChildren tied;
            box = PlatformStartChild(SleepLong);
            std::thread other([&otherThread] { otherThread = PlatformStartChild(SleepLong); });
            other.join();
        }
        afterBox = PlatformStartChild(SleepLong);
        {
            std::ofstream out(ids.string() + ".part");
            out << box << ' ' << otherThread << ' ' << afterBox << '\n';
        }
        std::filesystem::rename(ids.string() + ".part", ids);
        SleepLong();
    });
    ASSERT_GT(game, 0);
    int64_t box = -1, otherThread = -1, afterBox = -1;
    for (int i = 0; i < 1000 && !std::filesystem::exists(ids); ++i) std::this_thread::sleep_for(10ms);
    std::ifstream(ids) >> box >> otherThread >> afterBox;
    std::filesystem::remove(ids);
    ASSERT_GT(box, 0);
    ASSERT_GT(otherThread, 0);
    ASSERT_GT(afterBox, 0);

    EXPECT_TRUE(PlatformProcessRunning(box));
    ASSERT_TRUE(PlatformKillChild(game));
    EXPECT_TRUE(EndsWithin(box, 1s)) << "the box's process outlived the game";
    EXPECT_TRUE(PlatformProcessRunning(otherThread));
    EXPECT_TRUE(PlatformProcessRunning(afterBox));
    // Not ours to wait for: the kill is all.
    for (int64_t pid : {box, otherThread, afterBox}) PlatformKillChild(pid);
}

}  // namespace
