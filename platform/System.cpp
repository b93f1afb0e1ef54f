#include "platform/System.h"

#include <SDL.h>
#include <signal.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <sys/resource.h>
#include <sys/stat.h>

namespace {
std::atomic<bool>* gQuitFlag = nullptr;
std::atomic<bool> gDialogsEnabled{true};

void OnQuitSignal(int) {
    if (gQuitFlag) gQuitFlag->store(true);
}
}  // namespace

void PlatformMessageBox(const std::string& caption, const std::string& text) {
    // Always on stderr too, so a run from a terminal or a log keeps the text.
    std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
    if (!gDialogsEnabled.load()) return;
    const char* x11 = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    if (SDL_WasInit(SDL_INIT_VIDEO) || (x11 && *x11) || (wayland && *wayland))
        SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_INFORMATION, caption.c_str(), text.c_str(), nullptr);
}

void PlatformSetDialogsEnabled(bool enabled) { gDialogsEnabled.store(enabled); }

bool PlatformSetClipboardText(const std::string& utf8) {
    if (!SDL_WasInit(SDL_INIT_VIDEO)) return false;
    return SDL_SetClipboardText(utf8.c_str()) == 0;
}

std::string PlatformUserDataFolder(const std::string& company, const std::string& product) {
    std::string folder;
    if (const char* over = std::getenv("QUILTRO7_USER_DATA"); over && *over) {
        folder = over;
        if (folder.back() != '/') folder += '/';
        // Create each missing level; the caller only reads and writes inside.
        for (size_t i = 1; i <= folder.size(); ++i)
            if (i == folder.size() || folder[i] == '/') ::mkdir(folder.substr(0, i).c_str(), 0755);
        return folder;
    }
    char* pref = SDL_GetPrefPath(company.c_str(), product.c_str());
    if (!pref) return std::string();
    folder = pref;
    SDL_free(pref);
    return folder;
}

void PlatformInstallQuitSignals(std::atomic<bool>* quitFlag) {
    gQuitFlag = quitFlag;
    struct sigaction sa {};
    sa.sa_handler = OnQuitSignal;
    sigemptyset(&sa.sa_mask);
    sigaction(SIGINT, &sa, nullptr);
    sigaction(SIGTERM, &sa, nullptr);
}

void PlatformRemoveQuitSignals() {
    signal(SIGINT, SIG_DFL);
    signal(SIGTERM, SIG_DFL);
    gQuitFlag = nullptr;
}

void PlatformShutdown() { SDL_Quit(); }

std::string PlatformGetEnv(const char* name) {
    const char* v = std::getenv(name);
    return v ? std::string(v) : std::string();
}

bool PlatformSetEnv(const char* name, const char* value) {
    return ::setenv(name, value, 1) == 0;
}

bool PlatformChangeDirectory(const std::string& path) { return ::chdir(path.c_str()) == 0; }

bool PlatformLimitFileSize(long long bytes) {
    struct rlimit lim;
    if (getrlimit(RLIMIT_FSIZE, &lim) != 0) return false;
    signal(SIGXFSZ, bytes < 0 ? SIG_DFL : SIG_IGN);
    lim.rlim_cur = bytes < 0 ? lim.rlim_max : static_cast<rlim_t>(bytes);
    return setrlimit(RLIMIT_FSIZE, &lim) == 0;
}

bool PlatformIsSuperUser() { return geteuid() == 0; }
