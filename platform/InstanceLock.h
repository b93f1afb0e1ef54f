#pragma once
#include <string>

// Holds an exclusive lock on a file for as long as the object lives, so only
// one copy of the game uses a user data folder at a time.
class InstanceLock {
public:
    enum class Result {
        Acquired,
        HeldElsewhere,  // another process holds it: another copy runs
        Failed,         // the file cannot be made or locked (see the reason)
    };

    InstanceLock() = default;
    ~InstanceLock();
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    // On Failed, *reason says why (the system's words).
    Result Acquire(const std::string& path, std::string* reason = nullptr);
    void Release();
    bool IsHeld() const { return mFd >= 0; }

private:
    int mFd = -1;
};
