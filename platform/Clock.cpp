#include "platform/Clock.h"

#include <SDL.h>

#include <algorithm>

RealClock::RealClock()
    : mFrequency(SDL_GetPerformanceFrequency()), mOrigin(SDL_GetPerformanceCounter()) {}

uint64_t RealClock::NowMicros() {
    uint64_t ticks = SDL_GetPerformanceCounter() - mOrigin;
    // Split to avoid overflowing 64 bits on long runs.
    return (ticks / mFrequency) * 1000000ull + (ticks % mFrequency) * 1000000ull / mFrequency;
}

void RealClock::SleepMicros(uint64_t micros) {
    SDL_Delay(static_cast<uint32_t>((micros + 999) / 1000));
}

void TestClock::SleepMicros(uint64_t micros) {
    uint64_t end = mNow + micros;
    if (mArrival && mArrivalAt <= end) {
        end = std::max(mNow, mArrivalAt);
        std::function<void()> arrival = std::move(mArrival);
        mArrival = nullptr;
        mSlept += end - mNow;
        mNow = end;
        arrival();
        return;
    }
    mSlept += micros;
    mNow = end;
}

void TestClock::ArriveAt(uint64_t micros, std::function<void()> arrival) {
    mArrivalAt = micros;
    mArrival = std::move(arrival);
}
