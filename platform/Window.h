#pragma once
#include <memory>
#include <string>
#include <vector>

#include "platform/InputEvent.h"
#include "platform/Viewport.h"
#include "platform/gl/GlxWindowContext.h"

class GLPartPresenter;
class GlxWindowContext;
struct Picture;

struct WindowConfig {
    std::string title;
    int logicalWidth = 1024;
    int logicalHeight = 768;
    bool windowed = true;
    bool stretch = false;
    bool vsync = true;
    bool visible = true;
    // Made without GL where that can be done (X11 with GLX): the window can
    // then show a picture at once (ShowPicture), before the GL libraries and
    // the driver load (EnableGL).
    bool glLater = false;
};

// Ends a WaitForEvent in progress (or the next one) at once; from any thread,
// not from a signal handler. Nothing without a display.
void PlatformWakeEventWait();

// The main window with its OpenGL 3.3 core context. Creating one fails (null)
// when there is no display; the application then runs its null video path.
class PlatformWindow {
public:
    static std::unique_ptr<PlatformWindow> Create(const WindowConfig& config, std::string* error);
    ~PlatformWindow();

    PlatformWindow(const PlatformWindow&) = delete;
    PlatformWindow& operator=(const PlatformWindow&) = delete;

    void SetTitle(const std::string& title);
    void Show();
    void Hide();
    bool IsVisible() const { return mVisible; }
    // Desktop full screen, the logical frame letterboxed or stretched. Full
    // screen that the desktop cannot show (no window manager to give the
    // window the screen) is not asked for: the window stays one, and false
    // comes back with the reason in FullScreenRefusal. A window made for
    // full screen falls back the same way.
    bool SetWindowed(bool windowed);
    bool IsWindowed() const { return mWindowed; }
    // Why the last request for full screen left a window; empty when it did not.
    const std::string& FullScreenRefusal() const { return mFullScreenRefusal; }
    void SetStretch(bool stretch);
    bool SetVsync(bool on);

    // What GL draws into: on X11 the window's size as the server has it,
    // which is not always the size SDL takes it to be (full screen that no
    // window manager carried out).
    void GetDrawableSize(int& width, int& height) const;
    void GetDesktopSize(int& width, int& height) const;
    Viewport GetViewport() const;

    // Reads every pending platform event into the queue, in logical coordinates.
    void PumpEvents(std::vector<InputEvent>& out);
    // Sleeps until a platform event is pending or the time is up.
    void WaitForEvent(int timeoutMillis);
    // The display's refresh rate in Hz; 0 when it does not say.
    int GetRefreshRate() const;

    void ShowSystemCursor(bool show);
    // 0 arrow, 1 hand, 2 text beam, 3 wait, 4 crosshair, 5 move.
    void SetSystemCursor(int id);

    // A window made with glLater and no GL context yet.
    bool IsWaitingForGL() const { return mWaitingForGL; }
    // Shows an opaque picture of the window's size at once, before GL:
    // false when this window cannot.
    bool ShowPicture(const Picture& picture);
    // Gives a window made with glLater its GL context; when that cannot be
    // done on it, the window is made again the usual way (it may blink).
    // False, with the reason, when no GL window can be had.
    bool EnableGL(std::string* error);

    void MakeCurrent();
    void Present();
    // Whether PresentPart works here: the back buffer's rectangle (drawable
    // pixels, top-left origin) is shown without a swap, the rest of the
    // window keeping what it shows, and the back buffer keeps what was
    // drawn. SDL's offscreen driver draws into a buffer nothing swaps, so
    // there it always holds. What falls outside the drawable is left out.
    bool CanPresentPart() const { return mPartPresenter != nullptr || mOffscreen; }
    void PresentPart(int x, int y, int width, int height);

    // Native handles for the GL backend; opaque above the platform layer.
    void* NativeWindow() const { return mWindow; }

private:
    PlatformWindow() = default;
    // The SDL window with its GL context, the usual way.
    bool MakeGLWindow(const WindowConfig& config, std::string* error);
    void AfterContext(const WindowConfig& config);
    // Follows the window's size as the X server has it (X11 only).
    void WatchRealSize();
    bool CanShowFullScreen();

    void* mWindow = nullptr;     // SDL_Window*
    void* mContext = nullptr;    // SDL_GLContext
    std::unique_ptr<GLPartPresenter> mPartPresenter;
    std::unique_ptr<GlxWindowContext> mGlx;  // the context of a window made without GL
    bool mWaitingForGL = false;
    WindowConfig mConfig;
    bool mOffscreen = false;     // SDL's offscreen driver
    std::vector<void*> mCursors; // SDL_Cursor*
    int mLogicalWidth = 1024;
    int mLogicalHeight = 768;
    bool mWindowed = true;
    bool mStretch = false;
    bool mVisible = false;
    bool mJustWaited = false;  // the events are read; the next pump need not
    bool mHaveRealSize = false;  // X11: the server's size of the window below
    int mRealWidth = 0;
    int mRealHeight = 0;
    std::string mFullScreenRefusal;
};

// Whether a video device can be opened at all (false under a bare CI shell).
bool PlatformHasDisplay();
