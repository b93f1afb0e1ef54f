#include "app/Timer.h"

#include "app/PomoAppBase.h"
#include "platform/Clock.h"

Timer::Timer(Clock* clock) : mClock(clock) {}

Clock* Timer::ActiveClock() const {
    if (mClock) return mClock;
    if (gAppBase && gAppBase->GetClock()) return gAppBase->GetClock();
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
