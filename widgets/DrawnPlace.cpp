#include "widgets/DrawnPlace.h"

#include "render/D3DInterface.h"
#include "render/Graphics.h"

void DrawnPlace::Note(const Graphics& g, bool transformed) {
    const uint64_t frame = D3DInterface::Get()->GetFrameNumber();
    if (frame != mFrame) {
        mFrame = frame;
        mDraws = 0;
        mElsewhere = false;
    }
    if (g.GetTarget() || transformed) {
        mElsewhere = true;
        return;
    }
    ++mDraws;
    mX = g.GetTransX();
    mY = g.GetTransY();
}

bool DrawnPlace::Get(float* x, float* y) const {
    if (mFrame == 0 || mFrame != D3DInterface::Get()->GetFrameNumber() || mDraws != 1 || mElsewhere) return false;
    *x = mX;
    *y = mY;
    return true;
}
