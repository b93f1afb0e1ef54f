#include "platform/ProcessRun.h"
#include "platform/ChildProcess.h"

#include <signal.h>
#include <spawn.h>
#include <unistd.h>

#include <cstring>

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
    // Past its time it is killed: a program that hangs must not hang us.
    ProcessOutcome waited = PlatformWaitChild(pid, timeoutMs);
    if (waited.timedOut) PlatformKillChild(pid);
    return waited;
}

int PlatformSignalNumber(const std::string& name) {
    static const std::pair<const char*, int> kNames[] = {{"SEGV", SIGSEGV}, {"BUS", SIGBUS}, {"FPE", SIGFPE},
                                                         {"ILL", SIGILL},   {"ABRT", SIGABRT}, {"TRAP", SIGTRAP}};
    for (const auto& [n, s] : kNames)
        if (name == n) return s;
    return -1;
}
