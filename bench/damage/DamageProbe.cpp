// Watches what a program draws in its window, from outside it, through the X
// server's DAMAGE extension: every rectangle of the window the program
// replaces (a whole frame swapped in, or a part copied) is reported. Drives
// the program with XTEST, as a player would, and prints per action:
//   frames   the groups of rectangles drawn together (apart by > 4 ms);
//   pixels   the pixels of those rectangles;
//   latency  from the input sent to the first rectangle over a given area;
//   CPU      the program's processor time over the recording (all threads).
//   damage_probe [--settle MS] [--record MS] [--click X,Y] [--area X,Y,W,H]
//                [--move X,Y] [--type TEXT] [--wait MS] [--shots PREFIX]
//                -- COMMAND [ARG ...]
// Coordinates are the window's. The program is started, its window found
// (_NET_WM_PID, as bench/first_frame does), --wait ms let pass, then the
// pointer moved (--move), the window left to go quiet (--settle ms with no
// drawing, at most 10 s), then the click and the text sent ("/" sends
// Return) and --record ms watched. With --shots, the window as it stands then is kept
// (PREFIX-shown.ppm), the window is exposed so that the program draws it
// whole, and that is kept too (PREFIX-whole.ppm); the pixels that differ
// are counted: what was shown in parts must be the whole frame. The program
// is then ended.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/Xdamage.h>
#include <X11/extensions/XTest.h>
#include <signal.h>
#include <sys/select.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "../xwatch/ProgramWindows.h"

namespace {

Window FindWindow(Display* display, pid_t child) {
    const std::vector<Window> windows = ProgramWindows(display, child, false);
    return windows.empty() ? 0 : windows.front();
}

// Processor time of the whole process, in ms (all its threads, ns resolution).
double ProcessCpuMs(pid_t pid) {
    const std::string dir = "/proc/" + std::to_string(pid) + "/task";
    std::string command = "cat " + dir + "/*/schedstat 2>/dev/null";
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return 0;
    double total = 0;
    unsigned long long run = 0, wait = 0, slices = 0;
    while (std::fscanf(pipe, "%llu %llu %llu", &run, &wait, &slices) == 3) total += static_cast<double>(run);
    pclose(pipe);
    return total / 1e6;
}

struct Recording {
    int frames = 0;
    long long pixels = 0;
    long long rects = 0;
    double firstHit = -1;  // ms after the input, first rectangle over the area
    double lastDamage = 0;
};

struct Shot {
    int width = 0, height = 0;
    std::vector<unsigned long> pixels;
};

Shot TakeShot(Display* display, Window window) {
    Shot shot;
    XWindowAttributes a{};
    if (!XGetWindowAttributes(display, window, &a)) return shot;
    XImage* image = XGetImage(display, window, 0, 0, static_cast<unsigned>(a.width), static_cast<unsigned>(a.height),
                              AllPlanes, ZPixmap);
    if (!image) return shot;
    shot.width = a.width;
    shot.height = a.height;
    shot.pixels.resize(static_cast<size_t>(a.width) * a.height);
    for (int y = 0; y < a.height; ++y)
        for (int x = 0; x < a.width; ++x) shot.pixels[static_cast<size_t>(y) * a.width + x] = XGetPixel(image, x, y) & 0xffffff;
    XDestroyImage(image);
    return shot;
}

void WriteShot(const Shot& shot, const std::string& path) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return;
    std::fprintf(file, "P6\n%d %d\n255\n", shot.width, shot.height);
    for (unsigned long p : shot.pixels) {
        const unsigned char rgb[3] = {static_cast<unsigned char>(p >> 16), static_cast<unsigned char>(p >> 8),
                                      static_cast<unsigned char>(p)};
        std::fwrite(rgb, 1, 3, file);
    }
    std::fclose(file);
}

bool ParsePair(const char* text, int* a, int* b) { return std::sscanf(text, "%d,%d", a, b) == 2; }

}  // namespace

