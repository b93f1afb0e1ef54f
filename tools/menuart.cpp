// Draws the pictures of the menu framework in gamedata/images: the paper card
// of the dialogs ("Dialog") and the three states of the menu button
// ("menubutton": normal, over, down and disabled side by side). Colours are the game's
// palette (paper, ink, warm accent); shapes are rounded rectangles with
// anti-aliased edges and a soft shadow. Regenerating gives the same files.
//
// usage: menuart [output folder]   (default gamedata/images)
#include <string>

#include "tools/ArtShapes.h"

namespace {

using namespace tools;

ImageData MakeDialog() {
    const int w = 560, h = 340;
    Canvas c(w, h);
    const float l = 12, t = 8, r = w - 12.0f, b = h - 16.0f;
    Box(c, l + 2, t + 8, r + 2, b + 8, 22, 0.45f, [](float, float) { return Rgb{8, 10, 18}; }, 14.0f);
    Box(c, l, t, r, b, 18, 1.0f, [&](float, float y) { return Mix(kPaper, kPaperBand, (y - t) / (b - t)); });
    Box(c, l, t, r, b, 18, 1.0f, [](float, float) { return kInk; }, 0.0f, 3.0f);
    Box(c, l + 11, t + 11, r - 11, b - 11, 10, 1.0f, [](float, float) { return kPaperEdge; }, 0.0f, 2.0f);
    return c.mImage;
}

// One state of the button in its cel: lit top, darker bottom, a rim. The
// disabled state is flat and greyed, its shadow faint: plainly not pressable
// on paper and on the night-blue dialogs alike.
void DrawButton(Canvas& c, float x0, int state) {
    enum { kOver = 1, kDown = 2, kDisabled = 3 };
    const float w = 240, h = 64, l = x0 + 8, t = 6 + (state == kDown ? 2.0f : 0.0f), r = x0 + w - 8, b = t + h - 16;
    const float shadow = state == kDisabled ? 0.15f : state == kDown ? 0.25f : 0.4f;
    Box(c, l + 1, t + 5, r + 1, b + 5, 22, shadow, [](float, float) { return Rgb{8, 10, 18}; }, 6.0f);
    const Rgb base = state == kOver   ? Mix(kInk, kHighlight, 0.35f)
                     : state == kDown ? Mix(kInk, Rgb{0, 0, 0}, 0.25f)
                     : state == kDisabled ? Rgb{0x8A, 0x90, 0xA0}
                                          : kInk;
    const Rgb top = Mix(base, Rgb{255, 255, 255}, state == kDown ? 0.08f : state == kDisabled ? 0.04f : 0.22f);
    Box(c, l, t, r, b, 21, 1.0f, [&](float, float y) { return Mix(top, base, std::clamp((y - t) / (b - t) * 1.6f, 0.0f, 1.0f)); });
    Box(c, l, t, r, b, 21, 1.0f, [&](float, float) { return state == kOver ? kWarm : Mix(base, kPaperEdge, 0.35f); },
        0.0f, state == kOver ? 2.5f : 1.5f);
}

ImageData MakeMenuButton() {
    Canvas c(240 * 4, 64);
    for (int state = 0; state < 4; ++state) DrawButton(c, 240.0f * state, state);
    return c.mImage;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string folder = argc > 1 ? argv[1] : "gamedata/images";
    bool ok = SavePng("menuart", folder, "Dialog.png", MakeDialog());
    ok &= SavePng("menuart", folder, "menubutton.png", MakeMenuButton());
    return ok ? 0 : 1;
}
