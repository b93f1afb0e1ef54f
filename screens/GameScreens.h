#pragma once
#include <functional>
#include <string>

class Image;
class Menu;

// The makers of the screens that the board and the developer codes open.
// Each screen installs its own when it exists; an empty maker opens nothing
// (the start-up then shows the board alone).
struct GameScreens {
    std::function<Menu*(bool fromMap)> mMainMenu;
    std::function<Menu*()> mStoryIntro;
    std::function<Menu*(int set, int puzzle)> mSetLoading;
    // The story map, plain (`noMapAnimation`) ...
    std::function<Menu*(const std::wstring& gameName, bool noMapAnimation)> mMap;
    // ... and arriving from a set's puzzles, over a copy of that screen
    // (the map takes the image).
    std::function<Menu*(Image* screenshot, const std::wstring& setName, const std::wstring& gameName)> mMapArrival;
    // The profiles screen.
    std::function<Menu*()> mPlayerSelect;
    std::function<Menu*()> mStoryFinal;
    // The puzzles of a set, to pick one. `justCompleted`: the puzzle just won
    // (-1 none, -2 back from a lost one); `defaultTransition`: brought in by the
    // application's transition (leaving a puzzle from its pause dialog) rather
    // than the screen's own.
    std::function<Menu*(const std::wstring& gameName, int mode, int set, int justCompleted, bool defaultTransition)>
        mPuzzleSelect;
    // The loading screen of one puzzle; without it the puzzle opens at once.
    std::function<Menu*(const std::wstring& gameName, int mode, int set, int puzzle, bool mayShowIntro)>
        mPuzzleLoading;
    // The sets of a mode, to pick one (`last`: after the mode's last set).
    std::function<Menu*(const std::wstring& gameName, int mode, bool last)> mSelectSet;
    // The options dialog ("main-menu") or the pause dialog (any other caller,
    // with the puzzle's mode and set).
    std::function<Menu*(const std::wstring& caller, int mode, int set)> mOptions;
    // What the options and pause dialog leads to; `caller` is that dialog,
    // which stays open under the confirmation.
    std::function<Menu*()> mCredits;
    std::function<Menu*(Menu* caller)> mConfirmMainMenu;
    std::function<Menu*(const std::wstring& gameName, int mode, int set, Menu* caller)> mConfirmPuzzleSelect;
    std::function<Menu*(Menu* caller)> mConfirmRestart;
};

extern GameScreens gGameScreens;

// Shows the menu a maker made (ShowMenu); false when there was none.
bool ShowGameScreen(Menu* menu);
