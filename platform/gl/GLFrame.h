#pragma once
#include "platform/Viewport.h"

// Clears the window: black bars outside the viewport, the given colour inside.
void GLClearFrame(int drawableWidth, int drawableHeight, const Viewport& view, float r, float g,
                  float b);
