#pragma once

// Where the logical frame lands inside the window's drawable area.
struct Viewport {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

// Letterboxed (aspect kept, centred) unless stretch is asked for.
Viewport ComputeViewport(int drawableWidth, int drawableHeight, int logicalWidth,
                         int logicalHeight, bool stretch);

// Maps a window position to logical coordinates through the viewport.
void WindowToLogical(const Viewport& view, int logicalWidth, int logicalHeight, int wx, int wy,
                     int& lx, int& ly);

// Cuts a rectangle (drawable pixels, top-left origin) to the drawable, so
// that nothing outside it is ever asked for; false when nothing is left.
bool ClipToDrawable(int& x, int& y, int& width, int& height, int drawableWidth, int drawableHeight);
