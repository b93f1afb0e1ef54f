#include "screens/LevelFailMenu.h"

#include "screens/GameScreens.h"

LevelFailMenu::LevelFailMenu(const std::wstring& gameName, int mode, int set, int puzzle, int seconds, int mistakes,
                             int hints)
    : LevelStatusMenu(L"level_fail", gameName, mode, set, puzzle, seconds, mistakes, hints), mRetryPuzzle(puzzle) {
    SetVariable(L"intro", ScriptValue(false));
    SetVariable(L"bonus", ScriptValue(mode >= 1));
}

void LevelFailMenu::OnContinue() {
    OpenPuzzle(mGameName, mMode, mSet, mRetryPuzzle, true);
    RemoveSelf();
}

void LevelFailMenu::OnQuit() {
    if (mMode < 1) {
        if (gGameScreens.mPuzzleSelect) ShowGameScreen(gGameScreens.mPuzzleSelect(mGameName, mMode, mSet, -2, false));
    } else if (gGameScreens.mSelectSet) {
        ShowGameScreen(gGameScreens.mSelectSet(mGameName, mMode, false));
    }
    RemoveSelf();
}
