#include "tests/support/GLTestWindow.h"

#include <string>

#include "platform/System.h"
#include "platform/Window.h"

PlatformWindow* SharedTestGLWindow() {
    static PlatformWindow* window = nullptr;
    static bool tried = false;
    if (!tried) {
        tried = true;
        if (PlatformGetEnv("SDL_VIDEODRIVER").empty() && PlatformGetEnv("DISPLAY").empty() &&
            PlatformGetEnv("WAYLAND_DISPLAY").empty())
            PlatformSetEnv("SDL_VIDEODRIVER", "offscreen");
        WindowConfig config;
        config.title = "pixel test";
        config.visible = false;
        config.vsync = false;
        std::string error;
        window = PlatformWindow::Create(config, &error).release();
    }
    return window;
}
