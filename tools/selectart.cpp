// Draws the pictures of the set and puzzle choice in gamedata/images:
//   ui_Puzzle_Complete, ui_Puzzle_Current, ui_Puzzle_Incomplete
//                         the puzzle buttons, 64 x 64 cels: normal, over, down,
//                         disabled (a solved puzzle's icon sits in the first)
//   ui_Puzzle_Current_Over the glow that flashes over the puzzle to play next
//   ui_Puzzle_Locked_Frame the preview of a locked puzzle (the small grid's
//                         frame at 3 times its size, with a padlock)
//   ui_Star_Complete, ui_Star_Hint, ui_Star_Mistake (and each "_Off")
//                         the three stars of a puzzle, 48 x 48, lit and dim
//   ui_AlbumPage, ui_PreviewPanel, ui_SetCard
//                         the paper the buttons, the preview and the sets lie on
//   ui_SetButton          a set's button, 320 x 60 cels: normal, over, down, locked
//   select_bg_<set>       the scene behind each set's puzzles (meadow, harbor,
//                         peaks, attic)
// Colours are the game's palette; regenerating gives the same files.
//
// usage: selectart [output folder]   (default gamedata/images)
#include <cmath>
#include <string>
#include <utility>

#include "tools/ArtShapes.h"

namespace {

using namespace tools;

constexpr int kButton = 64;
constexpr int kStar = 48;
constexpr int kSetWidth = 320, kSetHeight = 60;
constexpr float kPi = 3.14159265f;

const Rgb kShadowInk{8, 10, 18};
const Rgb kGold{0xE8, 0xB8, 0x48};
const Rgb kWhite{255, 255, 255};

float Segment(float x, float y, float ax, float ay, float bx, float by, float radius) {
    const float px = x - ax, py = y - ay, dx = bx - ax, dy = by - ay;
    const float t = std::clamp((px * dx + py * dy) / (dx * dx + dy * dy), 0.0f, 1.0f);
    return std::hypot(px - dx * t, py - dy * t) - radius;
}

float Circle(float x, float y, float cx, float cy, float r) { return std::hypot(x - cx, y - cy) - r; }

// A five-pointed star, point up: the signed distance to its ten edges.
float Star(float x, float y, float cx, float cy, float outer, float inner) {
    float px[10], py[10];
    for (int k = 0; k < 10; ++k) {
        const float r = k % 2 ? inner : outer, a = k * kPi / 5.0f;
        px[k] = cx + r * std::sin(a);
        py[k] = cy - r * std::cos(a);
    }
    float best = 1e9f;
    bool inside = false;
    for (int k = 0, l = 9; k < 10; l = k++) {
        best = std::min(best, Segment(x, y, px[l], py[l], px[k], py[k], 0.0f));
        if ((py[k] > y) != (py[l] > y) && x < (px[l] - px[k]) * (y - py[k]) / (py[l] - py[k]) + px[k]) inside = !inside;
    }
    return inside ? -best : best;
}

template <class Distance>
void Fill(Canvas& c, Distance distance, Rgb colour, float opacity = 1.0f) {
    Shape(c, distance, opacity, [&](float, float) { return colour; });
}

// --- Puzzle buttons --------------------------------------------------------------------------

struct TileLook {
    Rgb face, rim;
    float rimWidth;
};

void Tile(Canvas& c, float x0, int state, TileLook look) {
    const float press = state == 2 ? 2.0f : 0.0f;
    const float l = x0 + 5, t = 4 + press, r = x0 + kButton - 5, b = kButton - 6 + press;
    Box(c, l + 1, t + 3, r + 1, b + 3, 9, state == 2 ? 0.25f : 0.45f, [](float, float) { return kShadowInk; }, 4.0f);
    Box(c, l, t, r, b, 8, 1.0f, [&](float, float y) { return Mix(look.face, Mix(look.face, kShadowInk, 0.12f), (y - t) / (b - t)); });
    Box(c, l, t, r, b, 8, 1.0f, [&](float, float) { return look.rim; }, 0.0f, look.rimWidth);
}

TileLook StateLook(Rgb face, Rgb rim, int state) {
    if (state == 1) return {Mix(face, kWhite, 0.25f), kWarm, 3.0f};
    if (state == 2) return {Mix(face, kShadowInk, 0.1f), rim, 2.0f};
    if (state == 3) return {Mix(face, kMark, 0.5f), Mix(rim, kMark, 0.6f), 2.0f};
    return {face, rim, 2.0f};
}

ImageData MakeCompleteButton() {
    Canvas c(kButton * 4, kButton);
    for (int s = 0; s < 4; ++s) Tile(c, kButton * s, s, StateLook(kPaper, kGold, s));
    return c.mImage;
}

// An open puzzle: an empty little board of 5 x 5 dots waiting to be solved.
ImageData MakeCurrentButton() {
    Canvas c(kButton * 4, kButton);
    for (int s = 0; s < 4; ++s) {
        Tile(c, kButton * s, s, StateLook(kPaper, kInk, s));
        const float press = s == 2 ? 2.0f : 0.0f, x0 = kButton * s;
        for (int i = 0; i < 5; ++i)
            for (int j = 0; j < 5; ++j) {
                const float cx = x0 + 17 + i * 7.5f, cy = 16 + press + j * 7.5f;
                Fill(c, [&](float x, float y) { return RoundedBox(x, y, cx - 2.5f, cy - 2.5f, cx + 2.5f, cy + 2.5f, 1.0f); },
                     Mix(kInk, kPaper, (i + j) % 3 == 0 ? 0.15f : 0.72f));
            }
    }
    return c.mImage;
}

void Padlock(Canvas& c, float cx, float cy, float scale, Rgb colour) {
    Fill(c, [&](float x, float y) {
        const float ring = std::fabs(Circle(x, y, cx, cy - 6 * scale, 8 * scale)) - 2.2f * scale;
        return y > cy - 6 * scale ? 1e9f : ring;
    }, colour);
    // The shackle's legs down into the body.
    for (float side : {-1.0f, 1.0f})
        Fill(c, [&](float x, float y) {
            const float legX = cx + side * (8 - 1.1f) * scale;
            return RoundedBox(x, y, legX - 1.1f * scale, cy - 6.5f * scale, legX + 1.1f * scale, cy, 0.0f);
        }, colour);
    Fill(c, [&](float x, float y) { return RoundedBox(x, y, cx - 11 * scale, cy - 1 * scale, cx + 11 * scale, cy + 15 * scale, 3 * scale); }, colour);
    Fill(c, [&](float x, float y) { return Circle(x, y, cx, cy + 6 * scale, 2.5f * scale); }, Mix(colour, kShadowInk, 0.7f));
}

ImageData MakeIncompleteButton() {
    Canvas c(kButton * 4, kButton);
    const Rgb face = Mix(kDesk, kInk, 0.55f);
    for (int s = 0; s < 4; ++s) {
        Tile(c, kButton * s, s, {face, Mix(kInk, kMark, 0.4f), 2.0f});
        Padlock(c, kButton * s + kButton / 2.0f, kButton / 2.0f - 3, 1.0f, Mix(kMark, kPaperEdge, 0.35f));
    }
    return c.mImage;
}

ImageData MakeFlash() {
    Canvas c(kButton, kButton);
    Box(c, 2, 1, kButton - 2, kButton - 3, 11, 0.9f, [](float, float) { return kWarm; }, 5.0f, 7.0f);
    Box(c, 5, 4, kButton - 5, kButton - 6, 8, 1.0f, [](float, float) { return Rgb{0xFF, 0xEC, 0x8C}; }, 0.0f, 3.0f);
    return c.mImage;
}

// The small grid's frame is 66 pixels; the preview shows it 3 times as large.
ImageData MakeLockedFrame() {
    const int size = 66 * 3;
    Canvas c(size, size);
    Box(c, 0, 0, size, size, 10, 1.0f, [&](float, float y) { return Mix(Mix(kDesk, kInk, 0.5f), kDesk, y / size); });
    Box(c, 0, 0, size, size, 10, 1.0f, [](float, float) { return Mix(kInk, kMark, 0.5f); }, 0.0f, 6.0f);
    for (int i = 1; i < 5; ++i) {
        c.Fill(9 + i * 36, 12, 1, size - 24, Argb(60, 0x78, 0x78, 0x84));
        c.Fill(12, 9 + i * 36, size - 24, 1, Argb(60, 0x78, 0x78, 0x84));
    }
    Padlock(c, size / 2.0f, size / 2.0f - 12, 3.0f, Mix(kMark, kPaperEdge, 0.45f));
    return c.mImage;
}

// --- Stars ---------------------------------------------------------------------------------

enum class Emblem { Check, Bulb, Cross };

void DrawEmblem(Canvas& c, float cx, float cy, Emblem emblem, Rgb colour) {
    switch (emblem) {
        case Emblem::Check:
            Fill(c, [&](float x, float y) {
                return std::min(Segment(x, y, cx - 6, cy, cx - 2, cy + 4, 1.8f), Segment(x, y, cx - 2, cy + 4, cx + 6, cy - 5, 1.8f));
            }, colour);
            break;
        case Emblem::Bulb:
            Fill(c, [&](float x, float y) {
                return std::min(Circle(x, y, cx, cy - 1, 5.0f), RoundedBox(x, y, cx - 2.6f, cy + 2, cx + 2.6f, cy + 7, 1.0f));
            }, colour);
            break;
        case Emblem::Cross:
            Fill(c, [&](float x, float y) {
                return std::min(Segment(x, y, cx - 5, cy - 5, cx + 5, cy + 5, 1.8f), Segment(x, y, cx - 5, cy + 5, cx + 5, cy - 5, 1.8f));
            }, colour);
            break;
    }
}

ImageData MakeStar(Emblem emblem, bool lit) {
    Canvas c(kStar, kStar);
    const float cx = kStar / 2.0f, cy = kStar / 2.0f + 1;
    auto star = [&](float x, float y) { return Star(x, y, cx, cy, 21.0f, 9.5f); };
    Shape(c, [&](float x, float y) { return Star(x - 1, y - 2, cx, cy, 21.0f, 9.5f); }, 0.45f,
          [](float, float) { return kShadowInk; }, 3.0f);
    if (lit) {
        Shape(c, star, 1.0f, [&](float, float y) { return Mix(Rgb{0xFF, 0xF4, 0xC8}, kGold, (y - cy + 20) / 40); });
        Shape(c, star, 1.0f, [](float, float) { return kWarmOutline; }, 0.0f, 1.8f);
        DrawEmblem(c, cx, cy + 1, emblem, kWarmOutline);
    } else {
        Shape(c, star, 0.9f, [](float, float) { return Mix(kDesk, kInk, 0.6f); });
        Shape(c, star, 1.0f, [](float, float) { return kMark; }, 0.0f, 1.5f);
        DrawEmblem(c, cx, cy + 1, emblem, kMark);
    }
    return c.mImage;
}

// --- Paper -----------------------------------------------------------------------------------

ImageData MakePaper(int w, int h) {
    Canvas c(w, h);
    const float l = 8, t = 6, r = w - 8.0f, b = h - 12.0f;
    Box(c, l + 2, t + 6, r + 2, b + 6, 18, 0.5f, [](float, float) { return kShadowInk; }, 12.0f);
    Box(c, l, t, r, b, 14, 1.0f, [&](float, float y) { return Mix(kPaper, kPaperBand, (y - t) / (b - t)); });
    Box(c, l, t, r, b, 14, 1.0f, [](float, float) { return kInk; }, 0.0f, 3.0f);
    Box(c, l + 10, t + 10, r - 10, b - 10, 8, 1.0f, [](float, float) { return kPaperEdge; }, 0.0f, 2.0f);
    return c.mImage;
}

ImageData MakeSetButton() {
    Canvas c(kSetWidth * 4, kSetHeight);
    for (int s = 0; s < 4; ++s) {
        const float x0 = kSetWidth * s, press = s == 2 ? 2.0f : 0.0f;
        const float l = x0 + 8, t = 5 + press, r = x0 + kSetWidth - 8, b = kSetHeight - 9 + press;
        Box(c, l + 1, t + 4, r + 1, b + 4, 16, s == 2 ? 0.25f : 0.45f, [](float, float) { return kShadowInk; }, 6.0f);
        // Locked: greyed like the main menu's locked button, with its padlock.
        const Rgb base = s == 1 ? Mix(kInk, kHighlight, 0.35f) : s == 2 ? Mix(kInk, kShadowInk, 0.3f)
                       : s == 3 ? Mix(kMark, kPaperEdge, 0.35f) : kInk;
        const Rgb top = Mix(base, kWhite, s == 3 ? 0.04f : 0.2f);
        Box(c, l, t, r, b, 15, 1.0f, [&](float, float y) { return Mix(top, base, std::clamp((y - t) / (b - t) * 1.6f, 0.0f, 1.0f)); });
        Box(c, l, t, r, b, 15, 1.0f, [&](float, float) { return s == 1 ? kWarm : Mix(base, kPaperEdge, 0.35f); },
            0.0f, s == 1 ? 2.5f : 1.5f);
        if (s == 3) Padlock(c, r - 26, kSetHeight / 2.0f - 4, 0.8f, kWarmOutline);
    }
    return c.mImage;
}

// --- Scenes ----------------------------------------------------------------------------------

constexpr int kWidth = 1024, kHeight = 768;

// A deterministic hash for scattered stars and specks.
float Hash(int x, int y) {
    uint32_t h = static_cast<uint32_t>(x) * 374761393u + static_cast<uint32_t>(y) * 668265263u;
    h = (h ^ (h >> 13)) * 1274126177u;
    return static_cast<float>((h ^ (h >> 16)) & 0xFFFF) / 65535.0f;
}

void Sky(Canvas& c, Rgb top, Rgb horizon, float horizonY) {
    for (int y = 0; y < kHeight; ++y) {
        const Rgb row = Mix(top, horizon, std::clamp(y / horizonY, 0.0f, 1.0f));
        c.Set(0, y, kWidth, 1, Argb(255, Byte(row.r), Byte(row.g), Byte(row.b)));
    }
    for (int i = 0; i < 140; ++i) {
        const int x = static_cast<int>(Hash(i, 1) * kWidth), y = static_cast<int>(Hash(i, 2) * horizonY * 0.8f);
        const float a = 0.25f + 0.6f * Hash(i, 3);
        Plot(c, x, y, kWarm, a);
        if (Hash(i, 4) > 0.85f) {
            Plot(c, x + 1, y, kWarm, a * 0.5f);
            Plot(c, x, y + 1, kWarm, a * 0.5f);
        }
    }
}

// A band of land whose top is `height(x)`, shaded darker downwards.
template <class Height>
void Land(Canvas& c, Height height, Rgb colour, float shade = 0.35f) {
    for (int x = 0; x < kWidth; ++x) {
        const float h = height(static_cast<float>(x));
        const int top = static_cast<int>(std::floor(h));
        for (int y = std::max(top, 0); y < kHeight; ++y) {
            const Rgb col = Mix(colour, kShadowInk, shade * (y - h) / (kHeight - h + 1));
            Plot(c, x, y, col, y == top ? 1.0f - (h - top) : 1.0f);
        }
    }
}

void Moon(Canvas& c, float cx, float cy) {
    Box(c, cx - 60, cy - 60, cx + 60, cy + 60, 60, 0.18f, [](float, float) { return kWarm; }, 40.0f);
    Fill(c, [&](float x, float y) { return Circle(x, y, cx, cy, 26); }, Rgb{0xFF, 0xF4, 0xD8});
}

// A floor of shadow under the paper so the cards stand out.
void Vignette(Canvas& c) {
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            const float dx = (x - kWidth / 2.0f) / (kWidth / 2.0f), dy = (y - kHeight / 2.0f) / (kHeight / 2.0f);
            Plot(c, x, y, kShadowInk, std::clamp((dx * dx + dy * dy - 0.55f) * 0.45f, 0.0f, 0.45f));
        }
}

