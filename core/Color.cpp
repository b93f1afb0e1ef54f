#include "core/Color.h"

const Color Color::Black(0, 0, 0, 255);
const Color Color::White(255, 255, 255, 255);

namespace {
int Channel(float v) {
    float scaled = v * 255.0f + 0.5f;
    if (!(scaled > 0.0f)) return 0;  // also NaN
    if (scaled >= 255.0f) return 255;
    return static_cast<int>(scaled);
}
int Clamp255(int v) { return v < 0 ? 0 : v > 255 ? 255 : v; }
}  // namespace

Color Color::FromFloats(float r, float g, float b, float a) {
    return Color(Channel(r), Channel(g), Channel(b), Channel(a));
}

Color Color::FromARGB(uint32_t argb) {
    int a = static_cast<int>((argb >> 24) & 0xFF);
    return Color(static_cast<int>((argb >> 16) & 0xFF), static_cast<int>((argb >> 8) & 0xFF),
                 static_cast<int>(argb & 0xFF), a == 0 ? 255 : a);
}

uint32_t Color::ToARGB() const {
    return (static_cast<uint32_t>(Clamp255(mAlpha)) << 24) |
           (static_cast<uint32_t>(Clamp255(mRed)) << 16) |
           (static_cast<uint32_t>(Clamp255(mGreen)) << 8) | static_cast<uint32_t>(Clamp255(mBlue));
}

Color Color::operator*(const Color& o) const {
    return Color(mRed * o.mRed / 255, mGreen * o.mGreen / 255, mBlue * o.mBlue / 255,
                 mAlpha * o.mAlpha / 255);
}
