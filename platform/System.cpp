#include "platform/System.h"

#include <SDL.h>
#include <malloc.h>
#include <signal.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <sys/resource.h>
#include <sys/stat.h>

#include "platform/QuitWatch.h"
#include "platform/TiedChildren.h"

namespace {
std::atomic<bool>* gQuitFlag = nullptr;
std::atomic<bool> gQuitSignalled{false};
std::atomic<bool> gDialogsEnabled{true};

void OnQuitSignal(int) {
    gQuitSignalled.store(true);
    if (gQuitFlag) gQuitFlag->store(true);
}

}  // namespace

bool PlatformHasDisplayName() {
    const char* x11 = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    return SDL_WasInit(SDL_INIT_VIDEO) || (x11 && *x11) || (wayland && *wayland);
}

MessageBoxResult PlatformMessageBox(const std::string& caption, const std::string& text) {
    // Always on stderr too, so a run from a terminal or a log keeps the text.
    std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
    std::fflush(stderr);
    if (!gDialogsEnabled.load()) return MessageBoxResult::Shown;
    if (!PlatformHasDisplayName()) return MessageBoxResult::NoDisplay;
    // Told to quit already: nobody is kept waiting on a box.
    if (gQuitSignalled.load()) return MessageBoxResult::Quit;
    if (PlatformGetEnv("QUILTRO7_MESSAGE_BOX") == "own") return MessageBoxResult::Failed;
    // SDL needs zenity or kdialog for its box on some desktops; without them
    // it fails and the caller shows the text another way.
    QuitWatch watch;
    TiedChildren tied;
    int shown = SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_INFORMATION, caption.c_str(), text.c_str(), nullptr);
    if (watch.Closed()) return MessageBoxResult::Quit;
    return shown == 0 ? MessageBoxResult::Shown : MessageBoxResult::Failed;
}

bool PlatformQuitSignalled() { return gQuitSignalled.load(); }

bool PlatformSendQuitSignal() { return kill(getpid(), SIGTERM) == 0; }

void PlatformSetDialogsEnabled(bool enabled) { gDialogsEnabled.store(enabled); }

bool PlatformSetClipboardText(const std::string& utf8) {
    if (!SDL_WasInit(SDL_INIT_VIDEO)) return false;
    return SDL_SetClipboardText(utf8.c_str()) == 0;
}

std::string PlatformUserDataFolder(const std::string& company, const std::string& product) {
    auto absolute = [](const std::string& p) { return !p.empty() && p[0] == '/'; };
    std::string folder = PlatformGetEnv("QUILTRO7_USER_DATA");
    if (!folder.empty()) {
        // Made absolute now: "-changedir" changes the current folder later.
        if (!absolute(folder)) {
            char cwd[4096];
            if (!::getcwd(cwd, sizeof(cwd))) return std::string();
            folder = std::string(cwd) + "/" + folder;
        }
    } else {
        std::string base = PlatformGetEnv("XDG_DATA_HOME");
        if (!absolute(base)) {
            std::string home = PlatformGetEnv("HOME");
            if (!absolute(home)) return std::string();
            base = home + "/.local/share";
        }
        folder = base + "/" + company + "/" + product;
    }
    if (folder.back() != '/') folder += '/';
    // Create each missing level; what cannot be made is reported when the
    // folder is first used (the instance lock), with the system's reason.
    for (size_t i = 1; i < folder.size(); ++i)
        if (folder[i] == '/') ::mkdir(folder.substr(0, i).c_str(), 0700);
    return folder;
}

void PlatformInstallQuitSignals(std::atomic<bool>* quitFlag) {
    gQuitFlag = quitFlag;
    gQuitSignalled.store(false);
    PlatformSetQuitSignalsAction(OnQuitSignal);
    signal(SIGXFSZ, SIG_IGN);
}

void PlatformSetQuitSignalsAction(void (*handler)(int)) {
    struct sigaction sa {};
    sa.sa_handler = handler ? handler : SIG_DFL;
    sigemptyset(&sa.sa_mask);
    sigaction(SIGINT, &sa, nullptr);
    sigaction(SIGTERM, &sa, nullptr);
    sigaction(SIGHUP, &sa, nullptr);
}

void PlatformRemoveQuitSignals() {
    signal(SIGINT, SIG_DFL);
    signal(SIGTERM, SIG_DFL);
    signal(SIGHUP, SIG_DFL);
    signal(SIGXFSZ, SIG_DFL);
    gQuitFlag = nullptr;
    gQuitSignalled.store(false);
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

void PlatformReleaseFreeMemory() {
#ifdef __GLIBC__
    malloc_trim(0);
#endif
}

void PlatformMapLargeAllocations() {
#ifdef __GLIBC__
    mallopt(M_MMAP_THRESHOLD, 256 * 1024);
#endif
}
