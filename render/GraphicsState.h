#pragma once
#include "core/Color.h"
#include "core/Geometry.h"

class Font;

// Draw modes of Graphics::SetDrawMode.
enum DrawMode : int {
    DRAWMODE_NORMAL = 0,
    DRAWMODE_ADDITIVE = 1,
    DRAWMODE_MULTIPLY = 2,
    DRAWMODE_OVERLAY = 3,
    DRAWMODE_SOFTLIGHT = 4,
    DRAWMODE_SUBTRACTIVE = 5,
    // No blending: the source replaces what is under it.
    DRAWMODE_NONE = 10,
    // Scales what is under it by the source's alpha: cuts a mask out of a
    // render target.
    DRAWMODE_MASK = 11,
};

// The part of a Graphics that a caller saves (CopyFrom) and later restores
// (Graphics::RestoreState).
class GraphicsState {
public:
    void CopyFrom(const GraphicsState& other) { *this = other; }

    Color mColor = Color::White;
    bool mColorizeImages = false;
    Font* mFont = nullptr;
    int mDrawMode = DRAWMODE_NORMAL;
    // Added to every position drawn.
    float mTransX = 0.0f;
    float mTransY = 0.0f;
    // In target pixels, translation already applied.
    FRect mClipRect{0.0f, 0.0f, 0.0f, 0.0f};
    bool mClipping = false;
};
