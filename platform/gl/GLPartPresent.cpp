#include "platform/gl/GLPartPresent.h"

#include <epoxy/glx.h>

#include "platform/X11Native.h"

namespace {

class GlxPartPresenter : public GLPartPresenter {
public:
    GlxPartPresenter(Display* display, GLXDrawable drawable) : mDisplay(display), mDrawable(drawable) {}
    void CopyToWindow(int x, int y, int width, int height, int drawableHeight) override {
        glXCopySubBufferMESA(mDisplay, mDrawable, x, drawableHeight - y - height, width, height);
    }

private:
    Display* mDisplay;
    GLXDrawable mDrawable;
};

}  // namespace

std::unique_ptr<GLPartPresenter> GLPartPresenter::Find(void* window) {
    Display* display = X11DisplayOf(window);
    if (!display || !epoxy_has_glx(display) || !glXGetCurrentContext()) return nullptr;
    if (!epoxy_has_glx_extension(display, DefaultScreen(display), "GLX_MESA_copy_sub_buffer")) return nullptr;
    const GLXDrawable drawable = glXGetCurrentDrawable();
    if (!drawable) return nullptr;
    return std::make_unique<GlxPartPresenter>(display, drawable);
}
