#pragma once
#include <mutex>

// A recursive critical section with a scoped lock, as the shared tables use.
class CritSect {
public:
    void Lock() { mMutex.lock(); }
    void Unlock() { mMutex.unlock(); }
    bool TryLock() { return mMutex.try_lock(); }

private:
    std::recursive_mutex mMutex;
};

class AutoCrit {
public:
    explicit AutoCrit(CritSect& crit) : mCrit(crit) { mCrit.Lock(); }
    ~AutoCrit() { mCrit.Unlock(); }
    AutoCrit(const AutoCrit&) = delete;
    AutoCrit& operator=(const AutoCrit&) = delete;

private:
    CritSect& mCrit;
};
