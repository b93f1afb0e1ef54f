#include "screens/MyPlayScreen.h"

#include "app/GameApp.h"
#include "platform/InputEvent.h"
#include "screens/GameScreens.h"
#include "screens/LevelCompleteMenu.h"
#include "screens/LevelFailMenu.h"
#include "screens/OptionsMenu.h"

void MyPlayScreen::OpenOptions() {
    if (gGameScreens.mOptions) ShowGameScreen(gGameScreens.mOptions(L"playing", GetPuzzle().mMode, GetPuzzle().mSet));
}

void MyPlayScreen::KeyDown(int key) {
    PlayPuzzleMenu::KeyDown(key);
    // Only while the board is in play and nothing covers it: the results and
    // the pause dialog itself have their own ways out.
    if (key == KeyCode::Escape && GetState() == State::Playing && gGameApp && gGameApp->GetActiveMenu() == this)
        DoAction(L"options", L"", 0);
}

bool MyPlayScreen::IsPaused() {
    if (PlayPuzzleMenu::IsPaused()) return true;
    // Every widget of the screen asks at every step: the open menus are looked
    // through only in the one case the base does not decide, a lesson covered.
    if (GetPauseWhenCovered() || IsActive() || !gGameApp || !IsInManager()) return false;
    for (Menu* menu : gGameApp->GetOpenMenus())
        if (dynamic_cast<OptionsMenu*>(menu)) return true;
    return false;
}

void MyPlayScreen::OpenLevelComplete(const PlayResult& r) {
    ShowMenu(new LevelCompleteMenu(r.mPuzzle.mGame, r.mPuzzle.mMode, r.mPuzzle.mSet, r.mPuzzle.mPuzzle, r.mSeconds,
                                   r.mMistakes, r.mHintsUsed, r.mArtGrid, r.mWin));
}

void MyPlayScreen::OpenLevelFail(const PlayResult& r) {
    ShowMenu(new LevelFailMenu(r.mPuzzle.mGame, r.mPuzzle.mMode, r.mPuzzle.mSet, r.mPuzzle.mPuzzle, r.mSeconds,
                               r.mMistakes, r.mHintsUsed));
}

void MyPlayScreen::ReturnToMainMenu() {
    RemoveSelf();
    if (gGameScreens.mMainMenu) ShowGameScreen(gGameScreens.mMainMenu(false));
}

MyPlayScreen* MyPlayScreen::FindOpen() {
    if (!gGameApp) return nullptr;
    for (Menu* menu : gGameApp->GetOpenMenus())
        if (auto* screen = dynamic_cast<MyPlayScreen*>(menu)) return screen;
    return nullptr;
}
