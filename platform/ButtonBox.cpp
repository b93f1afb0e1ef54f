#include "platform/ButtonBox.h"
#include "platform/System.h"
#include "platform/TiedChildren.h"
#include "platform/X11Display.h"

#include <SDL.h>

#include <cstdio>
#include <cstdlib>

namespace {

bool VideoReady() {
    if (SDL_WasInit(SDL_INIT_VIDEO)) return true;
    return PlatformHasDisplayName() && PlatformStartVideo();
}

}  // namespace

int PlatformButtonBox(const std::string& title, const std::string& text, const std::vector<std::string>& buttons,
                      bool error, void* owner) {
    if (!VideoReady()) return -1;
    std::vector<SDL_MessageBoxButtonData> data;
    for (size_t i = 0; i < buttons.size(); ++i) {
        SDL_MessageBoxButtonData b{};
        b.buttonid = static_cast<int>(i);
        b.text = buttons[i].c_str();
        if (i == 0) b.flags |= SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT;
        if (i + 1 == buttons.size()) b.flags |= SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT;
        data.push_back(b);
    }
    SDL_MessageBoxData box{};
    box.flags = error ? SDL_MESSAGEBOX_ERROR : SDL_MESSAGEBOX_INFORMATION;
    box.window = static_cast<SDL_Window*>(owner);
    box.title = title.c_str();
    box.message = text.c_str();
    box.numbuttons = static_cast<int>(data.size());
    box.buttons = data.data();
    int chosen = -1;
    TiedChildren tied;
    if (SDL_ShowMessageBox(&box, &chosen) != 0) {
        std::fprintf(stderr, "%s: %s\n", title.c_str(), SDL_GetError());
        return -1;
    }
    return chosen;
}

bool PlatformCopyTextStandalone(const std::string& utf8) {
    if (!VideoReady()) return false;
    return SDL_SetClipboardText(utf8.c_str()) == 0;
}
