// Writes the board pictures of gamedata/images/ for every grid size of
// properties/game.xml and every layout device:
//   Grid<N>_<device>               background: clue room above and left of the cells
//   G<N>TileHighlight_<device>     a cell of the reveal line (its width is the tile size)
//   G<N>MarkHighlight_<device>     a cell of the mark line
//   G<N>CursorHighlight_<device>   the cell under the pointer
//   G<N>CellTile_<device>          a revealed tile
//   G<N>CellMark_<device>          a marked hole
//   G<N>CellMiss_<device>          the red cross of a mistake
//   G<N>Numbers_<device>           clue numbers 1..N in 4 styles (see docs/grid.md)
//   ArtTiles                       the 16 base colours of the pictures, one cel each
//   TrailSpark                     the flying effects: a glow, and a glow with a sparkle
//   tutorial_box_<cr>              the lessons' message box, in nine pieces
// The tile size of a size N is min(80, 560 / N) pixels, or less when the board
// and its clue room would not fit the 780 x 768 beside the HUD of a 1024 x 768
// window with 12 pixels to spare on every side (the 25 x 25 board, whose room
// holds 13 numbers a line).
//
// usage: gridgen [gamedata folder]   (default gamedata)
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/FileUtil.h"
#include "data/ImageData.h"
#include "tools/ArtText.h"
#include "tools/Canvas.h"
#include "puzzle/ClueLayout.h"
#include "puzzle/GameStats.h"

