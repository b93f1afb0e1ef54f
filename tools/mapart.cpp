// Draws the story map's pictures in gamedata/images: the map itself
// ("map_quiltro7": a paper chart on the desk with the meadow's hills, the
// harbor's bay and boats, the snowy peaks, woods, a compass and the dotted
// road between the three places), the set buttons ("map_<set>_btn_quiltro7":
// a medallion with the place's emblem in four cels, normal, over, down and
// locked), the glow around the chosen set ("map_highlight") and the ribbon
// under the set's name ("map_banner"). The places stand where sets7.xml puts
// their buttons. Regenerating gives the same files.
//
// usage: mapart [output folder]   (default gamedata/images)
#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "tools/ArtShapes.h"

namespace {

using namespace tools;

constexpr int kWidth = 1024, kHeight = 768;
constexpr int kCel = 120;            // one medallion cel
constexpr float kRadius = 50.0f;     // the medallion's face
constexpr Rgb kSea{0xB8, 0xD2, 0xEC};
constexpr Rgb kSeaDeep{0x86, 0xAE, 0xDA};
constexpr Rgb kGrass{0x9C, 0xC2, 0x7A};
constexpr Rgb kGrassDark{0x5E, 0x8C, 0x4A};
constexpr Rgb kStone{0x8C, 0x96, 0xAE};
constexpr Rgb kStoneDark{0x5C, 0x66, 0x84};
constexpr Rgb kSnow{0xFF, 0xFF, 0xFF};
constexpr Rgb kRoad{0xA0, 0x5A, 0x28};
constexpr Rgb kWood{0x7A, 0x4E, 0x2C};
constexpr Rgb kSail{0xDC, 0x50, 0x3C};
constexpr Rgb kShadow{8, 10, 18};

// The places, as sets7.xml places their buttons (top-left corners).
struct Place {
    const char* name;
    float x, y;
    float CentreX() const { return x + kCel / 2.0f; }
    float CentreY() const { return y + kCel / 2.0f; }
};
constexpr Place kPlaces[] = {{"meadow", 220, 520}, {"harbor", 520, 420}, {"peaks", 780, 220}};

struct Vec {
    float x, y;
};

float Length(float x, float y) { return std::sqrt(x * x + y * y); }

float Circle(float x, float y, float cx, float cy, float r) { return Length(x - cx, y - cy) - r; }

// Distance from the segment a-b, less `r` (a round-ended stroke).
float Capsule(float x, float y, Vec a, Vec b, float r) {
    const float bx = b.x - a.x, by = b.y - a.y, px = x - a.x, py = y - a.y;
    const float t = std::clamp((px * bx + py * by) / (bx * bx + by * by), 0.0f, 1.0f);
    return Length(px - bx * t, py - by * t) - r;
}

// Signed distance from a convex or concave polygon (negative inside).
float Polygon(float x, float y, const std::vector<Vec>& points) {
    float best = 1e9f;
    bool inside = false;
    for (size_t i = 0, j = points.size() - 1; i < points.size(); j = i++) {
        const Vec a = points[j], b = points[i];
        best = std::min(best, Capsule(x, y, a, b, 0.0f));
        if ((b.y > y) != (a.y > y) && x < (a.x - b.x) * (y - b.y) / (a.y - b.y) + b.x) inside = !inside;
    }
    return inside ? -best : best;
}

auto Flat(Rgb colour) {
    return [colour](float, float) { return colour; };
}

// A fixed, smooth wobble (no random numbers: the files must come out equal).
float Wobble(float x, float y) {
    return std::sin(x * 0.031f + y * 0.017f) * 0.5f + std::sin(x * 0.011f - y * 0.043f + 1.7f) * 0.3f +
           std::sin((x + y) * 0.071f + 0.4f) * 0.2f;
}

// --- The map -----------------------------------------------------------------------------

constexpr float kSheetLeft = 22, kSheetTop = 72, kSheetRight = kWidth - 22, kSheetBottom = kHeight - 20;

// Where the land meets the sea: the sea lies below this line, on the right.
float Coast(float x) { return 700.0f - (x - 300.0f) * 0.56f + 14.0f * std::sin(x / 37.0f) + 8.0f * std::sin(x / 13.0f + 1.0f); }

// Negative in the sea: below the coast, and the harbor's round bay.
float SeaDistance(float x, float y) {
    const float open = Coast(x) - y;
    const Place& harbor = kPlaces[1];
    const float bay = Circle(x, y, harbor.CentreX() + 40, harbor.CentreY() + 86, 58);
    return std::min(open, bay);
}

// The lake in the uplands and the stream that fills it from the mountains.
constexpr float kLakeX = 300, kLakeY = 250, kLakeRx = 78, kLakeRy = 34;

float LakeDistance(float x, float y) { return (Length((x - kLakeX) / kLakeRx, (y - kLakeY) / kLakeRy) - 1.0f) * kLakeRy; }

// The stream's middle line at height y (it runs from the lake down to the peaks' foot).
float StreamX(float y) { return 370.0f + (y - 262.0f) * 1.6f + 16.0f * std::sin(y / 18.0f); }

float StreamDistance(float x, float y) {
    if (y < 255.0f || y > 372.0f) return 1e9f;
    return std::fabs(x - StreamX(y)) / 1.9f - (2.0f + (y - 255.0f) / 60.0f);
}

// Negative on any water but the sea.
float FreshWaterDistance(float x, float y) { return std::min(LakeDistance(x, y), StreamDistance(x, y)); }

void DrawSheet(Canvas& c) {
    c.Set(0, 0, kWidth, kHeight, Argb(255, int(kDesk.r), int(kDesk.g), int(kDesk.b)));
    Box(c, kSheetLeft + 3, kSheetTop + 10, kSheetRight + 3, kSheetBottom + 10, 16, 0.5f, Flat(kShadow), 16.0f);
    Box(c, kSheetLeft, kSheetTop, kSheetRight, kSheetBottom, 12, 1.0f, [](float x, float y) {
        // Old paper: a faint cloudiness and darker towards the edges.
        const float edge = std::min({x - kSheetLeft, kSheetRight - x, y - kSheetTop, kSheetBottom - y});
        const float age = std::clamp(1.0f - edge / 90.0f, 0.0f, 1.0f);
        return Mix(Mix(kPaper, kPaperBand, 0.55f + 0.35f * Wobble(x, y)), kPaperEdge, age * 0.9f);
    });
}

// Inside the map's border, where the land and the sea are drawn.
float InSheet(float x, float y) {
    return RoundedBox(x, y, kSheetLeft + 12, kSheetTop + 12, kSheetRight - 12, kSheetBottom - 12, 7);
}

// The land and the sea are drawn apart and laid on the paper inside the border.
void LayInside(Canvas& c, const Canvas& layer) {
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            const uint32_t argb = layer.mImage.mBits[static_cast<size_t>(y) * kWidth + x];
            const float cover = Coverage(InSheet(x + 0.5f, y + 0.5f));
            const int alpha = Byte(static_cast<float>(argb >> 24) * cover);
            if (alpha > 0) c.Blend(x, y, (argb & 0xffffff) | (uint32_t(alpha) << 24));
        }
}

