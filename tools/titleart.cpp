// Draws the title and profile pictures in gamedata/images: the game's logo
// (the screens lie on the main menu's quilt, tools/mainmenuart), the
// loading bar's trough and its tiles, the play button; the name entry box,
// its check button (also the profiles screen's), the profile slot's plate and
// the profiles screen's panel. Type is DejaVu (fontconfig). Regenerating
// gives the same files.
//
// usage: titleart [output folder]   (default gamedata/images)
#include <cmath>
#include <string>

#include "tools/ArtText.h"

namespace {

using namespace tools;

constexpr Rgb kOrange{0xF5, 0x9A, 0x3C};
constexpr Rgb kMist{0xD8, 0xDC, 0xE8};
constexpr Rgb kBlack{0, 0, 0};

// Text drawn with a soft shadow and an outline ring, then its fill.
template <class Shade>
void OutlinedText(Canvas& c, FontFace& face, const std::wstring& text, float centreX, float baseline, Shade fill,
                  Rgb outline, float radius, int spacing = 0) {
    const float x = centreX - TextWidth(face, text, spacing) / 2.0f;
    Canvas shadow(c.mImage.mWidth, c.mImage.mHeight);
    Text(shadow, face, text, x + 4, baseline + 6, Solid(kBlack), spacing);
    for (size_t i = 0; i < shadow.mImage.mBits.size(); ++i) {
        const int a = static_cast<int>(shadow.mImage.mBits[i] >> 24);
        if (a) c.Blend(static_cast<int>(i % c.mImage.mWidth), static_cast<int>(i / c.mImage.mWidth), Argb(a / 2, 0, 0, 0));
    }
    for (int step = 0; step < 16; ++step) {
        const float angle = step * 3.14159265f / 8.0f;
        Text(c, face, text, x + std::cos(angle) * radius, baseline + std::sin(angle) * radius, Solid(outline), spacing);
    }
    Text(c, face, text, x, baseline, fill, spacing);
}

// A finished little picture puzzle: the 7 in ink tiles on a paper card, its
// empty cells crossed out lightly, as a solved board looks.
void SevenCard(Canvas& c, float left, float top) {
    static const char* const kRows[7] = {"#####", "....#", "...#.", "...#.", "..#..", "..#..", "..#.."};
    const float cell = 24, pad = 14, width = cell * 5 + pad * 2, height = cell * 7 + pad * 2;
    Box(c, left + 4, top + 8, left + width + 4, top + height + 8, 10, 0.5f, Solid(kBlack), 10.0f);
    Box(c, left, top, left + width, top + height, 9, 1.0f,
        [&](float, float y) { return Mix(kPaper, kPaperBand, (y - top) / height); });
    Box(c, left, top, left + width, top + height, 9, 1.0f, Solid(kWarmOutline), 0.0f, 2.5f);
    for (int row = 0; row < 7; ++row)
        for (int col = 0; col < 5; ++col) {
            const float x = left + pad + col * cell, y = top + pad + row * cell;
            Box(c, x, y, x + cell, y + cell, 0, 1.0f, Solid(kPaperEdge), 0.0f, 1.0f);
            if (kRows[row][col] == '#') {
                Box(c, x + 2, y + 2, x + cell - 2, y + cell - 2, 3, 1.0f,
                    [&](float, float py) { return Mix(Mix(kInk, kHighlight, 0.35f), kInk, (py - y) / cell); });
            } else {
                Shape(c, [&](float px, float py) {
                    const float u = px - x - cell / 2, v = py - y - cell / 2;
                    const float arm = std::max(std::fabs(u), std::fabs(v)) - 4.0f;
                    return std::max(std::min(std::fabs(u - v), std::fabs(u + v)) / 1.4142f - 0.8f, arm);
                }, 0.6f, Solid(kMark));
            }
        }
}

ImageData MakeLogo(FontFace& big, FontFace& small, FontFace& line) {
    const int w = 760, h = 300;
    Canvas c(w, h);
    const std::wstring word = L"Quiltro";
    const float cardWidth = 24 * 5 + 28, gap = 26;
    const float wordWidth = static_cast<float>(TextWidth(big, word));
    const float left = (w - wordWidth - gap - cardWidth) / 2.0f;
    const float baseline = 196;
    // "GRAND" spaced out above the word, between two warm rules.
    const float grandWidth = static_cast<float>(TextWidth(small, L"GRAND", 14));
    const float centre = left + wordWidth / 2.0f;
    CentredText(c, small, L"GRAND", centre, 62, Solid(kWarm), 14);
    Box(c, centre - grandWidth / 2 - 120, 50, centre - grandWidth / 2 - 20, 52.5f, 1, 0.9f, Solid(kWarm));
    Box(c, centre + grandWidth / 2 + 20, 50, centre + grandWidth / 2 + 120, 52.5f, 1, 0.9f, Solid(kWarm));
    OutlinedText(c, big, word, centre, baseline,
                 [&](float, float y) { return Mix(kPaper, kWarm, std::clamp((y - 90.0f) / 110.0f, 0.0f, 1.0f)); },
                 kWarmOutline, 4.0f);
    SevenCard(c, left + wordWidth + gap, 44);
    CentredText(c, line, L"a picture-logic puzzle book", w / 2.0f, 268, Solid(kMist));
    return c.mImage;
}

constexpr int kBarWidth = 440, kBarHeight = 32;

ImageData MakeBarBase() {
    Canvas c(kBarWidth, kBarHeight);
    Box(c, 1, 1, kBarWidth - 1.0f, kBarHeight - 1.0f, 15, 1.0f, Solid(Mix(kDesk, kBlack, 0.5f)));
    Box(c, 1, 1, kBarWidth - 1.0f, kBarHeight - 1.0f, 15, 0.9f, Solid(Mix(kWarmOutline, kWarm, 0.35f)), 0.0f, 2.0f);
    return c.mImage;
}

// The bar's fill: a row of tiles, as a line of a puzzle filling in.
ImageData MakeBarTop() {
    Canvas c(kBarWidth, kBarHeight);
    const float tile = 18, step = 21.5f;
    for (int i = 0; i < 20; ++i) {
        const float x = 7 + i * step;
        const Rgb colour = Mix(kWarm, kOrange, i / 19.0f);
        Box(c, x, 7, x + tile, 7 + tile, 4, 1.0f,
            [&](float, float y) { return Mix(Mix(colour, kPaper, 0.45f), colour, (y - 7) / tile); });
    }
    return c.mImage;
}

// A pill of warm light with the word in ink-brown: normal, over, down.
ImageData MakePlayButton(FontFace& face) {
    const int cw = 300, ch = 100;
    Canvas c(cw * 3, ch);
    for (int state = 0; state < 3; ++state) {
        const float x0 = static_cast<float>(cw * state), drop = state == 2 ? 3.0f : 0.0f;
        const float l = x0 + 14, t = 12 + drop, r = x0 + cw - 14, b = ch - 18 + drop;
        Box(c, l + 2, t + 7, r + 2, b + 7, 34, state == 2 ? 0.3f : 0.5f, Solid(kBlack), 10.0f);
        if (state == 1) Box(c, l - 6, t - 6, r + 6, b + 6, 40, 0.35f, Solid(kWarm), 12.0f);
        const Rgb top = state == 1 ? kPaper : state == 2 ? Mix(kWarm, kOrange, 0.4f) : kWarm;
        const Rgb bottom = state == 2 ? Mix(kOrange, kWarmOutline, 0.25f) : kOrange;
        Box(c, l, t, r, b, 34, 1.0f, [&](float, float y) { return Mix(top, bottom, std::clamp((y - t) / (b - t), 0.0f, 1.0f)); });
        Box(c, l, t, r, b, 34, 1.0f, Solid(kWarmOutline), 0.0f, 3.0f);
        Box(c, l + 8, t + 6, r - 8, t + 20, 7, state == 2 ? 0.15f : 0.35f, Solid(kPaper));
        CentredText(c, face, L"Play", x0 + cw / 2.0f, b - 22, Solid(kWarmOutline));
    }
    return c.mImage;
}

// A strip of quilt squares in the palette, centred on x.
void QuiltStrip(Canvas& c, float centreX, float top, int count, float size) {
    const Rgb colours[4] = {kWarm, kHighlight, kMistake, kPaperEdge};
    const float step = size + 6, left = centreX - (count * step - 6) / 2;
    for (int i = 0; i < count; ++i)
        Box(c, left + i * step, top, left + i * step + size, top + size, 2.5f, 0.9f, Solid(colours[i % 4]));
}

// The name entry box: the prompt is drawn over it at y = 75; the field is
// where the constants "nametextx" and "nametexty" put the edit (200 x 35).
ImageData MakeEnterName() {
    const int w = 460, h = 250;
    Canvas c(w, h);
    Panel(c, 10, 6, w - 10.0f, h - 18.0f);
    QuiltStrip(c, w / 2.0f, 26, 9, 10);
    const float l = 122, t = 96, r = 338, b = 139;
    Box(c, l, t, r, b, 9, 1.0f, Solid(Mix(kDesk, kBlack, 0.45f)));
    Box(c, l, t, r, b, 9, 0.8f, Solid(kWarm), 0.0f, 1.5f);
    Box(c, l + 2, t + 2, r - 2, t + 8, 5, 0.35f, Solid(kBlack), 3.0f);
    return c.mImage;
}

// The round check button: normal, over, down.
// The check button: normal, over, down and disabled (a flat grey disc, as
// long as there is no name to confirm).
ImageData MakeCheckButton() {
    const int size = 60;
    enum { kOver = 1, kDown = 2, kDisabled = 3 };
    Canvas c(size * 4, size);
    for (int state = 0; state < 4; ++state) {
        const float x0 = static_cast<float>(size * state), drop = state == kDown ? 2.0f : 0.0f;
        const float cx = x0 + size / 2.0f, cy = size / 2.0f - 2 + drop, radius = 23;
        const bool disabled = state == kDisabled;
        Shape(c, [&](float x, float y) { return std::hypot(x - cx - 1, y - cy - 4) - radius; }, disabled ? 0.25f : 0.5f,
              Solid(kBlack), 6.0f);
        const Rgb grey{0x8A, 0x90, 0xA0};
        const Rgb top = disabled ? Mix(grey, kPaper, 0.15f) : state == kOver ? kPaper : kWarm;
        const Rgb bottom = disabled ? grey : state == kDown ? Mix(kOrange, kWarmOutline, 0.3f) : kOrange;
        const Rgb ink = disabled ? Mix(grey, kInk, 0.45f) : kWarmOutline;
        Shape(c, [&](float x, float y) { return std::hypot(x - cx, y - cy) - radius; }, 1.0f,
              [&](float, float y) { return Mix(top, bottom, std::clamp((y - cy + radius) / (2 * radius), 0.0f, 1.0f)); });
        Shape(c, [&](float x, float y) { return std::fabs(std::hypot(x - cx, y - cy) - radius + 1.25f) - 1.25f; }, 1.0f,
              Solid(ink));
        auto stroke = [](float px, float py, float x0s, float y0s, float x1s, float y1s) {
            const float dx = x1s - x0s, dy = y1s - y0s;
            const float t = std::clamp(((px - x0s) * dx + (py - y0s) * dy) / (dx * dx + dy * dy), 0.0f, 1.0f);
            return std::hypot(px - x0s - t * dx, py - y0s - t * dy) - 3.4f;
        };
        Shape(c, [&](float x, float y) {
            return std::min(stroke(x, y, cx - 10, cy + 1, cx - 3, cy + 9), stroke(x, y, cx - 3, cy + 9, cx + 11, cy - 8));
        }, 1.0f, Solid(ink));
    }
    return c.mImage;
}

// A profile slot's plate: normal, over, selected.
ImageData MakeProfilePlate() {
    const int w = 380, h = 54;
    Canvas c(w * 3, h);
    for (int state = 0; state < 3; ++state) {
        const float x0 = static_cast<float>(w * state);
        const float l = x0 + 4, t = 4, r = x0 + w - 4, b = h - 6.0f;
        Box(c, l + 1, t + 4, r + 1, b + 4, 14, 0.4f, Solid(kBlack), 5.0f);
        const Rgb base = state == 0 ? Mix(kInk, kDesk, 0.35f) : state == 1 ? kInk : Mix(kInk, kHighlight, 0.45f);
        Box(c, l, t, r, b, 14, state == 0 ? 0.92f : 1.0f,
            [&](float, float y) { return Mix(Mix(base, kPaper, 0.12f), base, (y - t) / (b - t)); });
        const Rgb rim = state == 0 ? Mix(kInk, kPaperEdge, 0.35f) : kWarm;
        Box(c, l, t, r, b, 14, 1.0f, Solid(rim), 0.0f, state == 2 ? 3.0f : state == 1 ? 2.0f : 1.5f);
        if (state == 2) {
            // The chosen player's marks: a quilt square at each end.
            Box(c, l + 9, 20, l + 21, 32, 3, 1.0f, Solid(kWarm));
            Box(c, r - 21, 20, r - 9, 32, 3, 1.0f, Solid(kWarm));
        }
    }
    return c.mImage;
}

ImageData MakeProfilesPanel() {
    const int w = 600, h = 640;
    Canvas c(w, h);
    Panel(c, 10, 6, w - 10.0f, h - 18.0f);
    Box(c, 60, 88, w - 60.0f, 90, 1, 0.5f, Solid(kWarm));
    return c.mImage;
}

}  // namespace

int main(int argc, char** argv) {
    ArtOutput out("titleart", argc, argv);
    auto big = Face("titleart", "DejaVu Serif:bold", 124);
    auto small = Face("titleart", "DejaVu Sans:bold", 26);
    auto line = Face("titleart", "DejaVu Sans", 22);
    auto button = Face("titleart", "DejaVu Serif:bold", 42);
    if (!big || !small || !line || !button) return 1;
    out.Save("GameLogo.png", MakeLogo(*big, *small, *line));
    out.Save("Loadingbar_base.png", MakeBarBase());
    out.Save("Loadingbar_Top.png", MakeBarTop());
    out.Save("play_game_btn.png", MakePlayButton(*button));
    out.Save("EnterName.png", MakeEnterName());
    out.Save("enter_name_btn.png", MakeCheckButton());
    out.Save("profile_btn.png", MakeProfilePlate());
    out.Save("ProfilesPanel.png", MakeProfilesPanel());
    return out.ExitCode();
}