namespace {

const char* const kDevices[] = {"ipad"};

constexpr int kArtCel = 32;
constexpr int kSmallestCel = 14;  // a clue slot smaller than this cannot show a readable number
constexpr int kSmallestNumber = 12;  // pixel size of the face: below it the clues of a large board blur

using tools::Argb;
using tools::Canvas;

// A cross from corner to corner, `thickness` pixels wide, inset by `inset`.
void Cross(Canvas& c, int size, int inset, int thickness, uint32_t argb) {
    for (int i = inset; i < size - inset; ++i)
        for (int t = 0; t < thickness; ++t) {
            const int o = t - thickness / 2;
            c.Blend(i + o, i, argb);
            c.Blend(size - 1 - i + o, i, argb);
        }
}

bool Save(const std::string& folder, const std::string& name, const Canvas& canvas) {
    const std::string path = JoinPath(folder, "images/" + name + ".png");
    if (!WritePNG(path, canvas.mImage)) {
        std::fprintf(stderr, "gridgen: cannot write %s\n", path.c_str());
        return false;
    }
    std::printf("wrote %s (%dx%d)\n", path.c_str(), canvas.mImage.mWidth, canvas.mImage.mHeight);
    return true;
}

// --- Clue numbers ----------------------------------------------------------------------------

// The ink box of a text drawn with its pen at (0, baseline 0): x from left to
// right, y from top to bottom (negative above the baseline).
struct Ink {
    int left = 1 << 20, right = -(1 << 20), top = 1 << 20, bottom = -(1 << 20);
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
};

Ink MeasureInk(FontFace& face, const std::wstring& text, int spacing) {
    Ink ink;
    int pen = 0;
    for (wchar_t ch : text) {
        FontFace::Bitmap glyph;
        if (face.Rasterize(ch, glyph) && glyph.mWidth > 0) {
            ink.left = std::min(ink.left, pen + glyph.mLeft);
            ink.right = std::max(ink.right, pen + glyph.mLeft + glyph.mWidth);
            ink.top = std::min(ink.top, -glyph.mTop);
            ink.bottom = std::max(ink.bottom, glyph.mHeight - glyph.mTop);
        }
        pen += face.Advance(ch) + spacing;
    }
    return ink;
}

// Two-digit numbers sit a pixel closer than the face sets them, which keeps
// "20" inside the narrow slots of the large boards.
constexpr int kDigitSpacing = -1;

// Two-digit clues can stand side by side in a line of 21 cells or more
// (10 + 1 + 10); with a pixel either side such a pair reads as one number
// ("11 11" as "1111"), so the numbers that can have a two-digit neighbour
// leave this much of their cel free.
constexpr int kPairGap = 4;

// The largest bold face whose numbers 1..n, outlined, fit a cel of w x h,
// and at most `tallest` pixels of digit height.
std::shared_ptr<FontFace> NumberFace(int n, int w, int h, int tallest) {
    std::shared_ptr<FontFace> best;
    for (int px = 8; px <= 64; ++px) {
        auto face = tools::Face("gridgen", "DejaVu Sans:bold", px);
        if (!face) return best;
        bool fits = true;
        for (int v = 1; v <= n && fits; ++v) {
            const Ink ink = MeasureInk(*face, std::to_wstring(v), kDigitSpacing);
            const int free = v >= 10 && v + 1 + 10 <= n ? kPairGap : 2;
            fits = ink.Width() + free <= w && ink.Height() + 2 <= h && ink.Height() <= tallest;
        }
        if (!fits) break;
        best = face;
    }
    return best;
}

// "G<N>Numbers_<device>": the values 1..N (one column each) in four rows of
// styles: highlighted (burnt orange, dark enough to read on the line's warm
// wash at the smallest sizes), normal (ink), satisfied (grey) and the
// running count along a dragged line (white, outlined for ink and paper).
// A cel is one clue slot of the size, so the numbers are as large as the
// clue room allows.
bool WriteNumbers(const std::string& folder, int n, int w, int h, const std::string& device) {
    const int tallest = std::max(8, h * 3 / 5);
    auto face = NumberFace(n, w, h, tallest);
    if (!face || face->GetPixelSize() < kSmallestNumber) {
        std::fprintf(stderr, "gridgen: size %d: no face of %d pixels or more fits clue cels of %dx%d\n", n,
                     kSmallestNumber, w, h);
        return false;
    }
    std::printf("size %d: clue numbers of %d pixels in cels of %dx%d\n", n, face->GetPixelSize(), w, h);
    const tools::Rgb colours[4] = {{184, 80, 26}, {46, 58, 92}, {160, 160, 170}, {255, 255, 255}};
    const tools::Rgb outline{20, 24, 40};
    Canvas c(w * n, h * 4);
    // One baseline for every value, so numbers of a line stand level.
    const Ink digits = MeasureInk(*face, L"0123456789", 0);
    const float baseline = std::round((h - digits.Height()) / 2.0f) - digits.top;
    for (int style = 0; style < 4; ++style)
        for (int v = 1; v <= n; ++v) {
            const std::wstring text = std::to_wstring(v);
            const Ink ink = MeasureInk(*face, text, kDigitSpacing);
            const float x = (v - 1) * w + std::round((w - ink.Width()) / 2.0f) - ink.left;
            const float y = style * h + baseline;
            if (style == 3)
                for (int dy = -1; dy <= 1; ++dy)
                    for (int dx = -1; dx <= 1; ++dx)
                        if (dx || dy) tools::Text(c, *face, text, x + dx, y + dy, tools::Solid(outline), kDigitSpacing);
            tools::Text(c, *face, text, x, y, tools::Solid(colours[style]), kDigitSpacing);
        }
    return Save(folder, "G" + std::to_string(n) + "Numbers_" + device, c);
}

// --- Picture colours ----------------------------------------------------------------------

// W K R O Y G D S B N T P V A F M, as tools/puzzlegen.cpp lists them.
const uint32_t kArtColours[16] = {0xFFFFFF, 0x202020, 0xD83030, 0xF08C28, 0xF5D23C, 0x5AB446,
                                  0x2E7D32, 0x9BD2F5, 0x3278DC, 0x1E2D6E, 0x96643C, 0xF5A0BE,
                                  0x8C50B4, 0x9696A0, 0xE6C896, 0x5A3A1E};

bool WriteArtTiles(const std::string& folder) {
    Canvas c(kArtCel * 16, kArtCel);
    for (int i = 0; i < 16; ++i) c.Set(i * kArtCel, 0, kArtCel, kArtCel, 0xff000000u | kArtColours[i]);
    return Save(folder, "ArtTiles", c);
}

// A soft round glow; the second cel adds a four-pointed sparkle.
bool WriteTrailSpark(const std::string& folder) {
    constexpr int kSize = 24;
    Canvas c(kSize * 2, kSize);
    for (int cel = 0; cel < 2; ++cel) {
        for (int y = 0; y < kSize; ++y)
            for (int x = 0; x < kSize; ++x) {
                const float dx = x - (kSize - 1) / 2.0f, dy = y - (kSize - 1) / 2.0f;
                float a = 1.0f - (dx * dx + dy * dy) / (kSize * kSize / 4.0f);
                if (cel == 1 && (std::abs(dx) < 1.0f || std::abs(dy) < 1.0f)) a = std::max(a, 0.8f);
                if (a <= 0.0f) continue;
                c.Blend(cel * kSize + x, y, Argb(static_cast<int>(a * a * 255), 255, 240, 170));
            }
    }
    return Save(folder, "TrailSpark", c);
}

// --- The play screen's heads-up pictures ---------------------------------------------------

// Blends one canvas over another at (x, y).
void Paste(Canvas& to, const Canvas& from, int x, int y) {
    for (int j = 0; j < from.mImage.mHeight; ++j)
        for (int i = 0; i < from.mImage.mWidth; ++i)
            to.Blend(x + i, y + j, from.mImage.mBits[static_cast<size_t>(j) * from.mImage.mWidth + i]);
}

// A chance of the mistake meter: frame 0 a warm disc still to lose, frame 1
// the same disc spent (grey, crossed in the mistake red).
bool WriteChance(const std::string& folder, const std::string& name, int size) {
    Canvas c(size * 2, size);
    const float r = size / 2.0f - 1.5f;
    for (int cel = 0; cel < 2; ++cel)
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x) {
                const float dx = x + 0.5f - size / 2.0f, dy = y + 0.5f - size / 2.0f;
                const float d = std::sqrt(dx * dx + dy * dy);
                if (d > r) continue;
                const bool rim = d > r - std::max(2.0f, size / 14.0f);
                uint32_t argb = cel == 0 ? (rim ? Argb(255, 90, 50, 16) : Argb(255, 255, 233, 168))
                                         : (rim ? Argb(255, 70, 70, 80) : Argb(255, 120, 120, 132));
                c.Blend(cel * size + x, y, argb);
            }
    Canvas cross(size, size);
    Cross(cross, size, size / 4, std::max(2, size / 9), Argb(240, 220, 40, 40));
    Paste(c, cross, size, 0);
    return Save(folder, name, c);
}

