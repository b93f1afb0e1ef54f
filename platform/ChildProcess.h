#pragma once
#include <cstdint>
#include <functional>

#include "platform/ProcessRun.h"

// Crash-safety tests: run code in a child process and kill it at an arbitrary
// moment, then look at what it left on disk.

// Forks; the child runs the body and ends with exit status 0 without running
// the parent's destructors. Returns the child's id, -1 on failure.
int64_t PlatformStartChild(const std::function<void()>& body);
// Kills the child at once (no clean-up of any kind) and waits for it.
bool PlatformKillChild(int64_t child);
// Sends the child SIGTERM, as a session ending would.
bool PlatformTerminateChild(int64_t child);
// Waits up to `timeoutMs` for the child to end; one still running then is
// left so (timedOut).
ProcessOutcome PlatformWaitChild(int64_t child, int timeoutMs);
// Whether a process, ours or not, still runs; one that has ended but is not
// yet waited for counts as gone.
bool PlatformProcessRunning(int64_t pid);
