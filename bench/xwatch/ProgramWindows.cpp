#include "ProgramWindows.h"

#include <X11/Xatom.h>
#include <signal.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

double NowMs() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return ts.tv_sec * 1000.0 + ts.tv_nsec / 1e6;
}

int IgnoreXError(Display*, XErrorEvent*) { return 0; }

long WindowPid(Display* display, Window window) {
    static const Atom pidAtom = XInternAtom(display, "_NET_WM_PID", False);
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    long pid = 0;
    if (XGetWindowProperty(display, window, pidAtom, 0, 1, False, XA_CARDINAL, &type, &format, &count, &after,
                           &data) == Success &&
        data && count == 1 && format == 32)
        pid = *reinterpret_cast<long*>(data);
    if (data) XFree(data);
    return pid;
}

std::vector<Window> ProgramWindows(Display* display, pid_t child, bool acceptUnowned) {
    std::vector<Window> found;
    Window root = DefaultRootWindow(display), parent = 0, *children = nullptr;
    unsigned int count = 0;
    if (!XQueryTree(display, root, &root, &parent, &children, &count)) return found;
    for (unsigned int i = 0; i < count; ++i) {
        XWindowAttributes a{};
        if (!XGetWindowAttributes(display, children[i], &a)) continue;
        if (a.map_state != IsViewable || a.c_class != InputOutput || a.width < 100 || a.height < 100) continue;
        const long pid = WindowPid(display, children[i]);
        if (pid == child || (acceptUnowned && pid == 0)) found.push_back(children[i]);
    }
    if (children) XFree(children);
    return found;
}

void EndProgram(pid_t child) {
    kill(child, SIGTERM);
    for (int i = 0; i < 200; ++i) {
        if (waitpid(child, nullptr, WNOHANG) == child) return;
        usleep(10000);
    }
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
}
