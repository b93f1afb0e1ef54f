#pragma once
// Shapes and colours shared by the picture generators of tools/: rounded
// boxes with anti-aliased edges, the game's palette, saving as PNG.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

#include "core/FileUtil.h"
#include "data/ImageCodec.h"
#include "data/ImageData.h"
#include "tools/Canvas.h"

namespace tools {

struct Rgb {
    float r, g, b;
};

constexpr Rgb kDesk{0x14, 0x1A, 0x29};
constexpr Rgb kPaper{0xFA, 0xFA, 0xF6};
constexpr Rgb kPaperBand{0xF6, 0xF0, 0xDE};
constexpr Rgb kPaperEdge{0xEC, 0xE4, 0xCE};
constexpr Rgb kInk{0x2E, 0x3A, 0x5C};
constexpr Rgb kMark{0x78, 0x78, 0x84};
constexpr Rgb kMistake{0xDC, 0x28, 0x28};
constexpr Rgb kHighlight{0x50, 0x8C, 0xE6};
constexpr Rgb kWarm{0xFF, 0xE9, 0xA8};
constexpr Rgb kWarmOutline{0x5A, 0x32, 0x10};

inline Rgb Mix(Rgb a, Rgb b, float t) {
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

// Signed distance from a rounded rectangle (negative inside).
inline float RoundedBox(float x, float y, float left, float top, float right, float bottom, float radius) {
    const float cx = (left + right) * 0.5f, cy = (top + bottom) * 0.5f;
    const float hx = (right - left) * 0.5f - radius, hy = (bottom - top) * 0.5f - radius;
    const float qx = std::fabs(x - cx) - hx, qy = std::fabs(y - cy) - hy;
    const float outside = std::hypot(std::max(qx, 0.0f), std::max(qy, 0.0f));
    return outside + std::min(std::max(qx, qy), 0.0f) - radius;
}

inline float Coverage(float distance) { return std::clamp(0.5f - distance, 0.0f, 1.0f); }

inline int Byte(float v) { return static_cast<int>(std::lround(std::clamp(v, 0.0f, 255.0f))); }

inline void Plot(Canvas& c, int x, int y, Rgb colour, float alpha) {
    if (alpha > 0.0f) c.Blend(x, y, Argb(Byte(alpha * 255.0f), Byte(colour.r), Byte(colour.g), Byte(colour.b)));
}

// Any shape given by its distance function `distance(x, y)` (negative
// inside), coloured by `shade(x, y)`, drawn only inside the box it is given
// (give small shapes a small box); `softness` blurs the edge (shadows),
// `ring` > 0 keeps only a band that wide inside the edge.
template <class Distance, class Shade>
void ShapeIn(Canvas& c, float left, float top, float right, float bottom, Distance distance, float opacity,
             Shade shade, float softness = 0.0f, float ring = 0.0f) {
    const int x0 = std::max(0, static_cast<int>(left) - 2), x1 = std::min(c.mImage.mWidth, static_cast<int>(right) + 3);
    const int y0 = std::max(0, static_cast<int>(top) - 2), y1 = std::min(c.mImage.mHeight, static_cast<int>(bottom) + 3);
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) {
            const float px = x + 0.5f, py = y + 0.5f;
            const float d = distance(px, py);
            float a = softness > 0.0f ? std::clamp(0.5f - d / softness, 0.0f, 1.0f) : Coverage(d);
            if (ring > 0.0f) a = std::min(a, Coverage(-d - ring));
            if (a > 0.0f) Plot(c, x, y, shade(px, py), a * opacity);
        }
}

// The same over the whole canvas.
template <class Distance, class Shade>
void Shape(Canvas& c, Distance distance, float opacity, Shade shade, float softness = 0.0f, float ring = 0.0f) {
    ShapeIn(c, 0.0f, 0.0f, static_cast<float>(c.mImage.mWidth), static_cast<float>(c.mImage.mHeight), distance,
            opacity, shade, softness, ring);
}

template <class Shade>
void Box(Canvas& c, float left, float top, float right, float bottom, float radius, float opacity, Shade shade,
         float softness = 0.0f, float ring = 0.0f) {
    // A pixel m outside the box's rectangle lies at least m from the box, and
    // nothing is drawn past half a pixel (half the softness) from its edge:
    // pixels beyond are not visited. The quilt's thousands of small stitches
    // took a minute when each scanned the whole canvas.
    const float margin = std::max(0.5f, softness * 0.5f) + 1.0f;
    ShapeIn(c, std::min(left, right) - margin, std::min(top, bottom) - margin, std::max(left, right) + margin,
            std::max(top, bottom) + margin,
            [&](float x, float y) { return RoundedBox(x, y, left, top, right, bottom, radius); }, opacity, shade,
            softness, ring);
}

// The dark card of the dialogs that lie on the desk (options, name entry,
// profiles): a soft shadow, night blue to desk, a warm rim and a faint inner one.
inline void Panel(Canvas& c, float l, float t, float r, float b) {
    Box(c, l + 2, t + 10, r + 2, b + 10, 24, 0.5f, [](float, float) { return Rgb{4, 6, 12}; }, 16.0f);
    Box(c, l, t, r, b, 20, 1.0f, [&](float, float y) { return Mix(Mix(kInk, kHighlight, 0.12f), kDesk, (y - t) / (b - t)); });
    Box(c, l, t, r, b, 20, 1.0f, [](float, float) { return kWarm; }, 0.0f, 2.5f);
    Box(c, l + 12, t + 12, r - 12, b - 12, 12, 0.35f, [](float, float) { return kPaperEdge; }, 0.0f, 1.5f);
}

inline bool SavePng(const char* tool, const std::string& folder, const std::string& name, const ImageData& image) {
    std::string bytes;
    const std::string path = JoinPath(folder, name);
    if (!EncodePNG(image, bytes) || !WriteStringToFile(path, bytes)) {
        std::fprintf(stderr, "%s: cannot write %s\n", tool, path.c_str());
        return false;
    }
    std::printf("wrote %s (%zu bytes)\n", path.c_str(), bytes.size());
    return true;
}

// Where a generator writes its pictures (the first argument, else
// gamedata/images), and whether every one was written.
struct ArtOutput {
    ArtOutput(const char* tool, int argc, char** argv)
        : mTool(tool), mFolder(argc > 1 ? argv[1] : "gamedata/images") {}
    void Save(const std::string& name, const ImageData& image) { mOk &= SavePng(mTool, mFolder, name, image); }
    int ExitCode() const { return mOk ? 0 : 1; }

    const char* mTool;
    std::string mFolder;
    bool mOk = true;
};

}  // namespace tools
