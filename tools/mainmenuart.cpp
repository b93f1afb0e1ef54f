// Draws the pictures of the main menu and its pages in gamedata/images:
// "MenuBackdrop" (a night-blue patchwork quilt on the desk, stitched, darker
// at the edges), "MainMenuCard" (the paper card the menu's buttons sit on),
// "LetterPaper" (the story letters: cream paper with a stitched hem and a
// quilt-patch stamp), "InfoPanel" (the tips and credits page) and "LockIcon"
// (the locked bonus button). Colours are the game's palette; regenerating
// gives the same files.
//
// usage: mainmenuart [output folder]   (default gamedata/images)
#include <cmath>
#include <cstdint>
#include <string>

#include "tools/ArtShapes.h"

namespace {

using namespace tools;

constexpr Rgb kShadow{4, 6, 12};
// The quilt's cloths: muted night tones that stay behind the card.
constexpr Rgb kCloths[] = {{0x2E, 0x3A, 0x5C}, {0x3A, 0x2C, 0x4E}, {0x1F, 0x45, 0x4E},
                           {0x4A, 0x36, 0x28}, {0x2C, 0x4A, 0x7A}, {0x5A, 0x32, 0x10}};

auto Solid(Rgb colour) {
    return [colour](float, float) { return colour; };
}

// A fixed scramble of a patch's place: the same quilt every time.
uint32_t Hash(int x, int y, int salt) {
    uint32_t h = static_cast<uint32_t>(x) * 73856093u ^ static_cast<uint32_t>(y) * 19349663u ^
                 static_cast<uint32_t>(salt) * 83492791u;
    h ^= h >> 13;
    h *= 0x5bd1e995u;
    return h ^ (h >> 15);
}

Rgb Cloth(int x, int y, int salt) {
    const uint32_t h = Hash(x, y, salt);
    return Mix(kDesk, kCloths[h % 6], 0.28f + static_cast<float>((h >> 8) % 5) * 0.07f);
}

// A running stitch along a straight line.
void Stitch(Canvas& c, float x0, float y0, float x1, float y1, Rgb colour, float opacity) {
    const float length = std::hypot(x1 - x0, y1 - y0);
    for (float s = 0; s + 5 < length; s += 9) {
        const float t0 = s / length, t1 = (s + 5) / length;
        const float ax = x0 + (x1 - x0) * t0, ay = y0 + (y1 - y0) * t0;
        const float bx = x0 + (x1 - x0) * t1, by = y0 + (y1 - y0) * t1;
        Box(c, std::min(ax, bx) - 0.8f, std::min(ay, by) - 0.8f, std::max(ax, bx) + 0.8f, std::max(ay, by) + 0.8f,
            0.8f, opacity, Solid(colour));
    }
}

// A stitched hem all round a rectangle.
void StitchedFrame(Canvas& c, float l, float t, float r, float b, Rgb colour, float opacity) {
    Stitch(c, l, t, r, t, colour, opacity);
    Stitch(c, l, b, r, b, colour, opacity);
    Stitch(c, l, t, l, b, colour, opacity);
    Stitch(c, r, t, r, b, colour, opacity);
}

ImageData MakeBackdrop() {
    const int w = 1024, h = 768, patch = 64;
    Canvas c(w, h);
    c.Set(0, 0, w, h, Argb(255, 0x14, 0x1A, 0x29));
    for (int py = 0; py < h / patch; ++py)
        for (int px = 0; px < w / patch; ++px) {
            const float l = static_cast<float>(px * patch), t = static_cast<float>(py * patch);
            const Rgb a = Cloth(px, py, 1), b = Cloth(px, py, 2);
            const uint32_t kind = Hash(px, py, 3) % 4;
            // Plain squares, half-square triangles either way, or a square in a square.
            for (int y = 0; y < patch; ++y)
                for (int x = 0; x < patch; ++x) {
                    bool second = false;
                    if (kind == 1) second = x > y;
                    if (kind == 2) second = x + y < patch;
                    if (kind == 3) second = std::abs(x - patch / 2) + std::abs(y - patch / 2) < patch / 3;
                    Plot(c, static_cast<int>(l) + x, static_cast<int>(t) + y, second ? b : a, 1.0f);
                }
            StitchedFrame(c, l + 5, t + 5, l + patch - 5, t + patch - 5, kPaperEdge, 0.16f);
            Box(c, l, t, l + patch, t + 1, 0, 0.35f, Solid(kShadow));
            Box(c, l, t, l + 1, t + patch, 0, 0.35f, Solid(kShadow));
        }
    // Darker towards the edges, a little light where the card stands.
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const float dx = (x - w * 0.5f) / (w * 0.5f), dy = (y - h * 0.55f) / (h * 0.55f);
            const float d = std::sqrt(dx * dx + dy * dy);
            Plot(c, x, y, kShadow, std::clamp((d - 0.35f) * 0.75f, 0.0f, 0.7f));
            Plot(c, x, y, kHighlight, std::clamp(0.10f - d * 0.12f, 0.0f, 0.1f));
        }
    return c.mImage;
}