void DrawSea(Canvas& c) {
    const auto inSheet = [](float x, float y) { return InSheet(x, y); };
    const auto sea = [&](float x, float y) { return SeaDistance(x, y); };
    ShapeIn(c, 0, 260, kWidth, kHeight, sea, 1.0f, [](float x, float y) {
        const float depth = std::clamp(-SeaDistance(x, y) / 140.0f, 0.0f, 1.0f);
        return Mix(kSea, kSeaDeep, depth * 0.8f + 0.08f * Wobble(y, x));
    });
    // The shallows along the shore and the ink of the coastline.
    ShapeIn(c, 0, 260, kWidth, kHeight, sea, 0.35f, Flat(kPaper), 0.0f, 10.0f);
    ShapeIn(c, 0, 260, kWidth, kHeight, [&](float x, float y) { return std::fabs(SeaDistance(x, y)) - 1.2f; }, 0.9f,
            Flat(kInk));
    // Waves: short ink strokes in rows.
    for (int row = 0; row < 14; ++row)
        for (int col = 0; col < 16; ++col) {
            const float x = 330.0f + col * 46.0f + (row % 2) * 23.0f, y = 330.0f + row * 30.0f;
            if (SeaDistance(x, y) > -22.0f || inSheet(x, y) > -10.0f) continue;
            const auto wave = [x, y](float px, float py) {
                return std::fabs(Circle(px, py, x, y + 9.0f, 10.0f)) - 0.9f + std::max(0.0f, py - (y + 3.0f)) * 2.0f;
            };
            ShapeIn(c, x - 12, y - 4, x + 12, y + 6, wave, 0.5f, Flat(kInk));
        }
}

