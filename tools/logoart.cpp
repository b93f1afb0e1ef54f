// Draws the start-up and options pictures in gamedata/images: the studio
// logo's letters (with the two leaning ones), the ball's three cels, the
// trail and the trademark; the publisher's and the distributors' splashes;
// the options panel, its slider, check boxes and icons. Type is DejaVu
// (fontconfig); the trail follows the logo ball's own path. Regenerating
// gives the same files.
//
// usage: logoart [output folder]   (default gamedata/images)
#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "app/LogoPieces.h"
#include "core/StringUtil.h"
#include "tools/ArtText.h"

namespace {

using namespace tools;

constexpr int kLetterWidth = 88, kLetterHeight = 106;
constexpr int kBallCel = 100, kBallHeight = 101, kBallSize = 80;

// A letter of the logo: ink with a lit top, a warm underline of light.
ImageData MakeLetter(FontFace& face, wchar_t letter, float lean) {
    Canvas c(kLetterWidth, kLetterHeight);
    const float baseline = kLetterHeight - 18.0f;  // room for the tail of the Q
    const float x = (kLetterWidth - face.Advance(letter)) / 2.0f - lean * 40.0f;
    Text(c, face, std::wstring(1, letter), x + 2, baseline + 3, Solid(Rgb{200, 200, 210}), 0, lean);
    Text(c, face, std::wstring(1, letter), x, baseline, [&](float, float y) {
        return Mix(Mix(kInk, kHighlight, 0.45f), kInk, std::clamp(y / baseline, 0.0f, 1.0f));
    }, 0, lean);
    return c.mImage;
}

// The round ball and its two squashed cels, standing on the cel's bottom.
ImageData MakeBall() {
    Canvas c(kBallCel * 3, kBallHeight);
    const float widths[3] = {kBallSize, kBallSize * 1.15f, kBallSize * 1.3f};
    const float heights[3] = {kBallSize, kBallSize * 0.84f, kBallSize * 0.68f};
    for (int cel = 0; cel < 3; ++cel) {
        const float rx = widths[cel] / 2, ry = heights[cel] / 2;
        const float cx = kBallCel * cel + kBallCel / 2.0f, cy = kBallHeight - ry - 1;
        auto ellipse = [&](float x, float y) {
            const float nx = (x - cx) / rx, ny = (y - cy) / ry;
            return (std::sqrt(nx * nx + ny * ny) - 1.0f) * std::min(rx, ry);
        };
        Shape(c, ellipse, 1.0f, [&](float x, float y) {
            // Lit from the upper left: warm highlight into the red, darker rim.
            const float lx = (x - (cx - rx * 0.35f)) / rx, ly = (y - (cy - ry * 0.4f)) / ry;
            const float light = std::clamp(1.0f - std::sqrt(lx * lx + ly * ly), 0.0f, 1.0f);
            const float rim = std::clamp(-ellipse(x, y) / 10.0f, 0.0f, 1.0f);
            return Mix(Mix(Mix(kMistake, Rgb{0, 0, 0}, 0.35f), kMistake, rim), kWarm, light * light);
        });
    }
    return c.mImage;
}

// The trail: a ribbon along the ball's path (its bottom, lifted to fit), from
// warm yellow to red, over the window's logo coordinates.
ImageData MakeTrail() {
    const float ox = 1024 * 0.5f - 229.0f, oy = 768 * 0.5f - 73.0f;
    LogoBall ball(nullptr);
    std::vector<std::pair<float, float>> path;
    for (int step = 0; step < 400 && ball.mVelocityX != 0.0; ++step) {
        ball.Update();
        ball.UpdateF(1.0f);
        const float bx = static_cast<float>(ball.mPosX) + kBallCel / 2.0f - ox;
        if (bx > -10.0f) path.emplace_back(bx, static_cast<float>(ball.mPosY) + kBallHeight / 2.0f - oy);
    }
    float top = 1e9f, bottom = -1e9f;
    for (const auto& point : path) top = std::min(top, point.second), bottom = std::max(bottom, point.second);
    // The revealed height reaches the resting ball's centre: keep the ribbon above it.
    const float restY = path.back().second;
    for (auto& point : path) point.second = 10.0f + (point.second - top) / (bottom - top) * (restY - 22.0f);
    const int width = static_cast<int>(path.back().first) + 24;
    Canvas c(width, static_cast<int>(restY) + 4);
    const float length = static_cast<float>(path.size());
    for (size_t i = 1; i < path.size(); ++i) {
        const float t = i / length, thickness = 2.0f + 5.0f * std::min(1.0f, t * 3.0f);
        const Rgb colour = t < 0.5f ? Mix(kWarm, Rgb{0xF5, 0x9A, 0x3C}, t * 2) : Mix(Rgb{0xF5, 0x9A, 0x3C}, kMistake, t * 2 - 1);
        auto [x0, y0] = path[i - 1];
        auto [x1, y1] = path[i];
        for (float s = 0.0f; s < 1.0f; s += 0.25f) {
            const float px = x0 + (x1 - x0) * s, py = y0 + (y1 - y0) * s;
            for (int y = static_cast<int>(py - thickness - 1); y <= py + thickness + 1; ++y)
                for (int x = static_cast<int>(px - thickness - 1); x <= px + thickness + 1; ++x) {
                    const float d = std::hypot(x + 0.5f - px, y + 0.5f - py) - thickness;
                    const float a = Coverage(d);
                    if (a <= 0.0f || x < 0 || y < 0 || x >= width || y >= c.mImage.mHeight) continue;
                    uint32_t& pixel = c.mImage.mBits[static_cast<size_t>(y) * width + x];
                    // The ribbon keeps its strongest cover where its pieces overlap.
                    if (static_cast<int>(pixel >> 24) >= Byte(a * 230.0f)) continue;
                    pixel = Argb(Byte(a * 230.0f), Byte(colour.r), Byte(colour.g), Byte(colour.b));
                }
        }
    }
    return c.mImage;
}

ImageData MakeTrademark(FontFace& face) {
    Canvas c(40, 22);
    Text(c, face, L"TM", 2, 16, Solid(kMark));
    return c.mImage;
}

// Four squares of the quilt, the emblem of the splashes.
void QuiltEmblem(Canvas& c, float cx, float cy, float size) {
    const Rgb colours[4] = {kInk, kWarm, kHighlight, kMistake};
    const float half = size / 2, gap = size * 0.06f;
    for (int i = 0; i < 4; ++i) {
        const float l = cx - half + (i % 2) * (half + gap / 2), t = cy - half + (i / 2) * (half + gap / 2);
        Box(c, l, t, l + half - gap / 2, t + half - gap / 2, size * 0.08f, 1.0f, Solid(colours[i]));
    }
}

ImageData MakePublisherSplash(FontFace& title, FontFace& small) {
    Canvas c(1024, 768);
    c.Fill(0, 0, 1024, 768, Argb(255, 255, 255, 255));
    QuiltEmblem(c, 512, 300, 150);
    CentredText(c, title, L"QUILTRO", 512, 480, Solid(kInk), 6);
    Box(c, 372, 506, 652, 509, 1.5f, 1.0f, Solid(Rgb{0xF5, 0x9A, 0x3C}));
    CentredText(c, small, L"P U B L I S H I N G", 512, 552, Solid(kMark));
    return c.mImage;
}

ImageData MakeDistributorSplash(FontFace& title, FontFace& small) {
    Canvas c(1024, 768);
    Box(c, -10, -10, 1034, 778, 0, 1.0f, [](float x, float y) {
        const float glow = std::clamp(1.0f - std::hypot(x - 512, y - 384) / 620.0f, 0.0f, 1.0f);
        return Mix(kDesk, Mix(kDesk, kInk, 0.8f), glow);
    });
    CentredText(c, small, L"distributed by", 512, 300, Solid(Rgb{0xD8, 0xDC, 0xE8}));
    CentredText(c, title, L"Night Desk Games", 512 + 2, 392 + 3, Solid(kWarmOutline));
    CentredText(c, title, L"Night Desk Games", 512, 392, Solid(kWarm));
    for (int i = 0; i < 5; ++i) {
        const float x = 392 + i * 60.0f;
        Shape(c, [x](float px, float py) {
            const float dx = std::fabs(px - x), dy = std::fabs(py - 450);
            return std::sqrt(dx) + std::sqrt(dy) - std::sqrt(9.0f);
        }, 1.0f, Solid(kWarm));
    }
    return c.mImage;
}

// Wider than the window (the screen letterboxes it on white).
// The window's own shape, as the first splash: a picture of another shape
// would stand between white bands.
ImageData MakeSecondSplash(FontFace& title, FontFace& small) {
    Canvas c(1024, 768);
    Box(c, 0, 0, 1024, 768, 0, 1.0f, [](float, float y) { return Mix(kPaper, kPaperBand, y / 768.0f); });
    for (int i = 0; i < 26; ++i) {
        const Rgb band[4] = {kInk, kWarm, kHighlight, kMistake};
        const float x = i * 1024.0f / 26.0f + 4.7f;  // 30 wide, centred in its 1/26 of the width
        Box(c, x, 14, x + 30, 44, 4, 1.0f, Solid(band[i % 4]));
        Box(c, x, 724, x + 30, 754, 4, 1.0f, Solid(band[(i + 2) % 4]));
    }
    CentredText(c, small, L"a picture-logic puzzle book", 512, 310, Solid(kMark));
    CentredText(c, title, L"Grand Quiltro 7", 512, 410, Solid(kInk));
    CentredText(c, small, L"for Linux", 512, 480, Solid(Rgb{0xF5, 0x9A, 0x3C}));
    return c.mImage;
}

ImageData MakeOptionsPanel() {
    const int w = 720, h = 540;
    Canvas c(w, h);
    Panel(c, 12, 8, w - 12.0f, h - 16.0f);
    Box(c, 60, 78, w - 60.0f, 80, 1, 0.5f, Solid(kWarm));
    return c.mImage;
}

ImageData MakeSliderTrack() {
    Canvas c(240, 16);
    Box(c, 1, 3, 239, 14, 5.5f, 1.0f, Solid(Rgb{8, 10, 18}));
    Box(c, 1, 3, 239, 14, 5.5f, 1.0f, Solid(Mix(kInk, kPaperEdge, 0.4f)), 0.0f, 1.5f);
    return c.mImage;
}

ImageData MakeSliderThumb() {
    Canvas c(28, 36);
    Box(c, 3, 4, 27, 36, 8, 0.5f, Solid(Rgb{0, 0, 0}), 4.0f);
    Box(c, 2, 2, 26, 33, 7, 1.0f, [](float, float y) { return Mix(kPaper, kPaperEdge, y / 33.0f); });
    Box(c, 2, 2, 26, 33, 7, 1.0f, Solid(kWarmOutline), 0.0f, 1.5f);
    for (int i = 0; i < 3; ++i) Box(c, 9.0f + i * 4, 12, 10.5f + i * 4, 24, 0.7f, 1.0f, Solid(kMark));
    return c.mImage;
}

// The box stands on the dark options panel and on the cream cards alike: a
// paper face that reads on the dark, inside an ink rim that reads on paper,
// with a warm halo that shows on both when the pointer is over it.
ImageData MakeCheckbox(bool checked, bool hover) {
    Canvas c(36, 36);
    if (hover) Box(c, 1, 1, 35, 35, 9, 0.9f, Solid(kWarm), 0.0f, 3.0f);
    Box(c, 4, 4, 32, 32, 6, 1.0f, Solid(hover ? kPaper : kPaperBand));
    Box(c, 4, 4, 32, 32, 6, 1.0f, Solid(hover ? kHighlight : kInk), 0.0f, 2.5f);
    if (checked) {
        // A check of two strokes.
        auto stroke = [](float px, float py, float x0, float y0, float x1, float y1) {
            const float dx = x1 - x0, dy = y1 - y0;
            const float t = std::clamp(((px - x0) * dx + (py - y0) * dy) / (dx * dx + dy * dy), 0.0f, 1.0f);
            return std::hypot(px - x0 - t * dx, py - y0 - t * dy) - 2.8f;
        };
        Shape(c, [&](float x, float y) { return std::min(stroke(x, y, 10, 18, 16, 25), stroke(x, y, 16, 25, 27, 10)); },
              1.0f, Solid(kInk));
    }
    return c.mImage;
}

// Icons in warm light on the panel: a note, a speaker, a mouse.
ImageData MakeIcon(int kind) {
    Canvas c(40, 40);
    const Rgb colour = kWarm;
    if (kind == 0) {
        auto note = [](float x, float y, float cx) {
            const float head = std::hypot((x - cx) / 1.3f, y - 30) - 5.0f;
            const float stem = RoundedBox(x, y, cx + 4.5f, 8, cx + 7.5f, 30, 0.5f);
            return std::min(head, stem);
        };
        Shape(c, [&](float x, float y) {
            return std::min({note(x, y, 10), note(x, y, 26), RoundedBox(x, y, 14.5f, 6, 33.5f, 11, 1)});
        }, 1.0f, Solid(colour));
    } else if (kind == 1) {
        Box(c, 5, 14, 13, 26, 1.5f, 1.0f, Solid(colour));
        Shape(c, [](float x, float y) {
            // The cone: a trapezoid from the box to the mouth.
            const float half = 6.0f + (x - 12.0f) * 0.8f;
            return std::max({12.0f - x, x - 22.0f, std::fabs(y - 20.0f) - half});
        }, 1.0f, Solid(colour));
        for (float radius : {8.0f, 14.0f})
            Shape(c, [radius](float x, float y) {
                const float d = std::fabs(std::hypot(x - 22, y - 20) - radius) - 1.5f;
                return x < 25.0f ? std::max(d, 25.0f - x) : d;
            }, 1.0f, Solid(colour));
    } else {
        Box(c, 10, 4, 30, 36, 10, 1.0f, Solid(colour), 0.0f, 2.5f);
        Box(c, 19, 6, 21, 16, 1, 1.0f, Solid(colour));
        Box(c, 10, 15, 30, 17, 1, 1.0f, Solid(colour));
    }
    return c.mImage;
}

}  // namespace

