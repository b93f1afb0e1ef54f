// What the two outside watchers (first_frame, damage_probe) share: finding a
// program's windows on the X server, a monotonic clock in ms, and ending the
// program they started.
#pragma once

#include <X11/Xlib.h>
#include <sys/types.h>

#include <vector>

double NowMs();

// An X error handler that ignores the error: a window may vanish between
// listing and asking.
int IgnoreXError(Display*, XErrorEvent*);

// The window's _NET_WM_PID, 0 when it has none.
long WindowPid(Display* display, Window window);

// The root's viewable InputOutput children of at least 100 x 100 pixels that
// belong to `child`, or, with `acceptUnowned`, that name no owner at all.
std::vector<Window> ProgramWindows(Display* display, pid_t child, bool acceptUnowned);

// SIGTERM, then SIGKILL after 2 s; reaped either way.
void EndProgram(pid_t child);
