// The GL driver (Mesa's software rasteriser and the LLVM it compiles shaders
// with) and the window system keep allocations they never free; the leak
// checker is told to look only at ours.
extern "C" const char* __lsan_default_suppressions();
extern "C" const char* __lsan_default_suppressions() {
    return "leak:swrast_dri.so\n"
           "leak:libgallium\n"
           "leak:libLLVM\n"
           "leak:libGLX_mesa\n"
           "leak:libEGL_mesa\n"
           "leak:libglapi\n"
           "leak:libdbus-1\n"
           "leak:libX11\n"
           "leak:libxcb\n";
}
