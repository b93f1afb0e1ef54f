#include "platform/ChildProcess.h"

#include <signal.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <string>
#include <thread>

int64_t PlatformStartChild(const std::function<void()>& body) {
    pid_t pid = fork();
    if (pid < 0) return -1;
    if (pid == 0) {
        body();
        _exit(0);
    }
    return pid;
}

bool PlatformKillChild(int64_t child) {
    if (child <= 0) return false;
    kill(static_cast<pid_t>(child), SIGKILL);
    int status = 0;
    return waitpid(static_cast<pid_t>(child), &status, 0) == static_cast<pid_t>(child);
}

bool PlatformTerminateChild(int64_t child) { return child > 0 && kill(static_cast<pid_t>(child), SIGTERM) == 0; }

ProcessOutcome PlatformWaitChild(int64_t child, int timeoutMs) {
    ProcessOutcome outcome;
    if (child <= 0) return outcome;
    outcome.started = true;
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    int status = 0;
    while (waitpid(static_cast<pid_t>(child), &status, WNOHANG) != static_cast<pid_t>(child)) {
        if (std::chrono::steady_clock::now() >= deadline) {
            outcome.timedOut = true;
            return outcome;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    outcome.exited = WIFEXITED(status);
    outcome.exitStatus = outcome.exited ? WEXITSTATUS(status) : 0;
    outcome.signaled = WIFSIGNALED(status);
    outcome.signal = outcome.signaled ? WTERMSIG(status) : 0;
    return outcome;
}

bool PlatformProcessRunning(int64_t pid) {
    if (pid <= 0) return false;
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    if (!std::getline(stat, line)) return false;
    // The state follows the name, which is in parentheses and may hold any.
    size_t close = line.rfind(')');
    if (close == std::string::npos || close + 2 >= line.size()) return false;
    char state = line[close + 2];
    return state != 'Z' && state != 'X';
}