// A night sky down to the horizon with the moon: the start of each outdoor scene.
Canvas NightSky(Rgb top, Rgb horizon, float horizonY, float moonX, float moonY) {
    Canvas c(kWidth, kHeight);
    Sky(c, top, horizon, horizonY);
    Moon(c, moonX, moonY);
    return c;
}

// The shade under the paper, and the picture.
ImageData Finish(Canvas& c) {
    Vignette(c);
    return c.mImage;
}

ImageData MakeMeadow() {
    Canvas c = NightSky(Rgb{0x10, 0x16, 0x30}, Rgb{0x2C, 0x4E, 0x6E}, 520, 860, 120);
    Land(c, [](float x) { return 470 + 40 * std::sin(x / 170.0f) + 18 * std::sin(x / 61.0f + 1); }, Rgb{0x24, 0x4A, 0x3A});
    Land(c, [](float x) { return 560 + 34 * std::sin(x / 120.0f + 2) + 12 * std::sin(x / 37.0f); }, Rgb{0x1E, 0x3C, 0x2C});
    for (int i = 0; i < 90; ++i) {
        const float x = Hash(i, 7) * kWidth, y = 600 + Hash(i, 8) * 160;
        const Rgb petal = Hash(i, 9) > 0.5f ? Rgb{0xF5, 0xA0, 0xBE} : kWarm;
        Fill(c, [&](float px, float py) { return Circle(px, py, x, y, 2.2f); }, petal, 0.6f);
    }
    return Finish(c);
}