int main(int argc, char** argv) {
    int settleMs = 500, recordMs = 1000, waitMs = 0;
    int clickX = -1, clickY = -1, moveX = -1, moveY = -1;
    int areaX = 0, areaY = 0, areaW = 0, areaH = 0;
    std::string text, shots;
    int first = 1;
    for (; first < argc && std::strcmp(argv[first], "--") != 0; ++first) {
        const char* arg = argv[first];
        const char* value = first + 1 < argc ? argv[first + 1] : "";
        if (!std::strcmp(arg, "--settle")) settleMs = std::atoi(value);
        else if (!std::strcmp(arg, "--record")) recordMs = std::atoi(value);
        else if (!std::strcmp(arg, "--wait")) waitMs = std::atoi(value);
        else if (!std::strcmp(arg, "--click")) ParsePair(value, &clickX, &clickY);
        else if (!std::strcmp(arg, "--move")) ParsePair(value, &moveX, &moveY);
        else if (!std::strcmp(arg, "--type")) text = value;
        else if (!std::strcmp(arg, "--shots")) shots = value;
        else if (!std::strcmp(arg, "--area")) std::sscanf(value, "%d,%d,%d,%d", &areaX, &areaY, &areaW, &areaH);
        else {
            std::fprintf(stderr, "damage_probe: unknown option %s\n", arg);
            return 2;
        }
        ++first;
    }
    if (first + 1 >= argc) {
        std::fprintf(stderr, "usage: damage_probe [options] -- COMMAND [ARG ...]\n");
        return 2;
    }
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "damage_probe: no X display\n");
        return 2;
    }
    XSetErrorHandler(IgnoreXError);
    int damageEvent = 0, damageError = 0, xtestEvent = 0, xtestError = 0, major = 0, minor = 0;
    if (!XDamageQueryExtension(display, &damageEvent, &damageError) ||
        !XTestQueryExtension(display, &xtestEvent, &xtestError, &major, &minor)) {
        std::fprintf(stderr, "damage_probe: the X server lacks DAMAGE or XTEST\n");
        return 2;
    }
    const pid_t child = fork();
    if (child == 0) {
        execvp(argv[first + 1], argv + first + 1);
        std::perror("damage_probe: exec");
        _exit(127);
    }
    Window window = 0;
    for (double start = NowMs(); !window && NowMs() - start < 20000; usleep(10000)) {
        if (waitpid(child, nullptr, WNOHANG) == child) {
            std::printf("the program ended before showing a window\n");
            return 1;
        }
        window = FindWindow(display, child);
    }
    if (!window) {
        std::printf("no window within 20 s\n");
        EndProgram(child);
        return 1;
    }
    usleep(static_cast<useconds_t>(waitMs) * 1000);
    Damage damage = XDamageCreate(display, window, XDamageReportRawRectangles);
    const int fd = ConnectionNumber(display);
    int windowX = 0, windowY = 0;
    Window unused = 0;
    XTranslateCoordinates(display, window, DefaultRootWindow(display), 0, 0, &windowX, &windowY, &unused);
    auto movePointer = [&](int x, int y) {
        XTestFakeMotionEvent(display, -1, windowX + x, windowY + y, CurrentTime);
        XFlush(display);
    };
    // Reads damage until `untilMs`, or until `quietMs` pass without any.
    auto watch = [&](double startMs, double untilMs, double quietMs, Recording* rec) {
        double lastEvent = NowMs(), lastDamage = -1;
        for (;;) {
            const double now = NowMs();
            if (now >= untilMs) break;
            if (quietMs > 0 && now - lastEvent >= quietMs) break;
            while (XPending(display)) {
                XEvent event;
                XNextEvent(display, &event);
                if (event.type != damageEvent + XDamageNotify) continue;
                const auto* notify = reinterpret_cast<XDamageNotifyEvent*>(&event);
                const double at = NowMs();
                lastEvent = at;
                if (!rec) continue;
                const XRectangle& r = notify->area;
                if (lastDamage < 0 || at - lastDamage > 4.0) ++rec->frames;
                lastDamage = at;
                rec->lastDamage = at - startMs;
                ++rec->rects;
                rec->pixels += static_cast<long long>(r.width) * r.height;
                const bool overArea = areaW > 0 && r.x < areaX + areaW && areaX < r.x + r.width && r.y < areaY + areaH &&
                                      areaY < r.y + r.height;
                if (rec->firstHit < 0 && (overArea || areaW <= 0)) rec->firstHit = at - startMs;
            }
            fd_set fds;
            FD_ZERO(&fds);
            FD_SET(fd, &fds);
            timeval tv{0, 1000};
            select(fd + 1, &fds, nullptr, nullptr, &tv);
        }
    };
    XDamageSubtract(display, damage, None, None);
    if (moveX >= 0) movePointer(moveX, moveY);
    else if (clickX >= 0) movePointer(clickX, clickY);
    watch(NowMs(), NowMs() + 10000, settleMs, nullptr);

    Recording rec;
    const double cpu0 = ProcessCpuMs(child);
    const double start = NowMs();
    if (clickX >= 0) {
        XTestFakeButtonEvent(display, 1, True, CurrentTime);
        XTestFakeButtonEvent(display, 1, False, CurrentTime);
        XFlush(display);
    }
    for (char c : text) {
        const char name[2] = {c, 0};
        // "/" in the text stands for Return (a name typed, then sent).
        const KeyCode code = XKeysymToKeycode(display, c == '/' ? XStringToKeysym("Return") : XStringToKeysym(name));
        XTestFakeKeyEvent(display, code, True, CurrentTime);
        XTestFakeKeyEvent(display, code, False, CurrentTime);
        XFlush(display);
        usleep(20000);
    }
    watch(start, start + recordMs, 0, &rec);
    const double wall = NowMs() - start;
    const double cpu = ProcessCpuMs(child) - cpu0;
    std::printf("frames %d rects %lld pixels %lld (%.2f whole frames of 1024x768) last %.0f ms cpu %.1f ms/s",
                rec.frames, rec.rects, rec.pixels, rec.pixels / (1024.0 * 768.0), rec.lastDamage, cpu * 1000.0 / wall);
    if (areaW > 0 || clickX >= 0) std::printf(" latency %.1f ms", rec.firstHit);
    std::printf("\n");
    if (!shots.empty()) {
        const Shot shown = TakeShot(display, window);
        XClearArea(display, window, 0, 0, 0, 0, True);  // an exposure: drawn whole
        XFlush(display);
        watch(NowMs(), NowMs() + 3000, 400, nullptr);
        const Shot whole = TakeShot(display, window);
        WriteShot(shown, shots + "-shown.ppm");
        WriteShot(whole, shots + "-whole.ppm");
        long differing = 0;
        for (size_t i = 0; i < shown.pixels.size() && i < whole.pixels.size(); ++i)
            differing += shown.pixels[i] != whole.pixels[i];
        std::printf("shown vs drawn whole: %ld pixels differ\n", differing);
    }
    XDamageDestroy(display, damage);
    EndProgram(child);
    XCloseDisplay(display);
    return 0;
}
