#pragma once
#include <memory>
#include <string>
#include <vector>

#include "platform/InputEvent.h"
#include "platform/Viewport.h"

class GLPartPresenter;

struct WindowConfig {
    std::string title;
    int logicalWidth = 1024;
    int logicalHeight = 768;
    bool windowed = true;
    bool stretch = false;
    bool vsync = true;
    bool visible = true;
};

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
    // Desktop full screen, the logical frame letterboxed or stretched.
    bool SetWindowed(bool windowed);
    bool IsWindowed() const { return mWindowed; }
    void SetStretch(bool stretch);
    bool SetVsync(bool on);

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

    void MakeCurrent();
    void Present();
    // Whether PresentPart works here: the back buffer's rectangle (drawable
    // pixels, top-left origin) is shown without a swap, the rest of the
    // window keeping what it shows, and the back buffer keeps what was
    // drawn. SDL's offscreen driver draws into a buffer nothing swaps, so
    // there it always holds.
    bool CanPresentPart() const { return mPartPresenter != nullptr || mOffscreen; }
    void PresentPart(int x, int y, int width, int height);

    // Native handles for the GL backend; opaque above the platform layer.
    void* NativeWindow() const { return mWindow; }

private:
    PlatformWindow() = default;

    void* mWindow = nullptr;     // SDL_Window*
    void* mContext = nullptr;    // SDL_GLContext
    std::unique_ptr<GLPartPresenter> mPartPresenter;
    bool mOffscreen = false;     // SDL's offscreen driver
    std::vector<void*> mCursors; // SDL_Cursor*
    int mLogicalWidth = 1024;
    int mLogicalHeight = 768;
    bool mWindowed = true;
    bool mStretch = false;
    bool mVisible = false;
    bool mJustWaited = false;  // the events are read; the next pump need not
};

// Whether a video device can be opened at all (false under a bare CI shell).
bool PlatformHasDisplay();
