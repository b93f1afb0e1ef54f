#pragma once
#include <memory>

// Keeps a modal desktop box from outliving a quit signal. The desktop's box
// runs in processes the showing thread starts (SDL draws its X11 box in a
// forked copy of us, or runs zenity) and waits for them, deaf to anything
// else; while a QuitWatch lives, a quit signal (SIGINT, SIGTERM, SIGHUP, with
// PlatformInstallQuitSignals' handlers in place) ends those processes, so the
// wait returns and the box is gone. The quit signals are held back from the
// watched thread meanwhile: one taken there would break off the wait and
// leave the box's process running, no longer ours to end.
class QuitWatch {
public:
    // Watches the calling thread.
    QuitWatch();
    ~QuitWatch();
    QuitWatch(const QuitWatch&) = delete;
    QuitWatch& operator=(const QuitWatch&) = delete;

    // Whether a quit signal came while the box was up.
    bool Closed() const;

private:
    struct State;
    std::unique_ptr<State> mState;
};
