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

// One event of the window's loop, as far as closing the window goes.
struct PictureWindowEvent {
    enum class Kind { Quit, Close, KeyDown, KeyUp, Other };
    Kind kind = Kind::Other;
    int key = 0;              // an X keycode when fromServer, else an SDL scancode
    bool repeat = false;      // marked a repeat by SDL
    bool fromServer = false;  // the X server's own key event, not SDL's
};

// Which events close the window: a quit, the close button, or a key pressed
// after it showed. A key already held then (a player skipping the splash
// screens when the message came) reaches the window as pressed once it has
// the focus, and repeats while held; it closes the window only once
// released and pressed again.
class PictureWindowInput {
public:
    // The keys down when the window showed, and whose key events count: the
    // X server's (keycodes) or SDL's (scancodes). SDL forgets the held keys
    // when the focus moves, so where the server's events are read SDL's own
    // key events are not: a held key's first repeat reaches SDL as fresh.
    PictureWindowInput(std::vector<int> heldAtShow, bool serverKeys);
    bool Closes(const PictureWindowEvent& event);

private:
    std::vector<int> mHeld;
    bool mServerKeys;
};
