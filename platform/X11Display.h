#pragma once
#include <cstdint>
#include <string>

// The X server behind SDL's windows, where SDL leaves us to it.
//
// An X protocol error is not the end of the game: Xlib's own handler (and
// SDL's, which passes errors on to it) would end the process on the first
// one, with a few lines on stderr and no word to the player. Ours tells each
// kind of error once on stderr, counts them and lets the game go on; where
// one means the window cannot be made, the window's creation says so.

// Starts SDL's video subsystem (counted, as SDL_InitSubSystem) and puts our
// handler in place, again after SDL's video starts anew (it puts its own
// back each time). False when the video cannot start.
bool PlatformStartVideo();

// How many X protocol errors reached our handler in this run, after every
// request the window's connection sent has been answered; the last, told as
// "BadValue (...), request 130.3". A window that is not an X11 one (or
// null) answers for what has already arrived.
uint64_t PlatformXErrorCount(void* sdlWindow);
std::string PlatformLastXError();
// Sends the window's X server one request it refuses, for the tests of the
// handler; false when the window is not an X11 one.
bool PlatformProvokeXErrorForTest(void* sdlWindow);

// Whether the desktop can give a window the whole screen: on X11, a window
// manager must take the request (_NET_WM_STATE_FULLSCREEN); without one the
// window keeps its size while SDL takes it for the screen's. Asks the
// window's connection, or one of its own when the window is null. True
// off X11, where SDL's request is the whole story. `why` says what is
// missing.
bool X11FullScreenShowable(void* sdlWindow, std::string* why);

// The window's size as the X server has it: the drawable GL draws into.
// False when the window is not an X11 one.
bool X11WindowSize(void* sdlWindow, int& width, int& height);
// Starts SDL's reports of the window system's own events (SDL_SYSWMEVENT),
// which carry the window's size as the server changes it.
void X11WatchWindowSize();
// The new size of the window when the event (an SDL_Event*) is the server
// telling of it.
bool X11ResizedTo(const void* sdlEvent, void* sdlWindow, int& width, int& height);
