#include "app/FramePacer.h"

uint64_t FramePacer::EarliestDraw() const { return mHaveDrawn ? mLastDraw + mMinInterval : 0; }

void FramePacer::Drawn(uint64_t now) {
    mRequested = false;
    mLastDraw = now;
    mHaveDrawn = true;
}
