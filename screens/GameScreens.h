#pragma once
#include <functional>
#include <string>

class Menu;

// The makers of the screens that the board and the developer codes open.
// Each screen installs its own when it exists; an empty maker opens nothing
// (the start-up then shows the board alone).
struct GameScreens {
    std::function<Menu*(bool fromMap)> mMainMenu;
    std::function<Menu*()> mStoryIntro;
    std::function<Menu*(int set, int puzzle)> mSetLoading;
    std::function<Menu*(const std::wstring& gameName, bool fromEnd)> mMap;
    std::function<Menu*()> mStoryFinal;
};

extern GameScreens gGameScreens;

// Shows the menu a maker made (ShowMenu); false when there was none.
bool ShowGameScreen(Menu* menu);
