#include "platform/gl/GlxWindowContext.h"

#include <epoxy/glx.h>

#include "platform/X11Native.h"

std::unique_ptr<GlxWindowContext> GlxWindowContext::Create(void* window, std::string* error) {
    auto fail = [error](const char* why) {
        if (error) *error = why;
        return nullptr;
    };
    ::Window xwindow = 0;
    Display* display = X11DisplayOf(window, &xwindow);
    if (!display) return fail("not an X11 window");
    if (!epoxy_has_glx(display)) return fail("no GLX");
    const int screen = DefaultScreen(display);
    if (epoxy_glx_version(display, screen) < 14 ||
        !epoxy_has_glx_extension(display, screen, "GLX_ARB_create_context_profile"))
        return fail("no GLX_ARB_create_context_profile");
    XWindowAttributes attributes{};
    if (!XGetWindowAttributes(display, xwindow, &attributes)) return fail("the window has no attributes");
    const VisualID visual = XVisualIDFromVisual(attributes.visual);
    const int wanted[] = {GLX_X_RENDERABLE, True, GLX_DRAWABLE_TYPE, GLX_WINDOW_BIT, GLX_RENDER_TYPE, GLX_RGBA_BIT,
                          GLX_DOUBLEBUFFER, True, GLX_RED_SIZE, 8, GLX_GREEN_SIZE, 8, GLX_BLUE_SIZE, 8, None};
    int count = 0;
    GLXFBConfig* configs = glXChooseFBConfig(display, screen, wanted, &count);
    GLXFBConfig chosen = nullptr;
    for (int i = 0; i < count && !chosen; ++i) {
        int id = 0;
        if (glXGetFBConfigAttrib(display, configs[i], GLX_VISUAL_ID, &id) == Success &&
            static_cast<VisualID>(id) == visual)
            chosen = configs[i];
    }
    if (configs) XFree(configs);
    if (!chosen) return fail("no GL configuration has the window's visual");
    const int contextAttributes[] = {GLX_CONTEXT_MAJOR_VERSION_ARB, 3, GLX_CONTEXT_MINOR_VERSION_ARB, 3,
                                     GLX_CONTEXT_PROFILE_MASK_ARB, GLX_CONTEXT_CORE_PROFILE_BIT_ARB, None};
    // A refused context is an X error, not a null return alone.
    GLXContext context = nullptr;
    bool refused = false;
    {
        X11ErrorTrap trap(display);
        context = glXCreateContextAttribsARB(display, chosen, nullptr, True, contextAttributes);
        refused = trap.Caught();
    }
    if (!context || refused) {
        if (context) glXDestroyContext(display, context);
        return fail("no OpenGL 3.3 core context");
    }
    if (!glXMakeCurrent(display, xwindow, context)) {
        glXDestroyContext(display, context);
        return fail("the context cannot be made current");
    }
    std::unique_ptr<GlxWindowContext> made(new GlxWindowContext());
    made->mDisplay = display;
    made->mWindow = xwindow;
    made->mContext = context;
    return made;
}

GlxWindowContext::~GlxWindowContext() {
    auto* display = static_cast<Display*>(mDisplay);
    if (glXGetCurrentContext() == static_cast<GLXContext>(mContext)) glXMakeCurrent(display, None, nullptr);
    glXDestroyContext(display, static_cast<GLXContext>(mContext));
}

void GlxWindowContext::MakeCurrent() {
    glXMakeCurrent(static_cast<Display*>(mDisplay), mWindow, static_cast<GLXContext>(mContext));
}

void GlxWindowContext::Swap() { glXSwapBuffers(static_cast<Display*>(mDisplay), mWindow); }

bool GlxWindowContext::SetSwapInterval(int interval) {
    auto* display = static_cast<Display*>(mDisplay);
    const int screen = DefaultScreen(display);
    if (epoxy_has_glx_extension(display, screen, "GLX_EXT_swap_control")) {
        glXSwapIntervalEXT(display, mWindow, interval);
        return true;
    }
    if (epoxy_has_glx_extension(display, screen, "GLX_MESA_swap_control"))
        return glXSwapIntervalMESA(static_cast<unsigned>(interval)) == 0;
    return interval == 0;
}