void DrawRiver(Canvas& c) {
    const auto water = [](float x, float y) { return FreshWaterDistance(x, y); };
    const float l = kLakeX - kLakeRx - 4, t = kLakeY - kLakeRy - 4, r = 580, b = 380;
    ShapeIn(c, l, t, r, b, water, 1.0f, [](float x, float y) { return Mix(kSea, kSeaDeep, 0.25f + 0.1f * Wobble(x, y)); });
    ShapeIn(c, l, t, r, b, water, 0.35f, Flat(kPaper), 0.0f, 5.0f);
    ShapeIn(c, l, t, r, b, [&](float x, float y) { return std::fabs(water(x, y)) - 0.8f; }, 0.8f, Flat(kInk));
    // Reeds on the lake's far shore.
    for (int i = 0; i < 7; ++i) {
        const float x = kLakeX - 60 + i * 9.0f, y = kLakeY - 20 + std::fabs(i - 3.0f) * 3.0f;
        ShapeIn(c, x - 3, y - 14, x + 3, y + 2, [&](float px, float py) { return Capsule(px, py, {x, y}, {x + 1.5f, y - 11}, 0.9f); },
                0.9f, Flat(kGrassDark));
    }
}

void DrawHills(Canvas& c) {
    // The meadow: soft green hills with ink ridges, dotted with flowers.
    struct Hill {
        float cx, cy, rx, ry;
    };
    // From the back (top) to the front.
    const Hill hills[] = {{110, 420, 120, 48}, {330, 455, 120, 42}, {150, 545, 150, 66}, {430, 560, 110, 48},
                          {330, 630, 170, 76}, {170, 700, 200, 60}};
    for (const Hill& h : hills) {
        const auto shape = [&](float x, float y) {
            const float d = Length((x - h.cx) / h.rx, (y - h.cy) / h.ry) - 1.0f;
            return std::max(d * std::min(h.rx, h.ry), -(SeaDistance(x, y)));
        };
        ShapeIn(c, h.cx - h.rx, h.cy - h.ry, h.cx + h.rx, h.cy + h.ry, shape, 0.85f, [&](float x, float y) {
            return Mix(kGrass, kGrassDark, std::clamp((y - (h.cy - h.ry)) / (2 * h.ry), 0.0f, 1.0f) * 0.45f +
                                               0.06f * Wobble(x, y));
        });
        // The ridge: the top half of the outline.
        ShapeIn(c, h.cx - h.rx, h.cy - h.ry, h.cx + h.rx, h.cy, [&](float x, float y) {
            const float ring = std::fabs(shape(x, y)) - 1.0f;
            return std::max(ring, y - (h.cy - h.ry * 0.45f));
        }, 0.75f, Flat(kGrassDark));
    }
    const Rgb petals[] = {{0xF2, 0xC0, 0x3C}, {0xE8, 0x6A, 0x7A}, {0xFF, 0xFF, 0xFF}};
    for (int i = 0; i < 70; ++i) {
        const float x = 60.0f + std::fmod(i * 97.31f, 420.0f), y = 420.0f + std::fmod(i * 57.77f, 300.0f);
        if (SeaDistance(x, y) < 4.0f || y > kSheetBottom - 16) continue;
        const Place& meadow = kPlaces[0];
        if (Circle(x, y, meadow.CentreX(), meadow.CentreY(), kRadius + 16) < 0) continue;
        ShapeIn(c, x - 4, y - 4, x + 4, y + 4, [&](float px, float py) { return Circle(px, py, x, y, 2.6f); }, 0.95f,
                Flat(petals[i % 3]));
    }
}

