#include "platform/QuitWatch.h"

#include <signal.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <thread>

#include "platform/System.h"

namespace {

sigset_t QuitSignals() {
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGINT);
    sigaddset(&set, SIGTERM);
    sigaddset(&set, SIGHUP);
    return set;
}

// The processes the thread started that still run are the box's: a box has
// nothing to save, so they end at once.
void EndChildrenOf(long thread) {
    char path[64];
    std::snprintf(path, sizeof path, "/proc/self/task/%ld/children", thread);
    FILE* file = std::fopen(path, "r");
    if (!file) return;
    long child = 0;
    while (std::fscanf(file, "%ld", &child) == 1)
        if (child > 0) kill(static_cast<pid_t>(child), SIGKILL);
    std::fclose(file);
}

}  // namespace

struct QuitWatch::State {
    long thread = 0;
    sigset_t savedMask;
    std::atomic<bool> closed{false};
    std::mutex lock;
    std::condition_variable wake;
    bool done = false;
    bool parked = false;
    std::thread watcher;

    void Watch() {
        // Someone must take the signal while the watched thread holds it back
        // (SDL's own threads block it too).
        sigset_t quit = QuitSignals();
        pthread_sigmask(SIG_UNBLOCK, &quit, nullptr);
        std::unique_lock<std::mutex> guard(lock);
        parked = true;
        wake.notify_all();
        while (!done) {
            // Again and again: the box may start its process (or its next
            // one, zenity after the X11 box) after the signal came.
            if (PlatformQuitSignalled()) {
                closed.store(true);
                EndChildrenOf(thread);
            }
            wake.wait_for(guard, std::chrono::milliseconds(50));
        }
    }
};

QuitWatch::QuitWatch() : mState(std::make_unique<State>()) {
    State& state = *mState;
    state.thread = syscall(SYS_gettid);
    sigset_t quit = QuitSignals();
    pthread_sigmask(SIG_BLOCK, &quit, &state.savedMask);
    state.watcher = std::thread([&state] { state.Watch(); });
    // The box forks (SDL's X11 box draws in a copy of us): a thread still
    // starting then may hold an allocator's lock (the sanitizers' allocator
    // has no fork handling), and the copy would wait on it for ever. So the
    // box waits until the watcher sleeps.
    std::unique_lock<std::mutex> guard(state.lock);
    state.wake.wait(guard, [&state] { return state.parked; });
}

QuitWatch::~QuitWatch() {
    State& state = *mState;
    {
        std::lock_guard<std::mutex> guard(state.lock);
        state.done = true;
    }
    state.wake.notify_all();
    state.watcher.join();
    // A quit signal held back meanwhile is taken now; its handler only
    // raises the quit flag again.
    pthread_sigmask(SIG_SETMASK, &state.savedMask, nullptr);
}

bool QuitWatch::Closed() const { return mState->closed.load() || PlatformQuitSignalled(); }
