#pragma once
#include "platform/Viewport.h"

// Clears to black the parts of the window's drawable area outside the
// viewport (the letterbox bars); the viewport itself is left alone, since
// the frame drawn there covers it. Binds the default framebuffer.
void GLClearBars(int drawableWidth, int drawableHeight, const Viewport& view);
