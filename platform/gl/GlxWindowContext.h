#pragma once
#include <memory>
#include <string>

// An OpenGL 3.3 core context of our own on an X11 window that SDL made
// without GL. Such a window maps and can show a picture at once (making a
// window for GL loads the GL libraries and the driver first, about as long
// as Pattern takes to show its whole board), and takes GL afterwards
// without being made again.
class GlxWindowContext {
public:
    // For the SDL window (an SDL_Window*); null, with the reason, when the
    // window is not an X11 one, GLX 1.4 with GLX_ARB_create_context is
    // missing, or no double-buffered RGBA configuration has the window's
    // visual. Current on success.
    static std::unique_ptr<GlxWindowContext> Create(void* window, std::string* error);
    ~GlxWindowContext();
    GlxWindowContext(const GlxWindowContext&) = delete;
    GlxWindowContext& operator=(const GlxWindowContext&) = delete;

    void MakeCurrent();
    void Swap();
    // 1 waits for the display's refresh, 0 does not; false when refused.
    bool SetSwapInterval(int interval);

private:
    GlxWindowContext() = default;
    void* mDisplay = nullptr;   // Display*
    unsigned long mWindow = 0;  // the X window
    void* mContext = nullptr;   // GLXContext
};
