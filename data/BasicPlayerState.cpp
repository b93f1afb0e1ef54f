#include "data/BasicPlayerState.h"

#include <algorithm>
#include <limits>

#include "core/StringUtil.h"

BasicPlayerState* gCurrentPlayerState = nullptr;

BasicPlayerState::~BasicPlayerState() {
    if (gCurrentPlayerState == this) gCurrentPlayerState = nullptr;
}

void BasicPlayerState::MakeCurrent() { gCurrentPlayerState = this; }

std::wstring BasicPlayerState::FormatPlayTime() const {
    return WStrFormat(L"started=\"%d\" hours=\"%d\" minutes=\"%d\" centiseconds=\"%d\"",
                      static_cast<int>(mStarted), static_cast<int>(mHours),
                      static_cast<int>(mMinutes), static_cast<int>(mCentiseconds));
}

void BasicPlayerState::ClampPlayTime() {
    mHours = std::max<int32_t>(mHours, 0);
    mMinutes = std::clamp<int32_t>(mMinutes, 0, 59);
    mCentiseconds = std::clamp<int32_t>(mCentiseconds, 0, kStepsPerMinute - 1);
}

void BasicPlayerState::AdvancePlayTime() {
    ClampPlayTime();
    if (++mCentiseconds < kStepsPerMinute) return;
    if (mMinutes == 59 && mHours == std::numeric_limits<int32_t>::max()) {
        mCentiseconds = kStepsPerMinute - 1;  // the clock is full
        return;
    }
    mCentiseconds = 0;
    if (++mMinutes < 60) return;
    mMinutes = 0;
    ++mHours;
}
