#pragma once
#include <cstdint>

class Graphics;

// Where a widget stood in the last frame drawn, so that a change of its own
// (a label's text, a caret's blink) can redraw only its part of the frame.
// Known only when that frame drew it once, onto the frame itself, moved but
// not transformed.
class DrawnPlace {
public:
    // From the widget's Draw; `transformed` when an ancestor's transform or a
    // cached picture stands between the widget and the frame.
    void Note(const Graphics& g, bool transformed);
    // The frame position of the widget's origin; false when unknown.
    bool Get(float* x, float* y) const;

private:
    uint64_t mFrame = 0;
    int mDraws = 0;
    bool mElsewhere = false;
    float mX = 0.0f, mY = 0.0f;
};
