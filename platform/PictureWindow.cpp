#include "platform/PictureWindow.h"

#include <SDL.h>

#include "platform/System.h"

bool PlatformShowPictureWindow(const std::string& title, const Picture& picture) {
    if (picture.width <= 0 || picture.height <= 0 ||
        picture.argb.size() != static_cast<size_t>(picture.width) * picture.height)
        return false;
    bool startedVideo = false;
    if (!SDL_WasInit(SDL_INIT_VIDEO)) {
        if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return false;
        startedVideo = true;
    }
    // SDL may draw this window's surface through a GL context of its own,
    // made current here and deleted with the window: the game's context is
    // made current again after it, or every GL call that follows (the
    // renderer's releases on the way out among them) finds none.
    SDL_Window* glWindow = SDL_GL_GetCurrentWindow();
    SDL_GLContext glContext = SDL_GL_GetCurrentContext();
    SDL_Window* window = SDL_CreateWindow(title.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                                          picture.width, picture.height, SDL_WINDOW_SHOWN);
    SDL_Surface* source = SDL_CreateRGBSurfaceWithFormatFrom(
        const_cast<uint32_t*>(picture.argb.data()), picture.width, picture.height, 32,
        picture.width * 4, SDL_PIXELFORMAT_ARGB8888);
    bool shown = window && source;
    if (shown) {
        SDL_RaiseWindow(window);
        auto paint = [&] {
            if (SDL_Surface* target = SDL_GetWindowSurface(window)) {
                SDL_BlitSurface(source, nullptr, target, nullptr);
                SDL_UpdateWindowSurface(window);
            }
        };
        paint();
        // A quit signal (a session ending, a script stopping us) closes it.
        for (bool open = true; open && !PlatformQuitSignalled();) {
            SDL_Event e;
            if (!SDL_WaitEventTimeout(&e, 250)) continue;
            switch (e.type) {
                case SDL_QUIT:
                case SDL_KEYDOWN:
                    open = false;
                    break;
                case SDL_WINDOWEVENT:
                    if (e.window.event == SDL_WINDOWEVENT_CLOSE) open = false;
                    else if (e.window.event == SDL_WINDOWEVENT_EXPOSED ||
                             e.window.event == SDL_WINDOWEVENT_SIZE_CHANGED)
                        paint();
                    break;
                default:
                    break;
            }
        }
    }
    if (source) SDL_FreeSurface(source);
    if (window) SDL_DestroyWindow(window);
    if (glWindow && glContext) SDL_GL_MakeCurrent(glWindow, glContext);
    if (startedVideo) SDL_QuitSubSystem(SDL_INIT_VIDEO);
    return shown;
}
