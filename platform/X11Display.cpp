#include "platform/X11Display.h"

#include <SDL.h>
#include <SDL_syswm.h>
#include <X11/Xatom.h>

#include <atomic>
#include <cstdio>
#include <mutex>
#include <set>
#include <tuple>
#include <vector>

#include "platform/X11Native.h"

namespace {

std::atomic<uint64_t> gXErrors{0};
std::mutex gXErrorLock;
std::string gLastXError;
std::set<std::tuple<int, int, int>> gToldXErrors;  // (error, request, minor)

int KeepXError(Display* display, XErrorEvent* error) {
    // Only local lookups here: a request from inside the handler is not
    // allowed.
    char text[160] = "";
    XGetErrorText(display, error->error_code, text, sizeof text);
    char line[256];
    std::snprintf(line, sizeof line, "%s, request %d.%d", text, error->request_code, error->minor_code);
    bool tell = false;
    {
        std::lock_guard<std::mutex> lock(gXErrorLock);
        gLastXError = line;
        tell = gToldXErrors.emplace(error->error_code, error->request_code, error->minor_code).second;
    }
    ++gXErrors;
    if (tell) std::fprintf(stderr, "X error (told once; the game goes on): %s\n", line);
    return 0;
}

int gTrapped = 0;
int TrapXError(Display*, XErrorEvent*) {
    ++gTrapped;
    return 0;
}

bool OnX11() {
    const char* driver = SDL_GetCurrentVideoDriver();
    return driver && SDL_strcmp(driver, "x11") == 0;
}

// A 32-bit property of a window (the first `count` items); empty when the
// window lacks it, or is gone.
std::vector<unsigned long> ReadProperty(Display* display, ::Window window, Atom name, Atom type, long count) {
    std::vector<unsigned long> items;
    if (name == None) return items;
    Atom actualType = None;
    int format = 0;
    unsigned long n = 0, after = 0;
    unsigned char* data = nullptr;
    X11ErrorTrap trap(display);
    const int status =
        XGetWindowProperty(display, window, name, 0, count, False, type, &actualType, &format, &n, &after, &data);
    if (!trap.Caught() && status == Success && data && actualType == type && format == 32) {
        const auto* values = reinterpret_cast<const unsigned long*>(data);  // Xlib keeps 32-bit items in longs
        items.assign(values, values + n);
    }
    if (data) XFree(data);
    return items;
}

// EWMH: a live window manager names its check window on the root and on
// the window itself, and lists the states it takes.
bool WindowManagerTakesFullScreen(Display* display, std::string* why) {
    const ::Window root = DefaultRootWindow(display);
    const Atom check = XInternAtom(display, "_NET_SUPPORTING_WM_CHECK", True);
    const std::vector<unsigned long> named = ReadProperty(display, root, check, XA_WINDOW, 1);
    const bool managed = !named.empty() && ReadProperty(display, named[0], check, XA_WINDOW, 1) == named;
    if (!managed) {
        if (why) *why = "no window manager runs on this display";
        return false;
    }
    const Atom fullScreen = XInternAtom(display, "_NET_WM_STATE_FULLSCREEN", True);
    const Atom supported = XInternAtom(display, "_NET_SUPPORTED", True);
    for (unsigned long atom : ReadProperty(display, root, supported, XA_ATOM, 4096))
        if (fullScreen != None && atom == fullScreen) return true;
    if (why) *why = "the window manager does not take full-screen windows";
    return false;
}

}  // namespace

Display* X11DisplayOf(void* sdlWindow, ::Window* window) {
    if (!sdlWindow) return nullptr;
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!SDL_GetWindowWMInfo(static_cast<SDL_Window*>(sdlWindow), &info) || info.subsystem != SDL_SYSWM_X11)
        return nullptr;
    if (window) *window = info.info.x11.window;
    return info.info.x11.display;
}

X11ErrorTrap::X11ErrorTrap(Display* display) : mDisplay(display) {
    XSync(mDisplay, False);  // earlier requests' errors are not ours to catch
    gTrapped = 0;
    mPrevious = XSetErrorHandler(TrapXError);
}

X11ErrorTrap::~X11ErrorTrap() { XSetErrorHandler(mPrevious); }

bool X11ErrorTrap::Caught() {
    XSync(mDisplay, False);
    return gTrapped > 0;
}

bool PlatformStartVideo() {
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return false;
    if (OnX11()) XSetErrorHandler(KeepXError);
    return true;
}

uint64_t PlatformXErrorCount(void* sdlWindow) {
    if (Display* display = X11DisplayOf(sdlWindow)) XSync(display, False);
    return gXErrors.load();
}

std::string PlatformLastXError() {
    std::lock_guard<std::mutex> lock(gXErrorLock);
    return gLastXError;
}

bool PlatformProvokeXErrorForTest(void* sdlWindow) {
    Display* display = X11DisplayOf(sdlWindow);
    if (!display) return false;
    // A window id no client was given: BadWindow.
    XMapWindow(display, static_cast<::Window>(0x1fffffff));
    XSync(display, False);
    return true;
}

bool X11FullScreenShowable(void* sdlWindow, std::string* why) {
    if (!OnX11()) return true;
    Display* display = X11DisplayOf(sdlWindow);
    Display* own = nullptr;
    if (!display) display = own = XOpenDisplay(nullptr);
    if (!display) return true;  // SDL's own connection answers, as before
    const bool showable = WindowManagerTakesFullScreen(display, why);
    if (own) XCloseDisplay(own);
    return showable;
}

bool X11WindowSize(void* sdlWindow, int& width, int& height) {
    ::Window window = 0;
    Display* display = X11DisplayOf(sdlWindow, &window);
    if (!display) return false;
    ::Window root = 0;
    int x = 0, y = 0;
    unsigned w = 0, h = 0, border = 0, depth = 0;
    if (!XGetGeometry(display, window, &root, &x, &y, &w, &h, &border, &depth)) return false;
    width = static_cast<int>(w);
    height = static_cast<int>(h);
    return true;
}

void X11WatchWindowSize() { SDL_EventState(SDL_SYSWMEVENT, SDL_ENABLE); }

bool X11ResizedTo(const void* sdlEvent, void* sdlWindow, int& width, int& height) {
    const auto* e = static_cast<const SDL_Event*>(sdlEvent);
    if (e->type != SDL_SYSWMEVENT || !e->syswm.msg || e->syswm.msg->subsystem != SDL_SYSWM_X11) return false;
    const XEvent& x = e->syswm.msg->msg.x11.event;
    ::Window window = 0;
    if (x.type != ConfigureNotify || !X11DisplayOf(sdlWindow, &window) || x.xconfigure.window != window) return false;
    width = x.xconfigure.width;
    height = x.xconfigure.height;
    return true;
}