void DrawMountains(Canvas& c) {
    struct Peak {
        float cx, base, halfWidth, height;
    };
    // Back row first, then the front row over it.
    const Peak peaks[] = {{650, 330, 90, 150}, {930, 330, 80, 160}, {760, 300, 110, 200}, {880, 340, 100, 190},
                          {700, 380, 80, 120},  {980, 400, 70, 110}, {820, 400, 90, 130},  {590, 380, 60, 90}};
    for (const Peak& p : peaks) {
        const float top = p.base - p.height;
        const std::vector<Vec> body = {{p.cx - p.halfWidth, p.base}, {p.cx, top}, {p.cx + p.halfWidth, p.base}};
        const auto shape = [&](float x, float y) { return Polygon(x, y, body); };
        const float l = p.cx - p.halfWidth, r = p.cx + p.halfWidth;
        // Lit on the left, shaded on the right, darker low down.
        ShapeIn(c, l, top, r, p.base, shape, 1.0f, [&](float x, float y) {
            const Rgb side = x < p.cx + (y - top) * 0.12f ? kStone : kStoneDark;
            return Mix(side, kPaperEdge, std::clamp((y - top) / p.height, 0.0f, 1.0f) * 0.45f);
        });
        const float snowLine = top + p.height * 0.32f;
        ShapeIn(c, l, top, r, snowLine + 8, [&](float x, float y) {
            const float jag = snowLine + 6.0f * std::sin(x * 0.21f + p.cx);
            return std::max(shape(x, y), y - jag);
        }, 1.0f, [&](float x, float) { return x < p.cx ? kSnow : Mix(kSnow, kStone, 0.25f); });
        ShapeIn(c, l, top, r, p.base, [&](float x, float y) { return std::max(std::fabs(shape(x, y)) - 1.1f, y - p.base + 1.5f); },
                0.9f, Flat(kInk));
    }
}

void DrawTree(Canvas& c, float x, float y, float size) {
    ShapeIn(c, x - 2, y, x + 2, y + size, [&](float px, float py) { return Capsule(px, py, {x, y}, {x, y + size * 0.9f}, 1.4f); },
            1.0f, Flat(kWood));
    const auto crown = [&](float px, float py) { return Circle(px, py, x, y - size * 0.15f, size * 0.55f); };
    ShapeIn(c, x - size, y - size, x + size, y + size * 0.5f, crown, 1.0f, [&](float px, float py) {
        return Mix(kGrass, kGrassDark, std::clamp((px - x + py - y) / size * 0.5f + 0.5f, 0.0f, 1.0f));
    });
    ShapeIn(c, x - size, y - size, x + size, y + size * 0.5f, [&](float px, float py) { return std::fabs(crown(px, py)) - 0.8f; },
            0.8f, Flat(kGrassDark));
}

void DrawWoods(Canvas& c) {
    const Vec trees[] = {{90, 330},  {130, 350}, {70, 380},  {115, 300}, {250, 300}, {290, 330}, {400, 250},
                         {440, 280}, {480, 240}, {520, 300}, {560, 250}, {470, 340}, {60, 660},  {90, 700},
                         {500, 520}, {450, 500}, {380, 380}, {205, 240}, {350, 170}, {300, 200}, {560, 170},
                         {610, 200}, {480, 170}, {430, 600}, {470, 640}};
    for (size_t i = 0; i < std::size(trees); ++i) {
        const Vec t = trees[i];
        bool clear = SeaDistance(t.x, t.y + 14) > 6.0f && FreshWaterDistance(t.x, t.y + 6) > 14.0f;
        for (const Place& p : kPlaces) clear = clear && Circle(t.x, t.y, p.CentreX(), p.CentreY(), kRadius + 26) > 0;
        if (clear) DrawTree(c, t.x, t.y, 11.0f + static_cast<float>(i % 3) * 2.0f);
    }
}

void DrawBoat(Canvas& c, float x, float y) {
    const std::vector<Vec> hull = {{x - 22, y}, {x + 22, y}, {x + 14, y + 10}, {x - 14, y + 10}};
    const std::vector<Vec> sail = {{x - 2, y - 36}, {x - 2, y - 4}, {x - 20, y - 4}};
    const std::vector<Vec> jib = {{x + 2, y - 30}, {x + 2, y - 4}, {x + 16, y - 4}};
    ShapeIn(c, x - 24, y - 2, x + 24, y + 12, [&](float px, float py) { return Polygon(px, py, hull); }, 1.0f, Flat(kWood));
    ShapeIn(c, x - 22, y - 38, x, y - 2, [&](float px, float py) { return Polygon(px, py, sail); }, 1.0f, Flat(kPaper));
    ShapeIn(c, x, y - 32, x + 18, y - 2, [&](float px, float py) { return Polygon(px, py, jib); }, 1.0f, Flat(kSail));
    for (const auto* shape : {&hull, &sail, &jib})
        ShapeIn(c, x - 24, y - 38, x + 24, y + 12, [&](float px, float py) { return std::fabs(Polygon(px, py, *shape)) - 0.8f; },
                0.9f, Flat(kInk));
}

