#pragma once
#include <string>

#include "widgets/Menu.h"

// The top-most menu that plays a transition over a picture of the old screen
// (the script object "screenshot") while the new menu opens beneath it. It
// closes when its script ends.
class Transition : public Menu {
public:
    static constexpr int kPriority = 100000;

    // With a new menu, it opens at once and the script sees it as "menu".
    Transition(const std::wstring& animationName, Menu* newMenu, bool redrawScreenshot);

    void ScriptEnded() override;
};
