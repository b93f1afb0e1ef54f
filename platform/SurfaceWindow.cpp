#include "platform/SurfaceWindow.h"

#include <SDL.h>

#include <cstring>

#include "platform/SdlInput.h"
#include "platform/System.h"
#include "platform/X11Display.h"

std::unique_ptr<PlatformSurfaceWindow> PlatformSurfaceWindow::Create(const std::string& title, int x, int y,
                                                                     int width, int height) {
    if (!SDL_WasInit(SDL_INIT_VIDEO)) {
        // Without a display name the attempt could wait on a connection.
        if (!PlatformHasDisplayName() || !PlatformStartVideo()) return nullptr;
    }
    // A window nobody can see would wait for ever for its click (a test's
    // run with the dummy driver): no window at all, so the caller falls back.
    const char* driver = SDL_GetCurrentVideoDriver();
    if (!driver || std::strcmp(driver, "dummy") == 0 || std::strcmp(driver, "offscreen") == 0) return nullptr;
    SDL_Window* window = SDL_CreateWindow(title.c_str(), x, y, width, height, SDL_WINDOW_HIDDEN);
    if (!window) return nullptr;
    std::unique_ptr<PlatformSurfaceWindow> made(new PlatformSurfaceWindow);
    made->mWindow = window;
    made->mId = SDL_GetWindowID(window);
    // Text arrives as composed characters (dead keys, input methods).
    SDL_StartTextInput();
    return made;
}

PlatformSurfaceWindow::~PlatformSurfaceWindow() { SDL_DestroyWindow(static_cast<SDL_Window*>(mWindow)); }

void PlatformSurfaceWindow::Show() {
    auto* window = static_cast<SDL_Window*>(mWindow);
    SDL_ShowWindow(window);
    SDL_RaiseWindow(window);
    mVisible = true;
}

void PlatformSurfaceWindow::Hide() {
    SDL_HideWindow(static_cast<SDL_Window*>(mWindow));
    mVisible = false;
}

bool PlatformSurfaceWindow::Present(const Picture& picture) {
    if (picture.width <= 0 || picture.height <= 0 ||
        picture.argb.size() != static_cast<size_t>(picture.width) * picture.height)
        return false;
    auto* window = static_cast<SDL_Window*>(mWindow);
    // Asked for each time: showing or hiding the window may replace it.
    SDL_Surface* target = SDL_GetWindowSurface(window);
    SDL_Surface* source = SDL_CreateRGBSurfaceWithFormatFrom(const_cast<uint32_t*>(picture.argb.data()),
                                                             picture.width, picture.height, 32, picture.width * 4,
                                                             SDL_PIXELFORMAT_ARGB8888);
    bool shown = target && source && SDL_BlitSurface(source, nullptr, target, nullptr) == 0 &&
                 SDL_UpdateWindowSurface(window) == 0;
    if (source) SDL_FreeSurface(source);
    return shown;
}

namespace {

uint32_t WindowOf(const SDL_Event& ev) {
    switch (ev.type) {
    case SDL_MOUSEMOTION: return ev.motion.windowID;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: return ev.button.windowID;
    case SDL_MOUSEWHEEL: return ev.wheel.windowID;
    case SDL_KEYDOWN:
    case SDL_KEYUP: return ev.key.windowID;
    case SDL_TEXTINPUT: return ev.text.windowID;
    case SDL_WINDOWEVENT: return ev.window.windowID;
    default: return 0;
    }
}

}  // namespace

void PlatformWaitSurfaceEvents(int timeoutMillis, std::vector<SurfaceWindowEvent>& out) {
    SDL_Event ev;
    if (!SDL_WaitEventTimeout(&ev, timeoutMillis < 0 ? 0 : timeoutMillis)) return;
    std::vector<InputEvent> events;
    do {
        events.clear();
        PlatformTranslateEvent(ev, events);
        for (const InputEvent& e : events) out.push_back({WindowOf(ev), e});
    } while (SDL_PollEvent(&ev));
}

std::string PlatformGetClipboardText() {
    if (!SDL_WasInit(SDL_INIT_VIDEO) || !SDL_HasClipboardText()) return {};
    char* text = SDL_GetClipboardText();
    std::string out = text ? text : "";
    SDL_free(text);
    return out;
}
