#pragma once

// Ties the processes the calling thread forks, while one lives, to this
// process: SDL draws its X11 box in a forked copy of us, and runs zenity,
// from the thread that shows the box. Such a child ends when this process
// does, however it ends (SIGKILL included, when nothing of ours runs to end
// it), and it takes SIGINT, SIGTERM and SIGHUP as a plain process does: not
// through our quit handlers, which only raise a flag the copy never reads,
// and not held back as a QuitWatch holds them back from the box's thread.
// Forks of other threads meanwhile (the crash reporter's) stay untied.
class TiedChildren {
public:
    TiedChildren();
    ~TiedChildren();
    TiedChildren(const TiedChildren&) = delete;
    TiedChildren& operator=(const TiedChildren&) = delete;

private:
    int mOuterParent;  // an enclosing one's, put back at the end
};
