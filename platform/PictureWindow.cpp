#include "platform/PictureWindow.h"

#include <SDL.h>
#include <SDL_syswm.h>
#include <X11/Xlib.h>

#include <algorithm>
#include <utility>

#include "platform/System.h"
#include "platform/X11Display.h"
#include "platform/X11Native.h"

PictureWindowInput::PictureWindowInput(std::vector<int> heldAtShow, bool serverKeys)
    : mHeld(std::move(heldAtShow)), mServerKeys(serverKeys) {}

bool PictureWindowInput::Closes(const PictureWindowEvent& event) {
    using Kind = PictureWindowEvent::Kind;
    switch (event.kind) {
        case Kind::Quit:
        case Kind::Close:
            return true;
        case Kind::KeyDown:
            if (event.fromServer != mServerKeys || event.repeat) return false;
            return std::find(mHeld.begin(), mHeld.end(), event.key) == mHeld.end();
        case Kind::KeyUp:
            if (event.fromServer == mServerKeys) std::erase(mHeld, event.key);
            return false;
        case Kind::Other:
            break;
    }
    return false;
}

namespace {

// What is down on the keyboard now, and how the window will hear of presses.
// On X11 that is the server's own key map, and the presses are the server's
// key events: SDL forgets the held keys when the focus moves, so the first
// repeat of a key held since before reaches us as a fresh key-down.
struct KeyWatch {
    bool raw = false;  // X keycodes from SDL_SYSWMEVENTs, not SDL's key events
    std::vector<int> held;
};

KeyWatch WatchKeys(SDL_Window* window) {
    KeyWatch watch;
    Display* display = X11DisplayOf(window);
    // Presses from before the window showed (the game may not have read its
    // events for a while) are taken off the queue unseen.
    if (display) XSync(display, False);
    SDL_PumpEvents();
    SDL_FlushEvents(SDL_KEYDOWN, SDL_KEYUP);
    if (display) {
        char keys[32] = {};
        XQueryKeymap(display, keys);
        for (int code = 0; code < 256; ++code)
            if (keys[code / 8] & (1 << (code % 8))) watch.held.push_back(code);
        watch.raw = true;
    } else {
        int count = 0;
        const Uint8* state = SDL_GetKeyboardState(&count);
        for (int code = 0; code < count; ++code)
            if (state[code]) watch.held.push_back(code);
    }
    return watch;
}

}  // namespace

bool PlatformShowPictureWindow(const std::string& title, const Picture& picture) {
    if (picture.width <= 0 || picture.height <= 0 ||
        picture.argb.size() != static_cast<size_t>(picture.width) * picture.height)
        return false;
    bool startedVideo = false;
    if (!SDL_WasInit(SDL_INIT_VIDEO)) {
        if (!PlatformStartVideo()) return false;
        startedVideo = true;
    }
    // SDL may draw this window's surface through a GL context of its own,
    // made current here and deleted with the window: the game's context is
    // made current again after it, or every GL call that follows (the
    // renderer's releases on the way out among them) finds none.
    SDL_Window* glWindow = SDL_GL_GetCurrentWindow();
    SDL_GLContext glContext = SDL_GL_GetCurrentContext();
    SDL_Window* window = SDL_CreateWindow(title.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                                          picture.width, picture.height, SDL_WINDOW_SHOWN);
    SDL_Surface* source = SDL_CreateRGBSurfaceWithFormatFrom(
        const_cast<uint32_t*>(picture.argb.data()), picture.width, picture.height, 32,
        picture.width * 4, SDL_PIXELFORMAT_ARGB8888);
    bool shown = window && source;
    if (shown) {
        SDL_RaiseWindow(window);
        auto paint = [&] {
            if (SDL_Surface* target = SDL_GetWindowSurface(window)) {
                SDL_BlitSurface(source, nullptr, target, nullptr);
                SDL_UpdateWindowSurface(window);
            }
        };
        paint();
        KeyWatch keyWatch = WatchKeys(window);
        PictureWindowInput input(std::move(keyWatch.held), keyWatch.raw);
        const Uint8 wmEvents = SDL_EventState(SDL_SYSWMEVENT, keyWatch.raw ? SDL_ENABLE : SDL_QUERY);
        // A quit signal (a session ending, a script stopping us) closes it.
        for (bool open = true; open && !PlatformQuitSignalled();) {
            SDL_Event e;
            if (!SDL_WaitEventTimeout(&e, 250)) continue;
            PictureWindowEvent event;
            using Kind = PictureWindowEvent::Kind;
            switch (e.type) {
                case SDL_QUIT:
                    event.kind = Kind::Quit;
                    break;
                case SDL_SYSWMEVENT:
                    if (e.syswm.msg && e.syswm.msg->subsystem == SDL_SYSWM_X11) {
                        const XEvent& x = e.syswm.msg->msg.x11.event;
                        // SDL asks the server for no release between a held
                        // key's repeats: a repeat is a press of a held key.
                        if (x.type == KeyPress || x.type == KeyRelease) {
                            event.kind = x.type == KeyPress ? Kind::KeyDown : Kind::KeyUp;
                            event.key = static_cast<int>(x.xkey.keycode);
                            event.fromServer = true;
                        }
                    }
                    break;
                case SDL_KEYDOWN:
                case SDL_KEYUP:
                    event.kind = e.type == SDL_KEYDOWN ? Kind::KeyDown : Kind::KeyUp;
                    event.key = e.key.keysym.scancode;
                    event.repeat = e.key.repeat != 0;
                    break;
                case SDL_WINDOWEVENT:
                    if (e.window.event == SDL_WINDOWEVENT_CLOSE)
                        event.kind = Kind::Close;
                    else if (e.window.event == SDL_WINDOWEVENT_EXPOSED ||
                             e.window.event == SDL_WINDOWEVENT_SIZE_CHANGED)
                        paint();
                    break;
                default:
                    break;
            }
            if (input.Closes(event)) open = false;
        }
        SDL_EventState(SDL_SYSWMEVENT, wmEvents);
    }
    if (source) SDL_FreeSurface(source);
    if (window) SDL_DestroyWindow(window);
    if (glWindow && glContext) SDL_GL_MakeCurrent(glWindow, glContext);
    if (startedVideo) SDL_QuitSubSystem(SDL_INIT_VIDEO);
    return shown;
}