void DrawHarbor(Canvas& c) {
    const Place& harbor = kPlaces[1];
    const float bx = harbor.CentreX() + 40, by = harbor.CentreY() + 86;
    // Two piers into the bay and a lighthouse at its mouth.
    for (float dx : {-30.0f, 20.0f})
        ShapeIn(c, bx + dx - 4, by - 60, bx + dx + 4, by + 10,
                [&](float px, float py) { return Capsule(px, py, {bx + dx, by - 58}, {bx + dx, by + 4}, 3.0f); }, 1.0f, Flat(kWood));
    const float lx = 455, ly = Coast(lx) - 6;
    const std::vector<Vec> tower = {{lx - 9, ly}, {lx + 9, ly}, {lx + 5, ly - 46}, {lx - 5, ly - 46}};
    ShapeIn(c, lx - 10, ly - 48, lx + 10, ly, [&](float px, float py) { return Polygon(px, py, tower); }, 1.0f,
            [&](float, float py) { return static_cast<int>((ly - py) / 10.0f) % 2 ? kMistake : kPaper; });
    ShapeIn(c, lx - 10, ly - 56, lx + 10, ly, [&](float px, float py) { return std::fabs(Polygon(px, py, tower)) - 0.8f; }, 0.9f,
            Flat(kInk));
    ShapeIn(c, lx - 20, ly - 66, lx + 20, ly - 36, [&](float px, float py) { return Circle(px, py, lx, ly - 50, 12); }, 0.55f,
            Flat(kWarm), 14.0f);
    ShapeIn(c, lx - 6, ly - 56, lx + 6, ly - 44, [&](float px, float py) { return Circle(px, py, lx, ly - 50, 4.5f); }, 1.0f,
            Flat(Rgb{0xFF, 0xD0, 0x50}));
    DrawBoat(c, 760, 560);
    DrawBoat(c, 900, 470);
    DrawBoat(c, 640, 680);
}

// The road between the places: a dashed curve through their centres.
void DrawRoad(Canvas& c) {
    std::vector<Vec> points;
    const auto bezier = [&](Vec a, Vec m, Vec b) {
        for (int i = 0; i <= 400; ++i) {
            const float t = i / 400.0f, u = 1 - t;
            points.push_back({u * u * a.x + 2 * u * t * m.x + t * t * b.x, u * u * a.y + 2 * u * t * m.y + t * t * b.y});
        }
    };
    const Vec meadow{kPlaces[0].CentreX(), kPlaces[0].CentreY()};
    const Vec harbor{kPlaces[1].CentreX(), kPlaces[1].CentreY()};
    const Vec peaks{kPlaces[2].CentreX(), kPlaces[2].CentreY()};
    bezier(meadow, {400, 470}, harbor);
    bezier(harbor, {720, 470}, peaks);
    float walked = 0;
    for (size_t i = 1; i < points.size(); ++i) {
        const Vec a = points[i - 1], b = points[i];
        walked += Length(b.x - a.x, b.y - a.y);
        if (std::fmod(walked, 18.0f) > 10.0f) continue;
        ShapeIn(c, b.x - 4, b.y - 4, b.x + 4, b.y + 4, [&](float px, float py) { return Circle(px, py, b.x, b.y, 2.6f); }, 0.9f,
                Flat(kRoad));
    }
}

