#pragma once
#include <string>

#include "widgets/Menu.h"

// The game's hub ("main_menu"): the story, the bonus sets, the profiles,
// tips, credits, options and quitting. The script reports its buttons as
// actions; those that lead elsewhere close the menu, options and quit open
// over it. It keeps playing while covered (its own look stays alive under
// the options and the quit question).
class MainMenu : public Menu {
public:
    // `fromMap`: reached from the story map, whose own transition it plays.
    explicit MainMenu(bool fromMap);

    Menu* CreateTransition() override;
    void DoAction(const std::wstring& action, const std::wstring& parameter, int object) override;

    // The bonus button is locked while the player has no bonus set open.
    static bool IsBonusLocked();

private:
    std::wstring mGameName = L"quiltro7";
    bool mFromMap;
};
