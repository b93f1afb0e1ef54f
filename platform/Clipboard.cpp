#include "platform/Clipboard.h"

#include <SDL.h>

std::string PlatformGetClipboardText() {
    if (!SDL_WasInit(SDL_INIT_VIDEO) || !SDL_HasClipboardText()) return std::string();
    char* text = SDL_GetClipboardText();
    if (!text) return std::string();
    std::string out = text;
    SDL_free(text);
    return out;
}
