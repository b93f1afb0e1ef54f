#pragma once
#include <cstdint>
#include <functional>

// Time source of the main loop. Everything that measures or waits goes through
// a Clock, so tests can run any number of update steps without sleeping.
class Clock {
public:
    virtual ~Clock() = default;
    // Monotonic time in microseconds since an arbitrary origin.
    virtual uint64_t NowMicros() = 0;
    virtual void SleepMicros(uint64_t micros) = 0;
    uint32_t NowMillis() { return static_cast<uint32_t>(NowMicros() / 1000); }
};

// The performance counter of the machine.
class RealClock : public Clock {
public:
    RealClock();
    uint64_t NowMicros() override;
    void SleepMicros(uint64_t micros) override;

private:
    uint64_t mFrequency;
    uint64_t mOrigin;
};

// A clock that only moves when told to. Sleeping advances it, so a loop that
// sleeps while ahead of time still makes progress.
class TestClock : public Clock {
public:
    uint64_t NowMicros() override { return mNow; }
    void SleepMicros(uint64_t micros) override;
    void Advance(uint64_t micros) { mNow += micros; }
    void AdvanceMillis(uint64_t millis) { mNow += millis * 1000; }
    uint64_t SleptMicros() const { return mSlept; }
    // Something arrives at `micros` (clock time): a sleep that would pass it
    // ends there, after `arrival` ran, as a platform event ends the window's
    // wait.
    void ArriveAt(uint64_t micros, std::function<void()> arrival);

private:
    uint64_t mNow = 0;
    uint64_t mSlept = 0;
    uint64_t mArrivalAt = 0;
    std::function<void()> mArrival;
};