ImageData MakeHarbor() {
    Canvas c = NightSky(Rgb{0x12, 0x18, 0x34}, Rgb{0x3A, 0x4C, 0x78}, 430, 170, 110);
    Land(c, [](float x) { return 400 + 26 * std::sin(x / 210.0f + 0.5f) + (x > 700 ? (x - 700) * 0.12f : 0.0f); }, Rgb{0x22, 0x2C, 0x4A});
    Land(c, [](float) { return 450.0f; }, Rgb{0x1A, 0x3A, 0x62}, 0.6f);
    for (int row = 0; row < 26; ++row) {
        const float y = 462 + row * row * 0.45f + row * 4;
        for (int x = 0; x < kWidth; ++x) {
            const float wave = std::sin(x / (18.0f + row) + row * 1.7f);
            if (wave > 0.75f) Plot(c, x, static_cast<int>(y), Rgb{0x9B, 0xD2, 0xF5}, 0.25f * (wave - 0.75f) * 4.0f * (1.0f - row / 30.0f));
        }
    }
    // The lighthouse on the far shore, with its beam.
    Fill(c, [](float x, float y) { return y < 330 || y > 420 ? 1e9f : std::fabs(x - 900) - (9 + (y - 330) * 0.08f); }, Rgb{0x18, 0x20, 0x38});
    Box(c, 860, 300, 1024, 340, 20, 0.35f, [](float, float) { return kWarm; }, 30.0f);
    Fill(c, [](float x, float y) { return Circle(x, y, 900, 322, 7); }, kWarm);
    return Finish(c);
}

