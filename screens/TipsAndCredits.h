#pragma once
#include <string>

#include "widgets/Menu.h"

// A page reached from the main menu whose "mainmenu" button leads back to
// it, closing every screen that was open.
class MainMenuPage : public Menu {
public:
    explicit MainMenuPage(const std::wstring& animationName);
    void DoAction(const std::wstring& action, const std::wstring& parameter, int object) override;
};

// Advice on solving the puzzles and on the controls ("tips").
class TipsMenu : public MainMenuPage {
public:
    TipsMenu() : MainMenuPage(L"tips") {}
};

// Who made the game and with what ("credits"), with the player's play time
// ("time") and the game's version ("version"). Saves the profiles, so that
// the time shown is the time kept.
class CreditsMenu : public MainMenuPage {
public:
    CreditsMenu();
};
