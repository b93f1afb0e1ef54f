#include "platform/Window.h"

#include <SDL.h>
#include <epoxy/gl.h>

#include "platform/PictureWindow.h"
#include "platform/SdlInput.h"
#include "platform/X11Display.h"
#include "platform/X11Picture.h"
#include "platform/gl/GLPartPresent.h"

#include <cstdio>

bool PlatformHasDisplay() {
    if (SDL_WasInit(SDL_INIT_VIDEO)) return true;
    return PlatformStartVideo();
}

void PlatformWakeEventWait() {
    if (!SDL_WasInit(SDL_INIT_VIDEO)) return;
    // An event of our own: the wait ends on it, and the pump drops it (it
    // translates to nothing).
    static const Uint32 kWakeEvent = SDL_RegisterEvents(1);
    if (kWakeEvent == static_cast<Uint32>(-1)) return;
    SDL_Event event{};
    event.type = kWakeEvent;
    SDL_PushEvent(&event);
}

namespace {
// An X error while the window was made (one that nothing expected) means the
// window cannot be shown.
bool RefusedByServer(void* window, uint64_t errorsBefore, std::string* error) {
    if (PlatformXErrorCount(window) == errorsBefore) return false;
    if (error) *error = "the X server refused the window (" + PlatformLastXError() + ")";
    return true;
}

Uint32 WindowFlags(const WindowConfig& config) {
    Uint32 flags = SDL_WINDOW_RESIZABLE | SDL_WINDOW_ALLOW_HIGHDPI;
    flags |= config.visible ? SDL_WINDOW_SHOWN : SDL_WINDOW_HIDDEN;
    if (!config.windowed) flags |= SDL_WINDOW_FULLSCREEN_DESKTOP;
    return flags;
}
}  // namespace

std::unique_ptr<PlatformWindow> PlatformWindow::Create(const WindowConfig& config,
                                                       std::string* error) {
    if (config.glLater) {
        // True colour, the visual GL takes: SDL would pick a direct colour
        // one where the server has it.
        if (!SDL_WasInit(SDL_INIT_VIDEO)) SDL_setenv("SDL_VIDEO_X11_NODIRECTCOLOR", "1", 0);
    }
    if (!PlatformHasDisplay()) {
        if (error) *error = SDL_GetError();
        return nullptr;
    }
    std::unique_ptr<PlatformWindow> w(new PlatformWindow());
    w->mConfig = config;
    // Full screen the desktop cannot show is a window from the start.
    if (!config.windowed && !w->CanShowFullScreen()) w->mConfig.windowed = true;
    w->mLogicalWidth = config.logicalWidth;
    w->mLogicalHeight = config.logicalHeight;
    w->mWindowed = w->mConfig.windowed;
    w->mStretch = config.stretch;
    w->mVisible = config.visible;
    const char* driver = SDL_GetCurrentVideoDriver();
    if (config.glLater && driver && SDL_strcmp(driver, "x11") == 0) {
        const uint64_t xErrors = PlatformXErrorCount(nullptr);
        w->mWindow = SDL_CreateWindow(config.title.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                                      config.logicalWidth, config.logicalHeight, WindowFlags(w->mConfig));
        if (w->mWindow && RefusedByServer(w->mWindow, xErrors, error)) return nullptr;
        if (w->mWindow) {
            w->mWaitingForGL = true;
            w->WatchRealSize();
            SDL_StartTextInput();
            return w;
        }
    }
    if (!w->MakeGLWindow(w->mConfig, error)) return nullptr;
    return w;
}

bool PlatformWindow::MakeGLWindow(const WindowConfig& config, std::string* error) {
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    const uint64_t xErrors = PlatformXErrorCount(nullptr);
    SDL_Window* window = SDL_CreateWindow(config.title.c_str(), SDL_WINDOWPOS_CENTERED,
                                          SDL_WINDOWPOS_CENTERED, config.logicalWidth,
                                          config.logicalHeight, WindowFlags(config) | SDL_WINDOW_OPENGL);
    if (!window) {
        if (error) *error = SDL_GetError();
        return false;
    }
    SDL_GLContext context = SDL_GL_CreateContext(window);
    if (!context || RefusedByServer(window, xErrors, error)) {
        if (!context && error) *error = SDL_GetError();
        if (context) SDL_GL_DeleteContext(context);
        SDL_DestroyWindow(window);
        return false;
    }
    mWindow = window;
    mContext = context;
    WatchRealSize();
    AfterContext(config);
    SDL_StartTextInput();
    return true;
}