// A hint bulb in 12 frames: 0 empty glass, 1-10 filling from the bottom in
// the warm accent, 11 full and glowing.
bool WriteHintBulb(const std::string& folder) {
    constexpr int kW = 40, kH = 56, kFrames = 12;
    Canvas c(kW * kFrames, kH);
    const float cx = kW / 2.0f, cy = 22.0f, r = 17.0f;
    for (int f = 0; f < kFrames; ++f) {
        const int x0 = f * kW;
        const float level = f >= 11 ? 1.0f : f / 11.0f;  // share of the glass filled
        const float top = cy + r - level * (2 * r);
        for (int y = 0; y < kH; ++y)
            for (int x = 0; x < kW; ++x) {
                const float dx = x + 0.5f - cx, dy = y + 0.5f - cy;
                const float d = std::sqrt(dx * dx + dy * dy);
                if (f == 11 && d <= r + 5 && d > r) c.Blend(x0 + x, y, Argb(int(120 * (r + 5 - d) / 5), 255, 236, 140));
                if (d > r) continue;
                uint32_t argb = Argb(150, 60, 70, 100);
                if (y + 0.5f >= top) argb = f == 11 ? Argb(255, 255, 236, 140) : Argb(255, 255, 233, 168);
                if (d > r - 2) argb = Argb(255, 90, 50, 16);
                c.Blend(x0 + x, y, argb);
            }
        c.Set(x0 + 13, 40, 14, 10, Argb(255, 120, 120, 132));  // the base
        c.Set(x0 + 13, 43, 14, 1, Argb(255, 80, 80, 96));
        c.Set(x0 + 13, 46, 14, 1, Argb(255, 80, 80, 96));
    }
    return Save(folder, "hint_bulb", c);
}

