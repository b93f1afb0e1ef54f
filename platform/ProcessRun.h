#pragma once
#include <string>
#include <vector>

// Runs a program to its end (tests of whole processes).
struct ProcessOutcome {
    bool started = false;
    bool timedOut = false;  // killed after the time limit
    bool exited = false;
    int exitStatus = 0;
    bool signaled = false;
    int signal = 0;
};

// `env` entries ("NAME=value") are added to this process's environment; the
// program runs in `folder`. Killed after `timeoutMs`.
ProcessOutcome PlatformRunProgram(const std::string& path, const std::vector<std::string>& args,
                                  const std::vector<std::string>& env, const std::string& folder, int timeoutMs);

// Signal numbers tests compare outcomes with.
int PlatformSignalNumber(const std::string& name);  // "SEGV", "FPE", "ABRT", ...
