#pragma once
#include <cstdint>

class Clock;

// Measures elapsed time on a Clock: the application's (so tests that run on
// the test clock see game time) unless another is given.
class Timer {
public:
    explicit Timer(Clock* clock = nullptr);
    void Start();
    void Stop();
    bool IsRunning() const { return mRunning; }
    // Time between Start and Stop, or up to now while running.
    uint64_t ElapsedMicros() const;
    double ElapsedMillis() const { return static_cast<double>(ElapsedMicros()) / 1000.0; }
    double ElapsedSeconds() const { return static_cast<double>(ElapsedMicros()) / 1000000.0; }

    // The clock timers without one of their own use: the application sets its
    // clock here, so timers follow the test clock in tests. Null means the
    // real clock.
    static void SetDefaultClock(Clock* clock);

private:
    Clock* ActiveClock() const;

    Clock* mClock;
    uint64_t mStart = 0;
    uint64_t mStop = 0;
    bool mRunning = false;
};
