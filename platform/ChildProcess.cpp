#include "platform/ChildProcess.h"

#include <signal.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

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