void DrawCompass(Canvas& c, float x, float y) {
    ShapeIn(c, x - 64, y - 64, x + 64, y + 64, [&](float px, float py) { return std::fabs(Circle(px, py, x, y, 44)) - 1.2f; }, 0.8f,
            Flat(kInk));
    ShapeIn(c, x - 64, y - 64, x + 64, y + 64, [&](float px, float py) { return std::fabs(Circle(px, py, x, y, 38)) - 0.6f; }, 0.6f,
            Flat(kInk));
    for (int i = 0; i < 8; ++i) {
        const float angle = i * 3.14159265f / 4.0f, reach = i % 2 ? 34.0f : 58.0f, side = i % 2 ? 6.0f : 10.0f;
        const float dx = std::sin(angle), dy = -std::cos(angle);
        const std::vector<Vec> point = {{x + dx * reach, y + dy * reach}, {x - dy * side, y + dx * side}, {x, y}};
        const std::vector<Vec> other = {{x + dx * reach, y + dy * reach}, {x + dy * side, y - dx * side}, {x, y}};
        const Rgb light = i == 0 ? kMistake : kPaper, dark = i == 0 ? Mix(kMistake, kInk, 0.4f) : kInk;
        ShapeIn(c, x - 60, y - 60, x + 60, y + 60, [&](float px, float py) { return Polygon(px, py, point); }, 1.0f, Flat(light));
        ShapeIn(c, x - 60, y - 60, x + 60, y + 60, [&](float px, float py) { return Polygon(px, py, other); }, 1.0f, Flat(dark));
        ShapeIn(c, x - 60, y - 60, x + 60, y + 60, [&](float px, float py) { return std::fabs(Polygon(px, py, point)) - 0.6f; }, 0.8f,
                Flat(kInk));
    }
    ShapeIn(c, x - 6, y - 6, x + 6, y + 6, [&](float px, float py) { return Circle(px, py, x, y, 4); }, 1.0f, Flat(kWarm));
}

ImageData MakeMap() {
    Canvas c(kWidth, kHeight);
    DrawSheet(c);
    Canvas land(kWidth, kHeight);
    DrawSea(land);
    DrawHills(land);
    DrawRiver(land);
    DrawWoods(land);
    DrawMountains(land);
    DrawHarbor(land);
    DrawRoad(land);
    LayInside(c, land);
    DrawCompass(c, 124, 186);
    // A border of two ink lines inside the paper's edge.
    Box(c, kSheetLeft + 10, kSheetTop + 10, kSheetRight - 10, kSheetBottom - 10, 8, 0.9f, Flat(kInk), 0.0f, 2.5f);
    Box(c, kSheetLeft + 17, kSheetTop + 17, kSheetRight - 17, kSheetBottom - 17, 6, 0.6f, Flat(kInk), 0.0f, 1.0f);
    return c.mImage;
}

// --- The set buttons --------------------------------------------------------------------------

using Emblem = std::function<void(Canvas&, float cx, float cy, float fade)>;

Rgb Faded(Rgb colour, float fade) {
    const float grey = colour.r * 0.3f + colour.g * 0.59f + colour.b * 0.11f;
    return Mix(colour, Mix(Rgb{grey, grey, grey}, kPaperEdge, 0.35f), fade);
}

void FlowerEmblem(Canvas& c, float cx, float cy, float fade) {
    const float box = 40;
    ShapeIn(c, cx - 3, cy + 2, cx + 3, cy + 34, [&](float x, float y) { return Capsule(x, y, {cx, cy + 4}, {cx, cy + 32}, 2.5f); }, 1.0f,
            Flat(Faded(kGrassDark, fade)));
    ShapeIn(c, cx - 20, cy + 10, cx + 4, cy + 30, [&](float x, float y) {
        return Length((x - cx + 10) / 11.0f, (y - cy - 22) / 5.0f) * 5.0f - 5.0f;
    }, 1.0f, Flat(Faded(kGrass, fade)));
    for (int i = 0; i < 6; ++i) {
        const float a = i * 3.14159265f / 3.0f, px = cx + std::cos(a) * 14.0f, py = cy - 8 + std::sin(a) * 14.0f;
        ShapeIn(c, cx - box, cy - box, cx + box, cy + box, [&](float x, float y) { return Circle(x, y, px, py, 9.5f); }, 1.0f,
                Flat(Faded(Rgb{0xE8, 0x6A, 0x7A}, fade)));
        ShapeIn(c, cx - box, cy - box, cx + box, cy + box, [&](float x, float y) { return std::fabs(Circle(x, y, px, py, 9.5f)) - 0.7f; },
                0.7f, Flat(Faded(kInk, fade)));
    }
    ShapeIn(c, cx - 10, cy - 18, cx + 10, cy + 2, [&](float x, float y) { return Circle(x, y, cx, cy - 8, 8.0f); }, 1.0f,
            Flat(Faded(Rgb{0xF2, 0xC0, 0x3C}, fade)));
}

