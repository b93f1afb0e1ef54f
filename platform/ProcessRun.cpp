#include "platform/ProcessRun.h"

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <thread>

extern char** environ;

ProcessOutcome PlatformRunProgram(const std::string& path, const std::vector<std::string>& args,
                                  const std::vector<std::string>& env, const std::string& folder, int timeoutMs) {
    ProcessOutcome outcome;
    std::vector<std::string> envStrings;
    for (char** e = environ; *e; ++e) envStrings.emplace_back(*e);
    for (const auto& extra : env) {
        std::string name = extra.substr(0, extra.find('=') + 1);
        std::erase_if(envStrings, [&](const std::string& s) { return s.rfind(name, 0) == 0; });
        envStrings.push_back(extra);
    }
    std::vector<char*> argv{const_cast<char*>(path.c_str())};
    for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    std::vector<char*> envp;
    for (auto& e : envStrings) envp.push_back(e.data());
    envp.push_back(nullptr);

    pid_t pid = fork();
    if (pid < 0) return outcome;
    if (pid == 0) {
        if (!folder.empty() && chdir(folder.c_str()) != 0) _exit(126);
        execve(path.c_str(), argv.data(), envp.data());
        _exit(127);
    }
    outcome.started = true;
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    int status = 0;
    for (;;) {
        pid_t done = waitpid(pid, &status, WNOHANG);
        if (done == pid) break;
        if (std::chrono::steady_clock::now() >= deadline) {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
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

int PlatformSignalNumber(const std::string& name) {
    static const std::pair<const char*, int> kNames[] = {{"SEGV", SIGSEGV}, {"BUS", SIGBUS}, {"FPE", SIGFPE},
                                                         {"ILL", SIGILL},   {"ABRT", SIGABRT}, {"TRAP", SIGTRAP}};
    for (const auto& [n, s] : kNames)
        if (name == n) return s;
    return -1;
}
