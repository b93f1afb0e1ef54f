#include "tests/support/GLTestWindow.h"

#include <string>

#include "platform/System.h"
#include "platform/Window.h"
#include "render/D3DInterface.h"

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

std::unique_ptr<D3DInterface> StartTestGLDevice() {
    PlatformWindow* window = SharedTestGLWindow();
    if (!window) return nullptr;
    auto device = std::make_unique<D3DInterface>();
    if (!device->Init(window, 1024, 768, false)) return nullptr;
    D3DInterface::Install(device.get());
    device->BeginFrame(Color(0, 0, 0));
    return device;
}
