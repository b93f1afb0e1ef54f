// Draws the pictures of the menu framework in gamedata/images: the paper card
// of the dialogs ("Dialog") and the three states of the menu button
// ("menubutton": normal, over, down side by side). Colours are the game's
// palette (paper, ink, warm accent); shapes are rounded rectangles with
// anti-aliased edges and a soft shadow. Regenerating gives the same files.
//
// usage: menuart [output folder]   (default gamedata/images)
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

#include "core/FileUtil.h"
#include "data/ImageCodec.h"
#include "data/ImageData.h"
#include "tools/Canvas.h"

namespace {

struct Rgb {
    float r, g, b;
};

constexpr Rgb kPaper{0xFA, 0xFA, 0xF6};
constexpr Rgb kPaperBand{0xF6, 0xF0, 0xDE};
constexpr Rgb kPaperEdge{0xEC, 0xE4, 0xCE};
constexpr Rgb kInk{0x2E, 0x3A, 0x5C};
constexpr Rgb kWarm{0xFF, 0xE9, 0xA8};

Rgb Mix(Rgb a, Rgb b, float t) { return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t}; }

// Signed distance from a rounded rectangle (negative inside).
float RoundedBox(float x, float y, float left, float top, float right, float bottom, float radius) {
    const float cx = (left + right) * 0.5f, cy = (top + bottom) * 0.5f;
    const float hx = (right - left) * 0.5f - radius, hy = (bottom - top) * 0.5f - radius;
    const float qx = std::fabs(x - cx) - hx, qy = std::fabs(y - cy) - hy;
    const float outside = std::hypot(std::max(qx, 0.0f), std::max(qy, 0.0f));
    return outside + std::min(std::max(qx, qy), 0.0f) - radius;
}

float Coverage(float distance) { return std::clamp(0.5f - distance, 0.0f, 1.0f); }

// Rounded boxes over a tools::Canvas; `shade(x, y)` gives the colour,
// `softness` blurs the edge (for shadows), `ring` > 0 draws only a band that
// wide inside the edge.
template <class Shade>
void Box(tools::Canvas& c, float left, float top, float right, float bottom, float radius, float opacity,
         Shade shade, float softness = 0.0f, float ring = 0.0f) {
    auto byte = [](float v) { return static_cast<int>(std::lround(std::clamp(v, 0.0f, 255.0f))); };
    for (int y = 0; y < c.mImage.mHeight; ++y)
        for (int x = 0; x < c.mImage.mWidth; ++x) {
            const float px = x + 0.5f, py = y + 0.5f;
            const float d = RoundedBox(px, py, left, top, right, bottom, radius);
            float a = softness > 0.0f ? std::clamp(0.5f - d / softness, 0.0f, 1.0f) : Coverage(d);
            if (ring > 0.0f) a = std::min(a, Coverage(-d - ring));
            if (a <= 0.0f) continue;
            const Rgb colour = shade(px, py);
            c.Blend(x, y, tools::Argb(byte(a * opacity * 255.0f), byte(colour.r), byte(colour.g), byte(colour.b)));
        }
}

ImageData MakeDialog() {
    const int w = 560, h = 340;
    tools::Canvas c(w, h);
    const float l = 12, t = 8, r = w - 12.0f, b = h - 16.0f;
    Box(c, l + 2, t + 8, r + 2, b + 8, 22, 0.45f, [](float, float) { return Rgb{8, 10, 18}; }, 14.0f);
    Box(c, l, t, r, b, 18, 1.0f, [&](float, float y) { return Mix(kPaper, kPaperBand, (y - t) / (b - t)); });
    Box(c, l, t, r, b, 18, 1.0f, [](float, float) { return kInk; }, 0.0f, 3.0f);
    Box(c, l + 11, t + 11, r - 11, b - 11, 10, 1.0f, [](float, float) { return kPaperEdge; }, 0.0f, 2.0f);
    return c.mImage;
}

// One state of the button in its cel: lit top, darker bottom, a rim.
void DrawButton(tools::Canvas& c, float x0, int state) {
    const float w = 240, h = 64, l = x0 + 8, t = 6 + (state == 2 ? 2.0f : 0.0f), r = x0 + w - 8, b = t + h - 16;
    Box(c, l + 1, t + 5, r + 1, b + 5, 22, state == 2 ? 0.25f : 0.4f, [](float, float) { return Rgb{8, 10, 18}; }, 6.0f);
    const Rgb base = state == 1 ? Mix(kInk, Rgb{0x50, 0x8C, 0xE6}, 0.35f) : state == 2 ? Mix(kInk, Rgb{0, 0, 0}, 0.25f) : kInk;
    const Rgb top = Mix(base, Rgb{255, 255, 255}, state == 2 ? 0.08f : 0.22f);
    Box(c, l, t, r, b, 21, 1.0f, [&](float, float y) { return Mix(top, base, std::clamp((y - t) / (b - t) * 1.6f, 0.0f, 1.0f)); });
    Box(c, l, t, r, b, 21, 1.0f, [&](float, float) { return state == 1 ? kWarm : Mix(base, kPaperEdge, 0.35f); }, 0.0f,
          state == 1 ? 2.5f : 1.5f);
}

ImageData MakeMenuButton() {
    tools::Canvas c(240 * 3, 64);
    for (int state = 0; state < 3; ++state) DrawButton(c, 240.0f * state, state);
    return c.mImage;
}

bool Save(const std::string& folder, const std::string& name, const ImageData& image) {
    std::string bytes;
    const std::string path = JoinPath(folder, name);
    if (!EncodePNG(image, bytes) || !WriteStringToFile(path, bytes)) {
        std::fprintf(stderr, "menuart: cannot write %s\n", path.c_str());
        return false;
    }
    std::printf("wrote %s (%zu bytes)\n", path.c_str(), bytes.size());
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string folder = argc > 1 ? argv[1] : "gamedata/images";
    bool ok = Save(folder, "Dialog.png", MakeDialog());
    ok &= Save(folder, "menubutton.png", MakeMenuButton());
    return ok ? 0 : 1;
}
