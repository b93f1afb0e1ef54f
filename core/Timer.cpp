#include "core/Timer.h"

#include <atomic>

#include "platform/Clock.h"

namespace {
std::atomic<Clock*> gDefaultClock{nullptr};
}

Timer::Timer(Clock* clock) : mClock(clock) {}

void Timer::SetDefaultClock(Clock* clock) { gDefaultClock.store(clock); }

Clock* Timer::ActiveClock() const {
    if (mClock) return mClock;
    if (Clock* clock = gDefaultClock.load()) return clock;
    // Before the application has a clock (tools, early start-up).
    static RealClock fallback;
    return &fallback;
}

void Timer::Start() {
    mStart = ActiveClock()->NowMicros();
    mRunning = true;
}

void Timer::Stop() {
    if (!mRunning) return;
    mStop = ActiveClock()->NowMicros();
    mRunning = false;
}

uint64_t Timer::ElapsedMicros() const {
    uint64_t end = mRunning ? ActiveClock()->NowMicros() : mStop;
    return end >= mStart ? end - mStart : 0;
}
