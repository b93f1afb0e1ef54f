#include "platform/SdlInput.h"

#include <SDL.h>

int PlatformTranslateKey(int sym) {
    switch (sym) {
    case SDLK_BACKSPACE: return KeyCode::Backspace;
    case SDLK_TAB: return KeyCode::Tab;
    case SDLK_RETURN:
    case SDLK_KP_ENTER: return KeyCode::Return;
    case SDLK_ESCAPE: return KeyCode::Escape;
    case SDLK_SPACE: return KeyCode::Space;
    case SDLK_DELETE: return KeyCode::Delete;
    case SDLK_LEFT: return KeyCode::Left;
    case SDLK_RIGHT: return KeyCode::Right;
    case SDLK_UP: return KeyCode::Up;
    case SDLK_DOWN: return KeyCode::Down;
    case SDLK_HOME: return KeyCode::Home;
    case SDLK_END: return KeyCode::End;
    case SDLK_PAGEUP: return KeyCode::PageUp;
    case SDLK_PAGEDOWN: return KeyCode::PageDown;
    case SDLK_INSERT: return KeyCode::Insert;
    case SDLK_LSHIFT:
    case SDLK_RSHIFT: return KeyCode::Shift;
    case SDLK_LCTRL:
    case SDLK_RCTRL: return KeyCode::Control;
    case SDLK_LALT:
    case SDLK_RALT: return KeyCode::Alt;
    default: break;
    }
    if (sym >= SDLK_F1 && sym <= SDLK_F12) return KeyCode::F1 + (sym - SDLK_F1);
    if (sym > 0 && sym < 127) return static_cast<int>(sym);
    return KeyCode::Unknown;
}

// Decodes UTF-8 text input into code points.
void PlatformAppendTextEvents(const char* text, std::vector<InputEvent>& out) {
    const unsigned char* p = reinterpret_cast<const unsigned char*>(text);
    while (*p) {
        unsigned cp = 0;
        int extra = 0;
        if (*p < 0x80) { cp = *p; }
        else if ((*p & 0xE0) == 0xC0) { cp = *p & 0x1F; extra = 1; }
        else if ((*p & 0xF0) == 0xE0) { cp = *p & 0x0F; extra = 2; }
        else if ((*p & 0xF8) == 0xF0) { cp = *p & 0x07; extra = 3; }
        else { ++p; continue; }
        ++p;
        bool ok = true;
        for (int i = 0; i < extra; ++i) {
            if ((*p & 0xC0) != 0x80) { ok = false; break; }
            cp = (cp << 6) | (*p & 0x3F);
            ++p;
        }
        if (!ok) continue;
        InputEvent e;
        e.type = InputEvent::Char;
        e.character = static_cast<wchar_t>(cp);
        out.push_back(e);
    }
}

void PlatformTranslateEvent(const SDL_Event& ev, std::vector<InputEvent>& out) {
    InputEvent e;
    SDL_Keymod mods = SDL_GetModState();
    e.shift = (mods & KMOD_SHIFT) != 0;
    e.ctrl = (mods & KMOD_CTRL) != 0;
    e.alt = (mods & KMOD_ALT) != 0;
    switch (ev.type) {
    case SDL_QUIT:  // a quit signal, or the last window closed
        e.type = InputEvent::Quit;
        break;
    case SDL_MOUSEMOTION:
        e.type = InputEvent::MouseMove;
        e.x = ev.motion.x;
        e.y = ev.motion.y;
        break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
        e.type = ev.type == SDL_MOUSEBUTTONDOWN ? InputEvent::MouseDown : InputEvent::MouseUp;
        e.x = ev.button.x;
        e.y = ev.button.y;
        e.button = ev.button.button == SDL_BUTTON_LEFT    ? MouseButton::Left
                   : ev.button.button == SDL_BUTTON_RIGHT ? MouseButton::Right
                                                          : MouseButton::Middle;
        e.clicks = ev.button.clicks;
        break;
    case SDL_MOUSEWHEEL:
        e.type = InputEvent::MouseWheel;
        e.wheel = ev.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -ev.wheel.y : ev.wheel.y;
        break;
    case SDL_KEYDOWN:
    case SDL_KEYUP:
        e.type = ev.type == SDL_KEYDOWN ? InputEvent::KeyDown : InputEvent::KeyUp;
        e.key = PlatformTranslateKey(ev.key.keysym.sym);
        e.repeat = ev.key.repeat != 0;
        break;
    case SDL_TEXTINPUT:
        PlatformAppendTextEvents(ev.text.text, out);
        return;
    case SDL_WINDOWEVENT:
        if (ev.window.event == SDL_WINDOWEVENT_CLOSE) e.type = InputEvent::Quit;
        else if (ev.window.event == SDL_WINDOWEVENT_FOCUS_GAINED) e.type = InputEvent::FocusGained;
        else if (ev.window.event == SDL_WINDOWEVENT_FOCUS_LOST) e.type = InputEvent::FocusLost;
        else if (ev.window.event == SDL_WINDOWEVENT_LEAVE) e.type = InputEvent::MouseLeaveWindow;
        else if (ev.window.event == SDL_WINDOWEVENT_EXPOSED || ev.window.event == SDL_WINDOWEVENT_SHOWN ||
                 ev.window.event == SDL_WINDOWEVENT_RESTORED || ev.window.event == SDL_WINDOWEVENT_SIZE_CHANGED)
            e.type = InputEvent::WindowExposed;
        else
            return;
        break;
    default: return;
    }
    out.push_back(e);
}