void PlatformWindow::AfterContext(const WindowConfig& config) {
    SetVsync(config.vsync);
    mPartPresenter = GLPartPresenter::Find(mWindow);
    const char* driver = SDL_GetCurrentVideoDriver();
    mOffscreen = !mPartPresenter && driver && SDL_strcmp(driver, "offscreen") == 0;
}

bool PlatformWindow::ShowPicture(const Picture& picture) {
    if (!mWaitingForGL || !mVisible) return false;
    return PutX11WindowPicture(mWindow, picture);
}

bool PlatformWindow::EnableGL(std::string* error) {
    if (!mWaitingForGL) return mContext != nullptr || mGlx != nullptr;
    mWaitingForGL = false;
    std::string why;
    const uint64_t xErrors = PlatformXErrorCount(mWindow);
    mGlx = GlxWindowContext::Create(mWindow, &why);
    if (mGlx && RefusedByServer(mWindow, xErrors, &why)) mGlx.reset();
    if (mGlx) {
        AfterContext(mConfig);
        return true;
    }
    // This window cannot take GL: one that can replaces it.
    SDL_DestroyWindow(static_cast<SDL_Window*>(mWindow));
    mWindow = nullptr;
    WindowConfig config = mConfig;
    config.visible = mVisible;
    if (MakeGLWindow(config, error)) return true;
    if (error) *error = why + "; " + *error;
    return false;
}

PlatformWindow::~PlatformWindow() {
    for (void* c : mCursors)
        if (c) SDL_FreeCursor(static_cast<SDL_Cursor*>(c));
    mPartPresenter.reset();
    mGlx.reset();
    if (mContext) SDL_GL_DeleteContext(static_cast<SDL_GLContext>(mContext));
    if (mWindow) SDL_DestroyWindow(static_cast<SDL_Window*>(mWindow));
}

void PlatformWindow::SetTitle(const std::string& title) {
    SDL_SetWindowTitle(static_cast<SDL_Window*>(mWindow), title.c_str());
}

void PlatformWindow::Show() {
    SDL_ShowWindow(static_cast<SDL_Window*>(mWindow));
    SDL_RaiseWindow(static_cast<SDL_Window*>(mWindow));
    mVisible = true;
}

void PlatformWindow::Hide() {
    SDL_HideWindow(static_cast<SDL_Window*>(mWindow));
    mVisible = false;
}

bool PlatformWindow::CanShowFullScreen() {
    mFullScreenRefusal.clear();
    if (X11FullScreenShowable(mWindow, &mFullScreenRefusal)) {
        mFullScreenRefusal.clear();
        return true;
    }
    return false;
}

bool PlatformWindow::SetWindowed(bool windowed) {
    auto* w = static_cast<SDL_Window*>(mWindow);
    // SDL would take the window for the screen's size while it keeps its
    // own, and draw and present for a size it does not have.
    const bool refused = !windowed && !CanShowFullScreen();
    if (refused) windowed = true;
    if (SDL_SetWindowFullscreen(w, windowed ? 0 : SDL_WINDOW_FULLSCREEN_DESKTOP) != 0) {
        if (!windowed) mFullScreenRefusal = SDL_GetError();
        return false;
    }
    if (windowed) {
        SDL_SetWindowSize(w, mLogicalWidth, mLogicalHeight);
        SDL_SetWindowPosition(w, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED);
    }
    mWindowed = windowed;
    return !refused;
}

void PlatformWindow::SetStretch(bool stretch) { mStretch = stretch; }

bool PlatformWindow::SetVsync(bool on) {
    if (mGlx) return mGlx->SetSwapInterval(on ? 1 : 0);
    return SDL_GL_SetSwapInterval(on ? 1 : 0) == 0;
}

void PlatformWindow::WatchRealSize() {
    mHaveRealSize = X11WindowSize(mWindow, mRealWidth, mRealHeight);
    if (mHaveRealSize) X11WatchWindowSize();
}

void PlatformWindow::GetDrawableSize(int& width, int& height) const {
    if (mHaveRealSize) {
        width = mRealWidth;
        height = mRealHeight;
        return;
    }
    SDL_GL_GetDrawableSize(static_cast<SDL_Window*>(mWindow), &width, &height);
}

void PlatformWindow::GetDesktopSize(int& width, int& height) const {
    SDL_DisplayMode mode;
    int index = SDL_GetWindowDisplayIndex(static_cast<SDL_Window*>(mWindow));
    if (SDL_GetDesktopDisplayMode(index < 0 ? 0 : index, &mode) == 0) {
        width = mode.w;
        height = mode.h;
    } else {
        width = mLogicalWidth;
        height = mLogicalHeight;
    }
}

Viewport PlatformWindow::GetViewport() const {
    int w = 0, h = 0;
    GetDrawableSize(w, h);
    return ComputeViewport(w, h, mLogicalWidth, mLogicalHeight, mStretch);
}

