#pragma once
#include "screens/LevelStatusMenu.h"

// The screen after a lost puzzle: "ok" plays it again, "quit" goes back to
// the set's puzzles (story) or to the sets (bonus).
class LevelFailMenu : public LevelStatusMenu {
public:
    LevelFailMenu(const std::wstring& gameName, int mode, int set, int puzzle, int seconds, int mistakes, int hints);

    void OnContinue() override;
    void OnQuit() override;

private:
    int mRetryPuzzle = 0;
};
