#pragma once
#include "widgets/Menu.h"

// A whole-window screen of the start-up chain (the logo, a distributor's
// splash): when it ends it closes and the application opens the next one.
class StartupScreen : public Menu {
public:
    StartupScreen() : Menu(nullptr, false, false) {}
    // Updates on every step: each counts its time.
    int StepsUntilDue() override { return 0; }

protected:
    // Closes once, whatever asks again (a click in the step that timed out).
    void CloseScreenAndContinue();
    bool IsClosing() const { return mClosing; }

private:
    bool mClosing = false;
};