ImageData MakePeaks() {
    // The moon stands left, clear of the screen's heading.
    Canvas c = NightSky(Rgb{0x0E, 0x14, 0x2C}, Rgb{0x4A, 0x5A, 0x86}, 600, 150, 100);
    auto ridge = [](float x, float base, float period, float phase, float height) {
        const float t = std::fmod(x / period + phase, 1.0f);
        return base - height * (1.0f - std::fabs(t * 2.0f - 1.0f));
    };
    Land(c, [&](float x) { return ridge(x, 520, 380, 0.2f, 260); }, Rgb{0x3A, 0x44, 0x6A}, 0.5f);
    // Snow on the far peaks.
    for (int x = 0; x < kWidth; ++x) {
        const float top = ridge(static_cast<float>(x), 520, 380, 0.2f, 260);
        for (int y = static_cast<int>(top); y < top + 40 && y < 520; ++y)
            if (y < 330) Plot(c, x, y, kPaper, 0.85f * (1.0f - (y - top) / 40.0f));
    }
    Land(c, [&](float x) { return ridge(x, 640, 260, 0.65f, 170); }, Rgb{0x26, 0x30, 0x50}, 0.4f);
    Land(c, [](float x) { return 690 + 14 * std::sin(x / 90.0f); }, Rgb{0x1A, 0x22, 0x3A});
    return Finish(c);
}

