#pragma once
#include <memory>

class D3DInterface;
class PlatformWindow;

// A hidden window with an OpenGL context for pixel tests: SDL's offscreen
// driver (EGL, Mesa's llvmpipe) when there is no display, the X server under
// xvfb-run. Made once and kept to the end of the run, since closing it would
// unload the GL driver while the leak checker still wants to name what the
// driver keeps. Null when no context can be made (the test then skips).
PlatformWindow* SharedTestGLWindow();

// A device on that window, installed as the application's and with a black
// frame begun; null when there is no OpenGL 3.3 renderer. Uninstall it
// (D3DInterface::Install(nullptr)) before it goes.
std::unique_ptr<D3DInterface> StartTestGLDevice();
