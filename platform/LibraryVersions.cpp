#include "platform/LibraryVersions.h"

#include <SDL.h>

std::string PlatformSdlVersion() {
    SDL_version v;
    SDL_GetVersion(&v);
    return std::to_string(v.major) + "." + std::to_string(v.minor) + "." + std::to_string(v.patch);
}
