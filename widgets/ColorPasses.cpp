#include "widgets/ColorPasses.h"

#include "render/Graphics.h"

int DrawColorPasses(Graphics& g, float red, float green, float blue, float alpha,
                    const std::function<void(const Color&)>& draw) {
    const bool wasBatching = g.IsBatching();
    const int drawMode = g.GetDrawMode();
    auto bright = [&] { return red > 1.0f || green > 1.0f || blue > 1.0f; };
    if (bright()) g.SetBatching(true);
    int passes = 0;
    // Each pass lowers every channel by 1, so a channel of c draws ceil(c) passes.
    for (;;) {
        draw(Color::FromFloats(red, green, blue, alpha));
        ++passes;
        if (!bright()) break;
        red -= 1.0f;
        green -= 1.0f;
        blue -= 1.0f;
        g.SetDrawMode(DRAWMODE_ADDITIVE);
    }
    g.SetDrawMode(drawMode);
    if (g.IsBatching() != wasBatching) g.SetBatching(wasBatching);
    return passes;
}