int main(int argc, char** argv) {
    ArtOutput out("logoart", argc, argv);
    auto letters = Face("logoart", "DejaVu Serif:bold", 100);
    auto title = Face("logoart", "DejaVu Serif:bold", 72);
    auto small = Face("logoart", "DejaVu Sans:bold", 26);
    auto tiny = Face("logoart", "DejaVu Sans:bold", 14);
    if (!letters || !title || !small || !tiny) return 1;
    for (wchar_t letter : std::wstring(L"QUILT")) out.Save(WStringToString(std::wstring(1, letter)) + ".png", MakeLetter(*letters, letter, 0.0f));
    // The letters the ball lands on lean to the left.
    out.Save("U_lean.png", MakeLetter(*letters, L'U', -0.12f));
    out.Save("L_lean.png", MakeLetter(*letters, L'L', -0.16f));
    out.Save("Ball.png", MakeBall());
    out.Save("Trail.png", MakeTrail());
    out.Save("KobrinTM.png", MakeTrademark(*tiny));
    out.Save("PublisherSplash.png", MakePublisherSplash(*title, *small));
    out.Save("splash.png", MakeDistributorSplash(*title, *small));
    out.Save("splash2.png", MakeSecondSplash(*title, *small));
    out.Save("OptionsPanel.png", MakeOptionsPanel());
    out.Save("Slider.png", MakeSliderTrack());
    out.Save("Slider_Thumb.png", MakeSliderThumb());
    out.Save("Checkbox.png", MakeCheckbox(false, false));
    out.Save("Checkbox_hover.png", MakeCheckbox(false, true));
    out.Save("Checkbox_checked.png", MakeCheckbox(true, false));
    out.Save("Checkbox_Checked_hover.png", MakeCheckbox(true, true));
    out.Save("IconMusicVolume.png", MakeIcon(0));
    out.Save("IconSoundVolume.png", MakeIcon(1));
    out.Save("IconMouseSpeed.png", MakeIcon(2));
    return out.ExitCode();
}