// The pointer over the board: a brush while revealing, a shovel while
// marking, each with its tip at the top-left pixel (the pointer's point).
bool WriteCursors(const std::string& folder) {
    constexpr int kSize = 40;
    Canvas brush(kSize, kSize), shovel(kSize, kSize);
    for (int i = 0; i < kSize; ++i) {
        // A handle along the diagonal, outlined so it reads on paper and on ink.
        for (int t = -3; t <= 3; ++t) {
            const bool edge = t == -3 || t == 3;
            if (i >= 14) brush.Blend(i + t, i, edge ? Argb(255, 20, 24, 40) : Argb(255, 150, 100, 60));
            if (i >= 16) shovel.Blend(i + t, i, edge ? Argb(255, 20, 24, 40) : Argb(255, 150, 100, 60));
        }
    }
    // The brush's bristles: ink-coloured, tapering to the tip.
    for (int i = 0; i < 16; ++i)
        for (int t = -(i / 3 + 1); t <= i / 3 + 1; ++t)
            brush.Blend(i + t, i, std::abs(t) == i / 3 + 1 ? Argb(255, 250, 250, 246) : Argb(255, 46, 58, 92));
    // The shovel's blade: a grey spade.
    for (int i = 0; i < 18; ++i)
        for (int t = -(i / 2 + 1); t <= i / 2 + 1; ++t)
            shovel.Blend(i + t, i, std::abs(t) == i / 2 + 1 ? Argb(255, 20, 24, 40) : Argb(255, 170, 170, 182));
    return Save(folder, "brush_cursor", brush) & Save(folder, "shovel_cursor", shovel);
}

// The tutorial's message box in nine pieces ("tutorial_box_<column><row>",
// columns l c r, rows t c b): a card of paper with an ink rim, whose corners
// are drawn once and whose edges and middle stretch to the text.
bool WriteTutorialBox(const std::string& folder) {
    constexpr int kPiece = 16;
    Canvas whole(kPiece * 3, kPiece * 3);
    const float far = kPiece * 3.0f;
    tools::Box(whole, 0.5f, 0.5f, far - 0.5f, far - 0.5f, 12, 1.0f, tools::Solid(tools::kPaper));
    tools::Box(whole, 0.5f, 0.5f, far - 0.5f, far - 0.5f, 12, 1.0f, tools::Solid(tools::kInk), 0.0f, 2.5f);
    tools::Box(whole, 5.5f, 5.5f, far - 5.5f, far - 5.5f, 8, 0.8f, tools::Solid(tools::kPaperEdge), 0.0f, 1.5f);
    bool ok = true;
    const char columns[] = "lcr", rows[] = "tcb";
    for (int row = 0; row < 3; ++row)
        for (int column = 0; column < 3; ++column) {
            Canvas piece(kPiece, kPiece);
            for (int y = 0; y < kPiece; ++y)
                for (int x = 0; x < kPiece; ++x)
                    piece.mImage.mBits[static_cast<size_t>(y) * kPiece + x] =
                        whole.mImage.mBits[static_cast<size_t>(row * kPiece + y) * whole.mImage.mWidth +
                                           column * kPiece + x];
            ok &= Save(folder, std::string("tutorial_box_") + columns[column] + rows[row], piece);
        }
    return ok;
}

constexpr int kHudWidth = 244;

