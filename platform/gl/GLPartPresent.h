#pragma once
#include <memory>

// Showing only a part of the window's back buffer (GLX_MESA_copy_sub_buffer,
// which Mesa's software drivers have): a frame that changed in one small
// place is then drawn and sent to the X server there alone. Null where the
// context is not GLX or the extension is missing.
class GLPartPresenter {
public:
    // For the GL context current on `window` (an SDL_Window*).
    static std::unique_ptr<GLPartPresenter> Find(void* window);
    virtual ~GLPartPresenter() = default;
    // Copies the rectangle (drawable pixels, top-left origin) of the back
    // buffer to the window; the back buffer is kept.
    virtual void CopyToWindow(int x, int y, int width, int height, int drawableHeight) = 0;
};
