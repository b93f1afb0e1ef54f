#pragma once
#include <cstdint>
#include <string>
#include <vector>

// A plain window (no GL) that shows one picture, centred on the desktop, and
// waits until it is closed, a key is pressed after it showed or a quit signal
// comes (PlatformQuitSignalled). The last resort for a message when the
// desktop's own box cannot be shown. The calling thread's GL context stays
// current.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> argb;  // row by row, 0xAARRGGBB
};

// False at once when no window can be opened (no display, no video driver).
bool PlatformShowPictureWindow(const std::string& title, const Picture& picture);

// Which key-downs close the window: a key pressed after it showed. A key
// already held then (a player skipping the splash screens when the message
// came) reaches the window as pressed once it has the focus, and repeats
// while held; it closes the window only once released and pressed again.
class FreshKeyPresses {
public:
    // The keys down when the window showed.
    explicit FreshKeyPresses(std::vector<int> heldAtShow);
    // Whether this key-down is a fresh press.
    bool Pressed(int key, bool repeat);
    void Released(int key);

private:
    std::vector<int> mHeld;
};