void PlatformWindow::PumpEvents(std::vector<InputEvent>& out) {
    auto* window = static_cast<SDL_Window*>(mWindow);
    // Mouse positions arrive in window points; the viewport is in drawable
    // pixels. Asked for only when a mouse event needs them.
    int ww = 1, wh = 1, dw = 1, dh = 1;
    Viewport view;
    bool haveView = false;
    auto toLogical = [&](int x, int y, InputEvent& e) {
        if (!haveView) {
            GetDrawableSize(dw, dh);
            // On X11 positions come in the server's pixels of the window.
            if (mHaveRealSize) {
                ww = dw;
                wh = dh;
            } else {
                SDL_GetWindowSize(window, &ww, &wh);
            }
            view = GetViewport();
            haveView = true;
        }
        int px = ww > 0 ? x * dw / ww : x;
        int py = wh > 0 ? y * dh / wh : y;
        WindowToLogical(view, mLogicalWidth, mLogicalHeight, px, py, e.x, e.y);
    };
    // One read of the display connection per pass (polling event by event
    // would read it again for each), none right after a wait, which read it.
    if (!mJustWaited) SDL_PumpEvents();
    mJustWaited = false;
    SDL_Event ev;
    while (SDL_PeepEvents(&ev, 1, SDL_GETEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT) > 0) {
        if (mHaveRealSize && X11ResizedTo(&ev, mWindow, mRealWidth, mRealHeight)) {
            haveView = false;
            continue;
        }
        size_t first = out.size();
        PlatformTranslateEvent(ev, out);
        for (size_t i = first; i < out.size(); ++i) {
            InputEvent& e = out[i];
            if (e.type == InputEvent::MouseMove || e.type == InputEvent::MouseDown || e.type == InputEvent::MouseUp)
                toLogical(e.x, e.y, e);
        }
    }
}

void PlatformWindow::WaitForEvent(int timeoutMillis) {
    SDL_WaitEventTimeout(nullptr, timeoutMillis);
    mJustWaited = true;
}

int PlatformWindow::GetRefreshRate() const {
    SDL_DisplayMode mode;
    if (SDL_GetWindowDisplayMode(static_cast<SDL_Window*>(mWindow), &mode) == 0 && mode.refresh_rate > 0)
        return mode.refresh_rate;
    int index = SDL_GetWindowDisplayIndex(static_cast<SDL_Window*>(mWindow));
    if (SDL_GetDesktopDisplayMode(index < 0 ? 0 : index, &mode) == 0) return mode.refresh_rate;
    return 0;
}

void PlatformWindow::ShowSystemCursor(bool show) { SDL_ShowCursor(show ? SDL_ENABLE : SDL_DISABLE); }

void PlatformWindow::SetSystemCursor(int id) {
    static const SDL_SystemCursor kIds[] = {SDL_SYSTEM_CURSOR_ARROW,     SDL_SYSTEM_CURSOR_HAND,
                                            SDL_SYSTEM_CURSOR_IBEAM,     SDL_SYSTEM_CURSOR_WAIT,
                                            SDL_SYSTEM_CURSOR_CROSSHAIR, SDL_SYSTEM_CURSOR_SIZEALL};
    const int count = static_cast<int>(sizeof(kIds) / sizeof(kIds[0]));
    if (id < 0 || id >= count) id = 0;
    if (mCursors.empty()) mCursors.assign(count, nullptr);
    if (!mCursors[id]) mCursors[id] = SDL_CreateSystemCursor(kIds[id]);
    if (mCursors[id]) SDL_SetCursor(static_cast<SDL_Cursor*>(mCursors[id]));
}

void PlatformWindow::MakeCurrent() {
    if (mGlx) {
        mGlx->MakeCurrent();
        return;
    }
    SDL_GL_MakeCurrent(static_cast<SDL_Window*>(mWindow), static_cast<SDL_GLContext>(mContext));
}

void PlatformWindow::Present() {
    if (mGlx) {
        mGlx->Swap();
        return;
    }
    SDL_GL_SwapWindow(static_cast<SDL_Window*>(mWindow));
}

void PlatformWindow::PresentPart(int x, int y, int width, int height) {
    if (!mPartPresenter) {
        if (mOffscreen) glFlush();
        return;
    }
    int drawableWidth = 0, drawableHeight = 0;
    GetDrawableSize(drawableWidth, drawableHeight);
    if (!ClipToDrawable(x, y, width, height, drawableWidth, drawableHeight)) return;
    mPartPresenter->CopyToWindow(x, y, width, height, drawableHeight);
}