// Paper with a soft shadow, an ink rim and a stitched hem `hem` pixels in.
Canvas Paper(int w, int h, float radius, float hem) {
    Canvas c(w, h);
    const float l = 14, t = 10, r = w - 14.0f, b = h - 20.0f;
    Box(c, l + 3, t + 10, r + 3, b + 10, radius + 4, 0.55f, Solid(kShadow), 16.0f);
    Box(c, l, t, r, b, radius, 1.0f, [&](float, float y) { return Mix(kPaper, kPaperBand, (y - t) / (b - t)); });
    Box(c, l, t, r, b, radius, 1.0f, Solid(kInk), 0.0f, 3.0f);
    Box(c, l + 8, t + 8, r - 8, b - 8, radius - 6, 1.0f, Solid(kPaperEdge), 0.0f, 1.5f);
    StitchedFrame(c, l + hem, t + hem, r - hem, b - hem, kInk, 0.45f);
    return c;
}

// A nine-patch quilt block, as a stamp in a paper's corner: ink corners,
// blue sides, a warm centre.
void QuiltStamp(Canvas& c, float x, float y, float size) {
    const float cell = size / 3;
    Box(c, x - 4, y - 4, x + size + 4, y + size + 4, 4, 1.0f, Solid(kWarmOutline));
    for (int j = 0; j < 3; ++j)
        for (int i = 0; i < 3; ++i) {
            const bool corner = i != 1 && j != 1, centre = i == 1 && j == 1;
            const Rgb colour = centre ? kWarm : corner ? kInk : Mix(kHighlight, kInk, 0.3f);
            Box(c, x + i * cell + 1, y + j * cell + 1, x + (i + 1) * cell - 1, y + (j + 1) * cell - 1, 2, 1.0f,
                Solid(colour));
        }
    StitchedFrame(c, x + 4, y + 4, x + size - 4, y + size - 4, kPaper, 0.7f);
}

ImageData MakeMenuCard() {
    Canvas c = Paper(440, 500, 20, 20);
    // A warm band where the player's name stands.
    Box(c, 44, 36, 396, 80, 10, 1.0f, Solid(Mix(kPaperBand, kWarm, 0.45f)));
    Box(c, 44, 36, 396, 80, 10, 0.6f, Solid(kWarmOutline), 0.0f, 1.2f);
    return c.mImage;
}

ImageData MakeLetterPaper() {
    Canvas c = Paper(720, 660, 8, 24);
    QuiltStamp(c, 604, 44, 60);
    return c.mImage;
}

ImageData MakeInfoPanel() {
    Canvas c = Paper(860, 640, 18, 20);
    Box(c, 90, 104, 770, 106, 1, 0.6f, Solid(kWarmOutline));
    return c.mImage;
}

ImageData MakeLockIcon() {
    Canvas c(32, 36);
    Box(c, 8, 2, 24, 22, 8, 1.0f, Solid(kWarmOutline), 0.0f, 3.2f);
    Box(c, 3, 14, 29, 34, 4, 1.0f, Solid(kWarmOutline));
    const Rgb shaded = Mix(kWarm, kWarmOutline, 0.4f);
    Box(c, 5, 16, 27, 32, 3, 1.0f, [&](float, float y) { return Mix(kWarm, shaded, (y - 16) / 16); });
    Box(c, 14.5f, 21, 17.5f, 28, 1.5f, 1.0f, Solid(kWarmOutline));
    return c.mImage;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string folder = argc > 1 ? argv[1] : "gamedata/images";
    bool ok = SavePng("mainmenuart", folder, "MenuBackdrop.png", MakeBackdrop());
    ok &= SavePng("mainmenuart", folder, "MainMenuCard.png", MakeMenuCard());
    ok &= SavePng("mainmenuart", folder, "LetterPaper.png", MakeLetterPaper());
    ok &= SavePng("mainmenuart", folder, "InfoPanel.png", MakeInfoPanel());
    ok &= SavePng("mainmenuart", folder, "LockIcon.png", MakeLockIcon());
    return ok ? 0 : 1;
}