ImageData MakeAttic() {
    Canvas c(kWidth, kHeight);
    const Rgb wood{0x5A, 0x3A, 0x1E}, dark{0x2A, 0x1A, 0x10};
    for (int y = 0; y < kHeight; ++y) {
        const int plank = y / 48;
        const Rgb row = Mix(Mix(wood, dark, 0.35f + 0.25f * Hash(plank, 11)), kShadowInk, y / 1400.0f);
        c.Set(0, y, kWidth, 1, Argb(255, Byte(row.r), Byte(row.g), Byte(row.b)));
        if (y % 48 == 0) c.Fill(0, y, kWidth, 2, Argb(150, 0x1A, 0x10, 0x08));
    }
    for (int i = 0; i < 400; ++i) {
        const int y = static_cast<int>(Hash(i, 12) * kHeight), x = static_cast<int>(Hash(i, 13) * kWidth);
        c.Fill(x, y, 30 + static_cast<int>(Hash(i, 14) * 90), 1, Argb(40, 0x1A, 0x10, 0x08));
    }
    // The roof beams and a round window with the night outside, up on the
    // left, clear of the screen's heading and of the puzzles' page.
    constexpr float wx = 130, wy = 96, frame = 46, glass = 37;
    Fill(c, [](float x, float y) { return std::fabs((y - 40) - std::fabs(x - 512) * -0.35f) - 22; }, Rgb{0x3A, 0x24, 0x12});
    Fill(c, [=](float x, float y) { return Circle(x, y, wx, wy, frame); }, Rgb{0x3A, 0x24, 0x12});
    Shape(c, [=](float x, float y) { return Circle(x, y, wx, wy, glass); }, 1.0f,
          [=](float, float y) { return Mix(Rgb{0x10, 0x16, 0x30}, Rgb{0x2C, 0x4E, 0x6E}, (y - (wy - glass)) / (2 * glass)); });
    Fill(c, [=](float x, float y) { return Circle(x, y, wx, wy, glass) > 0 ? 1e9f : std::min(std::fabs(x - wx), std::fabs(y - wy)) - 3; },
         Rgb{0x3A, 0x24, 0x12});
    Box(c, wx - 80, wy - 80, wx + 80, wy + 80, 80, 0.12f, [](float, float) { return kWarm; }, 50.0f);
    return Finish(c);
}

}  // namespace

