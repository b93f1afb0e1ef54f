#include "data/BasicPlayerState.h"

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