// The panel behind the meters and the tool buttons, and the two tool
// buttons (normal, over, down, disabled).
bool WriteHud(const std::string& folder, const std::string& device) {
    Canvas back(kHudWidth, 720);
    back.Set(0, 0, kHudWidth, 720, Argb(235, 28, 36, 58));
    back.Frame(0, 0, kHudWidth, 720, 3, Argb(255, 90, 50, 16));
    back.Frame(3, 3, 238, 714, 1, Argb(200, 255, 233, 168));
    bool ok = Save(folder, "hud_back_" + device, back);
    for (int tool = 0; tool < 2; ++tool) {
        constexpr int kButton = 64;
        Canvas c(kButton * 4, kButton);
        for (int state = 0; state < 4; ++state) {
            const int x0 = state * kButton;
            const uint32_t face = state == 3 ? Argb(255, 255, 233, 168)
                                  : state == 1 ? Argb(255, 80, 140, 230) : Argb(255, 44, 95, 203);
            c.Set(x0 + 2, 2, kButton - 4, kButton - 4, face);
            c.Frame(x0 + 2, 2, kButton - 4, kButton - 4, 3, Argb(255, 90, 50, 16));
            if (tool == 0) {
                c.Set(x0 + 18, 18, 28, 28, Argb(255, 46, 58, 92));
                c.Fill(x0 + 18, 18, 28, 3, Argb(120, 255, 255, 255));
            } else {
                Canvas cross(28, 28);
                Cross(cross, 28, 2, 4, Argb(255, 120, 120, 132));
                Paste(c, cross, x0 + 18, 18);
            }
        }
        ok &= Save(folder, tool == 0 ? "tile_tool_btn" : "mark_tool_btn", c);
    }
    ok &= WriteHintBulb(folder);
    ok &= WriteTutorialBox(folder);
    ok &= WriteCursors(folder);
    return ok & WriteChance(folder, "chanceLarge_" + device, 40) & WriteChance(folder, "chanceSmall_" + device, 28);
}

// --- One grid size ---------------------------------------------------------------------------

// The room beside the HUD in a 1024 x 768 window; the board and its clues
// keep clear of its edges.
constexpr int kFreeWidth = 1024 - kHudWidth, kFreeHeight = 768, kSpare = 12;

int TileSizeFor(int n, const GridConfig& config) {
    const int wide = (kFreeWidth - 2 * kSpare - std::max(config.mOffsetX, 0)) / n;
    const int high = (kFreeHeight - 2 * kSpare - std::max(config.mOffsetY, 0)) / n;
    return std::max(1, std::min({80, 560 / n, wide, high}));
}

