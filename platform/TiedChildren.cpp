#include "platform/TiedChildren.h"
#include "platform/System.h"

#include <pthread.h>
#include <signal.h>
#include <sys/prctl.h>
#include <unistd.h>

#include <mutex>

namespace {

// This process's id while the thread ties its children; 0 otherwise.
thread_local pid_t tTieTo = 0;

// Runs in the child of every fork(3), so only what is safe after a fork in a
// threaded process.
void TieChild() {
    if (tTieTo == 0) return;
    const pid_t parent = tTieTo;
    tTieTo = 0;
    PlatformSetQuitSignalsAction(nullptr);
    sigset_t quit;
    sigemptyset(&quit);
    sigaddset(&quit, SIGINT);
    sigaddset(&quit, SIGTERM);
    sigaddset(&quit, SIGHUP);
    sigprocmask(SIG_UNBLOCK, &quit, nullptr);
    // Sent when the forking thread ends: the box's thread waits for the box,
    // so that is when the whole process ends.
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    // Gone before the signal was asked for: it will never come.
    if (getppid() != parent) _exit(1);
}

}  // namespace

TiedChildren::TiedChildren() : mOuterParent(tTieTo) {
    static std::once_flag registered;
    std::call_once(registered, [] { pthread_atfork(nullptr, nullptr, TieChild); });
    tTieTo = getpid();
}

TiedChildren::~TiedChildren() { tTieTo = mOuterParent; }
