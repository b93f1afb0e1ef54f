#pragma once
#include "puzzle/PlayPuzzleMenu.h"

// The game's play screen: its options button opens the pause dialog, whose
// confirmations (screens/ConfirmDialogs.h) lead out of the puzzle.
class MyPlayScreen : public PlayPuzzleMenu {
public:
    explicit MyPlayScreen(const PuzzleRef& puzzle) : PlayPuzzleMenu(puzzle) {}
    // The play screen among the open menus; null when none is open.
    static MyPlayScreen* FindOpen();

    // Escape pauses, as the HUD's options button does.
    void KeyDown(int key) override;
    // A lesson keeps the screen running under its own notes and notices, but
    // the pause dialog stops it (and its clock) all the same.
    bool IsPaused() override;

protected:
    void OpenOptions() override;
    void OpenLevelComplete(const PlayResult& result) override;
    void OpenLevelFail(const PlayResult& result) override;
    void ReturnToMainMenu() override;
};
