#include "screens/MyPlayScreen.h"

#include "app/GameApp.h"
#include "data/Localization.h"
#include "screens/GameScreens.h"
#include "screens/LevelCompleteMenu.h"
#include "screens/LevelFailMenu.h"

void MyPlayScreen::OpenOptions() {
    if (gGameScreens.mOptions) ShowGameScreen(gGameScreens.mOptions(L"playing", GetPuzzle().mMode, GetPuzzle().mSet));
}

void MyPlayScreen::OpenLevelComplete(const PlayResult& r) {
    ShowMenu(new LevelCompleteMenu(r.mPuzzle.mGame, r.mPuzzle.mMode, r.mPuzzle.mSet, r.mPuzzle.mPuzzle, r.mSeconds,
                                   r.mMistakes, r.mHintsUsed, r.mArtGrid, r.mFirstCompletion));
}

void MyPlayScreen::OpenLevelFail(const PlayResult& r) {
    ShowMenu(new LevelFailMenu(r.mPuzzle.mGame, r.mPuzzle.mMode, r.mPuzzle.mSet, r.mPuzzle.mPuzzle, r.mSeconds,
                               r.mMistakes, r.mHintsUsed));
}

void MyPlayScreen::Leave(Exit exit) {
    const PuzzleRef puzzle = GetPuzzle();
    RemoveSelf();
    switch (exit) {
        case Exit::MainMenu:
            if (gGameScreens.mMainMenu) ShowGameScreen(gGameScreens.mMainMenu(false));
            break;
        case Exit::PuzzleSelect:
            if (gGameScreens.mPuzzleSelect)
                ShowGameScreen(gGameScreens.mPuzzleSelect(puzzle.mGame, puzzle.mMode, puzzle.mSet, -1, true));
            break;
        case Exit::Restart:
            ShowMenu(new MyPlayScreen(puzzle));
            break;
    }
}

MyPlayScreen* MyPlayScreen::FindOpen() {
    if (!gGameApp) return nullptr;
    for (Menu* menu : gGameApp->GetOpenMenus())
        if (auto* screen = dynamic_cast<MyPlayScreen*>(menu)) return screen;
    return nullptr;
}

namespace {

// The question's texts: key + "_title" and key + "_text".
std::wstring ExitKey(MyPlayScreen::Exit exit) {
    switch (exit) {
        case MyPlayScreen::Exit::MainMenu: return L"leave_main_menu";
        case MyPlayScreen::Exit::PuzzleSelect: return L"leave_puzzles";
        default: return L"leave_restart";
    }
}

}  // namespace

LeavePuzzleConfirm::LeavePuzzleConfirm(MyPlayScreen::Exit exit, Menu* pauseDialog)
    : ConfirmMenu(GetLocalizedString(ExitKey(exit) + L"_title"), GetLocalizedString(ExitKey(exit) + L"_text"),
                  GetLocalizedString(L"yes"), GetLocalizedString(L"no"), nullptr),
      mExit(exit),
      mPauseDialog(pauseDialog) {}

void LeavePuzzleConfirm::OnOk() {
    Dismiss();
    if (Menu* dialog = mPauseDialog.Get()) dialog->RemoveSelf();
    if (MyPlayScreen* screen = MyPlayScreen::FindOpen()) screen->Leave(mExit);
}
