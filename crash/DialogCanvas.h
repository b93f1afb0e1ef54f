#pragma once
#include <cstdint>
#include <string_view>

#include "core/Geometry.h"
#include "crash/DialogFace.h"
#include "platform/PictureWindow.h"

// The colours of a plain desktop dialog.
namespace DialogColor {
inline constexpr uint32_t kFace = 0xFFF0F0F0;       // button face, window background
inline constexpr uint32_t kText = 0xFF1A1A1A;
inline constexpr uint32_t kGreyText = 0xFFA0A0A0;   // a disabled control's label
inline constexpr uint32_t kField = 0xFFFFFFFF;      // a text box's ground
inline constexpr uint32_t kLight = 0xFFFFFFFF;      // lit edge of a bevel
inline constexpr uint32_t kShadow = 0xFFA0A0A0;
inline constexpr uint32_t kDarkShadow = 0xFF696969;
inline constexpr uint32_t kFocus = 0xFF0078D7;      // a focused text box's border
inline constexpr uint32_t kTrack = 0xFFE6E6E6;      // a scroll bar's track
}  // namespace DialogColor

// Drawing on a window's picture: rectangles, bevels and text, all clipped to
// the picture and to the current clip rectangle.
class DialogCanvas {
public:
    explicit DialogCanvas(Picture& picture);

    void SetClip(const Rect& clip);
    void ClearClip();
    void Fill(const Rect& rect, uint32_t color);
    void Frame(const Rect& rect, uint32_t color);
    // Every other pixel of the rectangle's edge (a keyboard focus mark).
    void DottedFrame(const Rect& rect, uint32_t color);
    // A raised button edge, or a pressed one.
    void Bevel(const Rect& rect, bool pressed);
    void Pixel(int x, int y, uint32_t color);
    // Draws the text on a baseline and returns the pen's x after it.
    int Text(DialogFace& face, std::u32string_view text, int x, int baseline, uint32_t color);

private:
    void Blend(int x, int y, uint32_t color, int coverage);

    Picture& mPicture;
    Rect mClip;
};

// The width of a line of text in a face.
int DialogTextWidth(DialogFace& face, std::u32string_view text);