int main(int argc, char** argv) {
    const std::string folder = argc > 1 ? argv[1] : "gamedata/images";
    const char* tool = "selectart";
    bool ok = SavePng(tool, folder, "ui_Puzzle_Complete.png", MakeCompleteButton());
    ok &= SavePng(tool, folder, "ui_Puzzle_Current.png", MakeCurrentButton());
    ok &= SavePng(tool, folder, "ui_Puzzle_Incomplete.png", MakeIncompleteButton());
    ok &= SavePng(tool, folder, "ui_Puzzle_Current_Over.png", MakeFlash());
    ok &= SavePng(tool, folder, "ui_Puzzle_Locked_Frame.png", MakeLockedFrame());
    const std::pair<const char*, Emblem> stars[] = {
        {"Complete", Emblem::Check}, {"Hint", Emblem::Bulb}, {"Mistake", Emblem::Cross}};
    for (const auto& [name, emblem] : stars) {
        ok &= SavePng(tool, folder, std::string("ui_Star_") + name + ".png", MakeStar(emblem, true));
        ok &= SavePng(tool, folder, std::string("ui_Star_") + name + "_Off.png", MakeStar(emblem, false));
    }
    // Two rows of a set's puzzles (every set has at most ten) with their numbers.
    ok &= SavePng(tool, folder, "ui_AlbumPage.png", MakePaper(600, 304));
    ok &= SavePng(tool, folder, "ui_PreviewPanel.png", MakePaper(320, 500));
    // The bonus sets' card holds the catalogue's one bonus set and two lines
    // about it (select_animations.xml), no more; more bonus sets need a
    // taller card.
    ok &= SavePng(tool, folder, "ui_SetCard.png", MakePaper(480, 230));
    ok &= SavePng(tool, folder, "ui_SetButton.png", MakeSetButton());
    ok &= SavePng(tool, folder, "select_bg_meadow.png", MakeMeadow());
    ok &= SavePng(tool, folder, "select_bg_harbor.png", MakeHarbor());
    ok &= SavePng(tool, folder, "select_bg_peaks.png", MakePeaks());
    ok &= SavePng(tool, folder, "select_bg_attic.png", MakeAttic());
    return ok ? 0 : 1;
}
