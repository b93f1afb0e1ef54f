#pragma once
// Drawing into an ImageData for the programs of tools/ that make our pictures.
#include <algorithm>
#include <cstdint>

#include "data/ImageData.h"

namespace tools {

inline uint32_t Argb(int a, int r, int g, int b) {
    return (uint32_t(a & 0xff) << 24) | (uint32_t(r & 0xff) << 16) | (uint32_t(g & 0xff) << 8) |
           uint32_t(b & 0xff);
}

struct Canvas {
    ImageData mImage;

    Canvas(int width, int height) {
        mImage.mWidth = width;
        mImage.mHeight = height;
        mImage.mBits.assign(static_cast<size_t>(width) * height, 0);
    }

    // Source-over blending of one pixel.
    void Blend(int x, int y, uint32_t argb) {
        if (x < 0 || y < 0 || x >= mImage.mWidth || y >= mImage.mHeight) return;
        uint32_t& dst = mImage.mBits[static_cast<size_t>(y) * mImage.mWidth + x];
        const int sa = int(argb >> 24), da = int(dst >> 24);
        const int outA = sa + da * (255 - sa) / 255;
        if (outA == 0) {
            dst = 0;
            return;
        }
        auto channel = [&](int shift) {
            const int s = int((argb >> shift) & 0xff), d = int((dst >> shift) & 0xff);
            // The truncated sum can pass 255 by one where alpha is low.
            return std::min(255, (s * sa + d * da * (255 - sa) / 255) / outA);
        };
        dst = Argb(outA, channel(16), channel(8), channel(0));
    }

    void Fill(int x, int y, int w, int h, uint32_t argb) {
        for (int j = y; j < y + h; ++j)
            for (int i = x; i < x + w; ++i) Blend(i, j, argb);
    }

    void Set(int x, int y, int w, int h, uint32_t argb) {
        for (int j = std::max(y, 0); j < std::min(y + h, mImage.mHeight); ++j)
            for (int i = std::max(x, 0); i < std::min(x + w, mImage.mWidth); ++i)
                mImage.mBits[static_cast<size_t>(j) * mImage.mWidth + i] = argb;
    }

    void Frame(int x, int y, int w, int h, int thickness, uint32_t argb) {
        Fill(x, y, w, thickness, argb);
        Fill(x, y + h - thickness, w, thickness, argb);
        Fill(x, y + thickness, thickness, h - 2 * thickness, argb);
        Fill(x + w - thickness, y + thickness, thickness, h - 2 * thickness, argb);
    }
};

}  // namespace tools
