#pragma once
#include "puzzle/PlayPuzzleMenu.h"
#include "widgets/ConfirmMenu.h"

// The game's play screen: its options button opens the pause dialog, and
// the dialog's confirmations lead out of the puzzle through it.
class MyPlayScreen : public PlayPuzzleMenu {
public:
    enum class Exit { MainMenu, PuzzleSelect, Restart };

    explicit MyPlayScreen(const PuzzleRef& puzzle) : PlayPuzzleMenu(puzzle) {}
    // Closes the screen and opens what follows: the main menu, the set's
    // puzzles, or the same puzzle afresh.
    void Leave(Exit exit);
    // The play screen among the open menus; null when none is open.
    static MyPlayScreen* FindOpen();

protected:
    void OpenOptions() override;
    void OpenLevelComplete(const PlayResult& result) override;
    void OpenLevelFail(const PlayResult& result) override;
    void ReturnToMainMenu() override { Leave(Exit::MainMenu); }
};

// The question before a way out of the pause dialog: yes closes the dialog
// (already saved) and leaves the puzzle; no only closes the question.
class LeavePuzzleConfirm : public ConfirmMenu {
public:
    LeavePuzzleConfirm(MyPlayScreen::Exit exit, Menu* pauseDialog);
    void OnOk() override;

private:
    MyPlayScreen::Exit mExit;
    WeakHandle<Menu> mPauseDialog;
};
