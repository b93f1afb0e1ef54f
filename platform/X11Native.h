#pragma once
#include <X11/Xlib.h>

// The X11 side of SDL's windows, for the platform files that speak to the X
// server themselves.

// The X connection of an SDL window (an SDL_Window*), and its X window when
// asked for; null when the window is null or not an X11 one.
Display* X11DisplayOf(void* sdlWindow, ::Window* window = nullptr);

// Catches the errors of requests that may well be refused (a window another
// client may have destroyed, a context the driver may refuse), so that they
// neither reach our handler for the run nor count as faults: made, the
// requests sent, then Caught() waits for their answers and says whether
// any was refused. The handler is the process's: use it on the thread that
// makes the window, around a few requests.
class X11ErrorTrap {
public:
    explicit X11ErrorTrap(Display* display);
    ~X11ErrorTrap();
    X11ErrorTrap(const X11ErrorTrap&) = delete;
    X11ErrorTrap& operator=(const X11ErrorTrap&) = delete;

    bool Caught();

private:
    Display* mDisplay;
    int (*mPrevious)(Display*, XErrorEvent*);
};
