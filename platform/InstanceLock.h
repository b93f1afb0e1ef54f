#pragma once
#include <string>

// Holds an exclusive lock on a file for as long as the object lives, so only
// one copy of the game uses a user data folder at a time.
class InstanceLock {
public:
    InstanceLock() = default;
    ~InstanceLock();
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    // False when another process holds the lock (or the file cannot be made).
    bool Acquire(const std::string& path);
    void Release();
    bool IsHeld() const { return mFd >= 0; }

private:
    int mFd = -1;
};
