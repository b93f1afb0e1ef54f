#pragma once

struct Picture;

// Puts an opaque picture (0xAARRGGBB, alpha ignored) into an X11 window at
// its top-left corner at once, through the X server alone: no GL, no
// window surface kept afterwards. False when the window (an SDL_Window*) is
// not an X11 one or its visual is not 24-bit true colour.
bool PutX11WindowPicture(void* window, const Picture& picture);
