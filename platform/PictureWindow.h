#pragma once
#include <cstdint>
#include <string>
#include <vector>

// A plain window (no GL) that shows one picture, centred on the desktop, and
// waits until it is closed, a key is pressed or a quit signal comes
// (PlatformQuitSignalled). The last resort for a message when the desktop's
// own box cannot be shown. The calling thread's GL context stays current.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> argb;  // row by row, 0xAARRGGBB
};

// False at once when no window can be opened (no display, no video driver).
bool PlatformShowPictureWindow(const std::string& title, const Picture& picture);
