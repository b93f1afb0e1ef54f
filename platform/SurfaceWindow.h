#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/InputEvent.h"
#include "platform/PictureWindow.h"

// A plain desktop window without GL: the caller draws a picture of the client
// area and the window shows it. For small dialogs that must work when the
// game's own window and GL are gone (the crash reporter's).
class PlatformSurfaceWindow {
public:
    // Created hidden at (x, y) with a client area of width x height; null when
    // no window can be opened or seen (no display, no video driver, the dummy one).
    static std::unique_ptr<PlatformSurfaceWindow> Create(const std::string& title, int x, int y, int width,
                                                         int height);
    ~PlatformSurfaceWindow();
    PlatformSurfaceWindow(const PlatformSurfaceWindow&) = delete;
    PlatformSurfaceWindow& operator=(const PlatformSurfaceWindow&) = delete;

    // Names the window in the events it receives.
    uint32_t Id() const { return mId; }
    void Show();
    void Hide();
    bool IsVisible() const { return mVisible; }
    // Copies the picture (the client area's size) to the screen.
    bool Present(const Picture& picture);
    // An opaque handle for the platform's own boxes that this window owns.
    void* Native() const { return mWindow; }

private:
    PlatformSurfaceWindow() = default;

    void* mWindow = nullptr;  // SDL_Window*
    uint32_t mId = 0;
    bool mVisible = false;
};

// One event of a surface window: mouse positions are in its client pixels, a
// click on its close button is Quit, and a window that must be drawn again
// gives WindowExposed. A quit signal is Quit for no window (0).
struct SurfaceWindowEvent {
    uint32_t window = 0;
    InputEvent event;
};
// Waits up to `timeoutMillis` for an event, then reads every pending one.
void PlatformWaitSurfaceEvents(int timeoutMillis, std::vector<SurfaceWindowEvent>& out);

// The clipboard's text (UTF-8); empty when it holds none.
std::string PlatformGetClipboardText();
