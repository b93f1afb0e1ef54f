#pragma once
#include <cstdint>
#include <string>

// One input message as the application's queue holds it. Produced by the
// platform event pump, or pushed directly by tests.
// The mouse buttons, as events and the widgets' input hooks name them.
enum class MouseButton { None = 0, Left = 1, Middle = 2, Right = 3 };

struct InputEvent {
    enum Type {
        None,
        MouseMove,
        MouseDown,
        MouseUp,
        MouseWheel,
        MouseLeaveWindow,
        KeyDown,
        KeyUp,
        Char,
        FocusGained,
        FocusLost,
        Quit,
        WindowExposed,  // shown, uncovered or resized: the frame must be drawn again
    };

    Type type = None;
    int x = 0;             // logical (1024x768) coordinates
    int y = 0;
    MouseButton button = MouseButton::None;
    int clicks = 0;        // 1 single, 2 double, ...
    int wheel = 0;         // wheel steps, positive away from the user
    int key = 0;           // KeyCode for key events
    bool repeat = false;
    bool shift = false;
    bool ctrl = false;
    bool alt = false;
    wchar_t character = 0; // for Char events
};

// Key codes independent of the platform library. Printable keys use their
// lower-case character code.
namespace KeyCode {
enum : int {
    Unknown = 0,
    Backspace = 8,
    Tab = 9,
    Return = 13,
    Escape = 27,
    Space = 32,
    Delete = 127,
    Left = 0x1000,
    Right,
    Up,
    Down,
    Home,
    End,
    PageUp,
    PageDown,
    Insert,
    F1 = 0x1100,
    F2, F3, F4, F5, F6, F7, F8, F9, F10, F11, F12,
    Shift = 0x1200,
    Control,
    Alt,
};
}