bool WriteSize(const std::string& folder, int n, const GridConfig& config, const std::string& device) {
    const int t = TileSizeFor(n, config);
    const int ox = std::max(config.mOffsetX, 0), oy = std::max(config.mOffsetY, 0);
    const std::string suffix = std::to_string(n) + "_" + device;
    bool ok = true;

    // Background: the corner stays clear; the clue room has a band per line.
    Canvas back(ox + n * t, oy + n * t);
    for (int i = 0; i < n; ++i) {
        const uint32_t band = i % 2 ? Argb(235, 236, 228, 206) : Argb(235, 246, 240, 222);
        back.Set(ox + i * t, 0, t, oy, band);
        back.Set(0, oy + i * t, ox, t, band);
    }
    back.Set(ox, oy, n * t, n * t, Argb(255, 250, 250, 246));
    for (int i = 0; i <= n; ++i) {
        const bool major = i % 5 == 0 || i == n;
        const uint32_t line = major ? Argb(255, 80, 80, 96) : Argb(255, 176, 176, 184);
        const int w = major ? 2 : 1;
        const int p = std::min(i * t, n * t - w);
        back.Set(ox + p, oy, w, n * t, line);
        back.Set(ox, oy + p, n * t, w, line);
    }
    ok &= Save(folder, "Grid" + suffix, back);

    // The column of clues the play screen lays out beside (the clue room's width).
    Canvas column(ox, oy + n * t);
    column.Set(0, 0, ox, oy + n * t, Argb(0, 0, 0, 0));
    ok &= Save(folder, "Grid" + std::to_string(n) + "_V_" + device, column);

    // The small preview: a 3-pixel frame round 60 pixels of cells at every
    // size (2.4 a cell at 25), so the puzzle choice shows each picture at the
    // size and place of the others.
    const int small = 6 + std::max(60, 2 * n);
    Canvas preview(small, small);
    preview.Set(0, 0, small, small, Argb(255, 90, 50, 16));
    preview.Set(3, 3, small - 6, small - 6, Argb(255, 250, 250, 246));
    ok &= Save(folder, "SmallGrid" + std::to_string(n) + "_quiltro7", preview);

    Canvas tile(t, t);
    tile.Fill(0, 0, t, t, Argb(110, 80, 140, 230));
    tile.Frame(0, 0, t, t, 2, Argb(200, 40, 90, 200));
    ok &= Save(folder, "G" + std::to_string(n) + "TileHighlight_" + device, tile);

    Canvas mark(t, t);
    mark.Fill(0, 0, t, t, Argb(110, 230, 90, 80));
    mark.Frame(0, 0, t, t, 2, Argb(200, 190, 40, 30));
    ok &= Save(folder, "G" + std::to_string(n) + "MarkHighlight_" + device, mark);

    Canvas cursor(t, t);
    cursor.Frame(0, 0, t, t, 3, Argb(230, 255, 200, 40));
    ok &= Save(folder, "G" + std::to_string(n) + "CursorHighlight_" + device, cursor);

    Canvas solid(t, t);
    solid.Set(1, 1, t - 2, t - 2, Argb(255, 46, 58, 92));
    solid.Fill(1, 1, t - 2, 2, Argb(120, 255, 255, 255));
    solid.Fill(1, 1, 2, t - 2, Argb(80, 255, 255, 255));
    ok &= Save(folder, "G" + std::to_string(n) + "CellTile_" + device, solid);

    Canvas hole(t, t);
    Cross(hole, t, t / 4, std::max(2, t / 12), Argb(220, 120, 120, 132));
    ok &= Save(folder, "G" + std::to_string(n) + "CellMark_" + device, hole);

    Canvas miss(t, t);
    Cross(miss, t, t / 6, std::max(3, t / 8), Argb(235, 220, 40, 40));
    ok &= Save(folder, "G" + std::to_string(n) + "CellMiss_" + device, miss);
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string folder = argc > 1 ? argv[1] : "gamedata";
    std::string xml;
    if (!ReadFileToString(JoinPath(folder, "properties/game.xml"), xml)) {
        std::fprintf(stderr, "gridgen: cannot read %s/properties/game.xml\n", folder.c_str());
        return 1;
    }
    GameStats rules(false);
    if (!rules.LoadText(xml, "game.xml")) {
        std::fprintf(stderr, "gridgen: %s\n", rules.GetErrorText().c_str());
        return 1;
    }
    bool ok = WriteArtTiles(folder) && WriteTrailSpark(folder);
    for (const auto& [n, config] : rules.GetTable()) {
        if (n < 1 || n > 25) continue;
        // A number cel is one clue slot of the size, so the room holds the
        // most clues a line can have; a room too small for a readable number
        // (or one that would push numbers outside the window) is refused.
        const ClueLayout slots(n, TileSizeFor(n, config), config.mOffsetX, config.mOffsetY, n, 0, 0);
        int w = slots.GetSlotWidth(), h = slots.GetSlotHeight();
        // The gap before the cells can push the farthest number out of a
        // room filled to the last pixel: such cels lose a pixel a side.
        while (std::min(w, h) >= kSmallestCel &&
               !ClueLayout(n, TileSizeFor(n, config), config.mOffsetX, config.mOffsetY, n, w, h).FitsTheMostClues()) {
            w -= 2;
            h -= 2;
        }
        if (std::min(w, h) < kSmallestCel) {
            std::fprintf(stderr, "gridgen: size %d: offset-x %d and offset-y %d cannot hold %d clue numbers\n", n,
                         config.mOffsetX, config.mOffsetY, (n + 1) / 2);
            ok = false;
            continue;
        }
        for (const char* device : kDevices) ok &= WriteSize(folder, n, config, device) && WriteNumbers(folder, n, w, h, device);
    }
    for (const char* device : kDevices) ok &= WriteHud(folder, device);
    return ok ? 0 : 1;
}
