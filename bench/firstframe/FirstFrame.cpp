// Starts a program under the current X display and prints how long it took
// until its window first showed a drawn frame: the first moment a viewable
// window of at least 100 x 100 pixels, owned by the program (_NET_WM_PID) or
// by no one in particular, has at least 1% of its pixels not black. The X
// server is expected to start with a black root (Xvfb -br), so a window that
// is mapped but not yet drawn reads as black. The program is then ended
// (SIGTERM, SIGKILL after 2 s).
//   first_frame [--timeout SECONDS] [--shot FILE.ppm] -- COMMAND [ARG ...]
// (--shot keeps the frame it saw, to check what was counted). Prints "first frame: <ms> ms" and exits 0, or "no frame within <s> s" and
// exits 1.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <signal.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "../xwatch/ProgramWindows.h"

namespace {

const char* gShotPath = nullptr;

void WriteShot(XImage* image, int width, int height) {
    FILE* file = std::fopen(gShotPath, "wb");
    if (!file) return;
    std::fprintf(file, "P6\n%d %d\n255\n", width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const unsigned long p = XGetPixel(image, x, y);
            const unsigned char rgb[3] = {static_cast<unsigned char>(p >> 16), static_cast<unsigned char>(p >> 8),
                                          static_cast<unsigned char>(p)};
            std::fwrite(rgb, 1, 3, file);
        }
    std::fclose(file);
}

// Whether the window shows a drawn frame: enough of a sparse sample of its
// pixels (every 4th of 16 rows spread over it) is not black. Only those rows
// are fetched: a whole 1024 x 768 window every 2 ms kept the X server busy
// copying pictures out while the program waited for it to take its first
// frame in, which slowed the large window more than the small one.
bool ShowsAFrame(Display* display, Window window, int width, int height) {
    constexpr int kRows = 16;
    long lit = 0, sampled = 0;
    for (int row = 0; row < kRows; ++row) {
        const int y = (2 * row + 1) * height / (2 * kRows);
        XImage* image = XGetImage(display, window, 0, y, static_cast<unsigned>(width), 1, AllPlanes, ZPixmap);
        if (!image) return false;
        for (int x = 0; x < width; x += 4) {
            ++sampled;
            if ((XGetPixel(image, x, 0) & 0xffffff) != 0) ++lit;
        }
        XDestroyImage(image);
    }
    const bool drawn = lit * 100 >= sampled;
    if (drawn && gShotPath) {
        XImage* image = XGetImage(display, window, 0, 0, static_cast<unsigned>(width), static_cast<unsigned>(height),
                                  AllPlanes, ZPixmap);
        if (image) {
            WriteShot(image, width, height);
            XDestroyImage(image);
        }
    }
    return drawn;
}

bool AnyWindowDrawn(Display* display, pid_t child) {
    for (Window window : ProgramWindows(display, child, true)) {
        XWindowAttributes attributes{};
        if (XGetWindowAttributes(display, window, &attributes) &&
            ShowsAFrame(display, window, attributes.width, attributes.height))
            return true;
    }
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    double timeoutSeconds = 20.0;
    int first = 1;
    while (first < argc && std::strcmp(argv[first], "--") != 0) {
        if (std::strcmp(argv[first], "--timeout") == 0 && first + 1 < argc) {
            timeoutSeconds = std::atof(argv[first + 1]);
            first += 2;
        } else if (std::strcmp(argv[first], "--shot") == 0 && first + 1 < argc) {
            gShotPath = argv[first + 1];
            first += 2;
        } else {
            std::fprintf(stderr, "usage: first_frame [--timeout SECONDS] [--shot FILE.ppm] -- COMMAND [ARG ...]\n");
            return 2;
        }
    }
    if (first + 1 >= argc) {
        std::fprintf(stderr, "usage: first_frame [--timeout SECONDS] [--shot FILE.ppm] -- COMMAND [ARG ...]\n");
        return 2;
    }
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "first_frame: no X display\n");
        return 2;
    }
    XSetErrorHandler(IgnoreXError);

    const double start = NowMs();
    const pid_t child = fork();
    if (child == 0) {
        execvp(argv[first + 1], argv + first + 1);
        std::perror("first_frame: exec");
        _exit(127);
    }
    if (child < 0) {
        std::perror("first_frame: fork");
        return 2;
    }
    int result = 1;
    while (NowMs() - start < timeoutSeconds * 1000.0) {
        if (waitpid(child, nullptr, WNOHANG) == child) {
            std::printf("the program ended before drawing\n");
            XCloseDisplay(display);
            return 1;
        }
        if (AnyWindowDrawn(display, child)) {
            std::printf("first frame: %.1f ms\n", NowMs() - start);
            result = 0;
            break;
        }
        usleep(2000);
    }
    if (result != 0) std::printf("no frame within %.0f s\n", timeoutSeconds);
    EndProgram(child);
    XCloseDisplay(display);
    return result;
}
