#pragma once
#include <cstdint>

// An RGBA colour with integer channels 0..255. Lives with the utilities
// because script values carry colours below the renderer.
struct Color {
    int mRed = 0;
    int mGreen = 0;
    int mBlue = 0;
    int mAlpha = 255;
    bool mPremultiplied = false;

    constexpr Color() = default;
    constexpr Color(int r, int g, int b, int a = 255) : mRed(r), mGreen(g), mBlue(b), mAlpha(a) {}

    // Each channel x 255 + 0.5, truncated and clamped to 0..255.
    static Color FromFloats(float r, float g, float b, float a = 1.0f);
    // 0xAARRGGBB; a packed alpha of 0 reads as 255.
    static Color FromARGB(uint32_t argb);
    uint32_t ToARGB() const;

    Color operator*(const Color& other) const;  // component product
    bool operator==(const Color& other) const {
        return mRed == other.mRed && mGreen == other.mGreen && mBlue == other.mBlue &&
               mAlpha == other.mAlpha;
    }
    bool operator!=(const Color& other) const { return !(*this == other); }

    static const Color Black;
    static const Color White;
};
