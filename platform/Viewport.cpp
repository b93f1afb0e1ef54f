#include "platform/Viewport.h"

Viewport ComputeViewport(int drawableWidth, int drawableHeight, int logicalWidth,
                         int logicalHeight, bool stretch) {
    Viewport v;
    if (drawableWidth <= 0 || drawableHeight <= 0 || logicalWidth <= 0 || logicalHeight <= 0)
        return v;
    if (stretch) {
        v.width = drawableWidth;
        v.height = drawableHeight;
        return v;
    }
    // Compare aspect ratios in integers to avoid rounding flicker.
    long long lhs = static_cast<long long>(drawableWidth) * logicalHeight;
    long long rhs = static_cast<long long>(drawableHeight) * logicalWidth;
    if (lhs > rhs) {  // window wider than the frame: bars left and right
        v.height = drawableHeight;
        v.width = static_cast<int>(rhs / logicalHeight);
    } else {
        v.width = drawableWidth;
        v.height = static_cast<int>(lhs / logicalWidth);
    }
    v.x = (drawableWidth - v.width) / 2;
    v.y = (drawableHeight - v.height) / 2;
    return v;
}

void WindowToLogical(const Viewport& view, int logicalWidth, int logicalHeight, int wx, int wy,
                     int& lx, int& ly) {
    if (view.width <= 0 || view.height <= 0) {
        lx = wx;
        ly = wy;
        return;
    }
    lx = static_cast<int>(static_cast<long long>(wx - view.x) * logicalWidth / view.width);
    ly = static_cast<int>(static_cast<long long>(wy - view.y) * logicalHeight / view.height);
}

bool ClipToDrawable(int& x, int& y, int& width, int& height, int drawableWidth, int drawableHeight) {
    // In 64 bits: a rectangle far outside must not wrap around into view.
    const long long left = x < 0 ? 0 : x, top = y < 0 ? 0 : y;
    long long right = static_cast<long long>(x) + width, bottom = static_cast<long long>(y) + height;
    if (right > drawableWidth) right = drawableWidth;
    if (bottom > drawableHeight) bottom = drawableHeight;
    if (right <= left || bottom <= top) return false;
    x = static_cast<int>(left);
    y = static_cast<int>(top);
    width = static_cast<int>(right - left);
    height = static_cast<int>(bottom - top);
    return true;
}