void AnchorEmblem(Canvas& c, float cx, float cy, float fade) {
    const Rgb ink = Faded(kInk, fade);
    const float box = 40;
    const auto anchor = [&](float x, float y) {
        float d = std::fabs(Circle(x, y, cx, cy - 26, 6.5f)) - 2.6f;
        d = std::min(d, Capsule(x, y, {cx, cy - 19}, {cx, cy + 28}, 3.2f));
        d = std::min(d, Capsule(x, y, {cx - 14, cy - 10}, {cx + 14, cy - 10}, 3.0f));
        const float arc = std::max(std::fabs(Circle(x, y, cx, cy + 2, 27.0f)) - 3.0f, cy + 8 - y);
        d = std::min(d, arc);
        for (float side : {-1.0f, 1.0f}) {
            const std::vector<Vec> fluke = {{cx + side * 27, cy + 2}, {cx + side * 33, cy + 14}, {cx + side * 20, cy + 12}};
            d = std::min(d, Polygon(x, y, fluke));
        }
        return d;
    };
    ShapeIn(c, cx - box, cy - box, cx + box, cy + box, anchor, 1.0f, Flat(ink));
}

void PeakEmblem(Canvas& c, float cx, float cy, float fade) {
    const float box = 42;
    struct Tri {
        float dx, half, height;
    };
    for (const Tri t : {Tri{14, 20, 34}, Tri{-8, 26, 48}}) {
        const float base = cy + 24, top = base - t.height, px = cx + t.dx;
        const std::vector<Vec> body = {{px - t.half, base}, {px, top}, {px + t.half, base}};
        ShapeIn(c, cx - box, cy - box, cx + box, cy + box, [&](float x, float y) { return Polygon(x, y, body); }, 1.0f,
                [&](float x, float) { return Faded(x < px ? kStone : kStoneDark, fade); });
        const float snow = top + t.height * 0.38f;
        ShapeIn(c, cx - box, cy - box, cx + box, cy + box, [&](float x, float y) {
            return std::max(Polygon(x, y, body), y - snow - 3.0f * std::sin(x * 0.6f));
        }, 1.0f, Flat(Faded(kSnow, fade)));
        ShapeIn(c, cx - box, cy - box, cx + box, cy + box, [&](float x, float y) { return std::max(std::fabs(Polygon(x, y, body)) - 0.9f, y - base + 1.0f); },
                0.9f, Flat(Faded(kInk, fade)));
    }
}

void DrawPadlock(Canvas& c, float cx, float cy) {
    ShapeIn(c, cx - 12, cy - 20, cx + 12, cy, [&](float x, float y) {
        return std::max(std::fabs(Circle(x, y, cx, cy - 8, 8.0f)) - 2.4f, y - (cy - 4));
    }, 1.0f, Flat(kInk));
    Box(c, cx - 12, cy - 4, cx + 12, cy + 14, 3, 1.0f, Flat(kInk));
    Box(c, cx - 10, cy - 2, cx + 10, cy + 12, 2, 1.0f, Flat(kWarm));
    ShapeIn(c, cx - 3, cy, cx + 3, cy + 10, [&](float x, float y) { return Capsule(x, y, {cx, cy + 3}, {cx, cy + 8}, 1.8f); }, 1.0f,
            Flat(kWarmOutline));
}

enum CelState { kNormal, kOver, kDown, kLocked };

void DrawMedallion(Canvas& c, float left, CelState state, const Emblem& emblem) {
    const float cx = left + kCel / 2.0f, cy = kCel / 2.0f - 3 + (state == kDown ? 2.0f : 0.0f);
    const float fade = state == kLocked ? 1.0f : 0.0f;
    ShapeIn(c, left, 0, left + kCel, kCel, [&](float x, float y) { return Circle(x, y, cx + 1, cy + 5, kRadius + 2); },
            state == kDown ? 0.3f : 0.45f, Flat(kShadow), 8.0f);
    const Rgb rim = state == kOver ? kWarm : state == kLocked ? kMark : kInk;
    ShapeIn(c, left, 0, left + kCel, kCel, [&](float x, float y) { return Circle(x, y, cx, cy, kRadius + 4); }, 1.0f, Flat(rim));
    if (state == kOver)
        ShapeIn(c, left, 0, left + kCel, kCel, [&](float x, float y) { return std::fabs(Circle(x, y, cx, cy, kRadius + 4)) - 1.0f; }, 1.0f,
                Flat(kWarmOutline));
    const Rgb face = state == kDown ? kPaperEdge : state == kLocked ? Mix(kPaperEdge, kMark, 0.25f) : kPaper;
    ShapeIn(c, left, 0, left + kCel, kCel, [&](float x, float y) { return Circle(x, y, cx, cy, kRadius - 2); }, 1.0f,
            [&](float, float y) { return Mix(face, kPaperBand, std::clamp((y - cy + kRadius) / (2 * kRadius), 0.0f, 1.0f)); });
    ShapeIn(c, left, 0, left + kCel, kCel, [&](float x, float y) { return std::fabs(Circle(x, y, cx, cy, kRadius - 7)) - 0.7f; }, 0.5f,
            Flat(state == kLocked ? kMark : kInk));
    emblem(c, cx, cy, fade);
    if (state == kLocked) {
        ShapeIn(c, left, 0, left + kCel, kCel, [&](float x, float y) { return Circle(x, y, cx, cy, kRadius - 2); }, 0.25f, Flat(kPaperEdge));
        DrawPadlock(c, cx + 30, cy + 28);
    }
}

