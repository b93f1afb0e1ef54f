#pragma once
#include <functional>

#include "core/Color.h"

class Graphics;

// Colour channels above 1.0 brighten text and rectangles: after the first
// draw in the (clamped) colour, 1.0 is taken from red, green and blue and the
// shape is drawn again, until no channel is above 1.0. The extra passes add
// their light: the renderer blends premultiplied colour, so a pass of alpha 0
// would add nothing; they are drawn in additive mode at the shape's alpha
// instead. Batching is on during the passes; batching and the draw mode are
// restored after. `draw` gets each pass's colour; returns the number of
// passes.
int DrawColorPasses(Graphics& g, float red, float green, float blue, float alpha,
                    const std::function<void(const Color&)>& draw);