ImageData MakeSetButton(const Emblem& emblem) {
    Canvas c(kCel * 4, kCel);
    for (int state = kNormal; state <= kLocked; ++state) DrawMedallion(c, static_cast<float>(kCel * state), CelState(state), emblem);
    return c.mImage;
}

// A warm ring of light around the chosen medallion.
ImageData MakeHighlight() {
    const float size = 180, centre = size / 2;
    Canvas c(static_cast<int>(size), static_cast<int>(size));
    ShapeIn(c, 0, 0, size, size, [&](float x, float y) { return std::fabs(Circle(x, y, centre, centre, kRadius + 14)) - 8.0f; }, 0.8f,
            Flat(kWarm), 16.0f);
    ShapeIn(c, 0, 0, size, size, [&](float x, float y) { return std::fabs(Circle(x, y, centre, centre, kRadius + 9)) - 1.5f; }, 0.9f,
            Flat(Rgb{0xFF, 0xEC, 0x8C}));
    return c.mImage;
}

// The ribbon the chosen set's name is written on, hanging over the map's top.
ImageData MakeBanner() {
    const int w = 480, h = 64;
    Canvas c(w, h);
    for (float side : {-1.0f, 1.0f}) {
        const float inner = w / 2.0f + side * 200, outer = w / 2.0f + side * 238;
        const std::vector<Vec> tail = {{inner, 14}, {outer, 14}, {outer - side * 14, 34}, {outer, 54}, {inner, 54}};
        ShapeIn(c, 0, 0, w, h, [&](float x, float y) { return Polygon(x, y, tail); }, 1.0f, Flat(Mix(kInk, kShadow, 0.35f)));
        ShapeIn(c, 0, 0, w, h, [&](float x, float y) { return std::fabs(Polygon(x, y, tail)) - 0.8f; }, 0.8f, Flat(kWarmOutline));
    }
    Box(c, 26, 6, w - 26, h - 2, 6, 0.5f, Flat(kShadow), 8.0f);
    Box(c, 24, 2, w - 24, h - 8, 5, 1.0f, [&](float, float y) { return Mix(Mix(kInk, Rgb{255, 255, 255}, 0.15f), kInk, y / h); });
    Box(c, 24, 2, w - 24, h - 8, 5, 1.0f, Flat(kWarm), 0.0f, 2.0f);
    Box(c, 30, 8, w - 30, h - 14, 3, 0.5f, Flat(kWarm), 0.0f, 1.0f);
    return c.mImage;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string folder = argc > 1 ? argv[1] : "gamedata/images";
    bool ok = SavePng("mapart", folder, "map_quiltro7.png", MakeMap());
    ok &= SavePng("mapart", folder, "map_meadow_btn_quiltro7.png", MakeSetButton(&FlowerEmblem));
    ok &= SavePng("mapart", folder, "map_harbor_btn_quiltro7.png", MakeSetButton(&AnchorEmblem));
    ok &= SavePng("mapart", folder, "map_peaks_btn_quiltro7.png", MakeSetButton(&PeakEmblem));
    ok &= SavePng("mapart", folder, "map_highlight.png", MakeHighlight());
    ok &= SavePng("mapart", folder, "map_banner.png", MakeBanner());
    return ok ? 0 : 1;
}
