#pragma once
#include <functional>
#include <string>

#include "screens/ShadedConfirmMenu.h"

// The questions asked before leaving a screen or the game. Each answer that
// leaves closes every open menu at once (itself included) and opens what
// follows; the dialog's own close afterwards then does nothing.

// Every menu open now closes once `open` has opened what follows: only the
// new screen remains.
void ReplaceOpenMenus(const std::function<void()>& open);

// Back to the main menu from a puzzle (over the pause dialog).
class ConfirmMainMenu : public ShadedConfirmMenu {
public:
    explicit ConfirmMainMenu(Widget* fadeFrom);
    void OnOk() override;
};

// Leaving the game; the profiles are saved as the application ends.
class ConfirmQuitMenu : public ShadedConfirmMenu {
public:
    ConfirmQuitMenu();
    void OnOk() override;
};

// The same puzzle again from an empty board.
class ConfirmRestartPuzzle : public ShadedConfirmMenu {
public:
    explicit ConfirmRestartPuzzle(Widget* fadeFrom);
    void OnOk() override;
};

// Back to the puzzles of the set (the museum in the story, the desk for the
// bonus sets); from the tutorial set, on to the story's next set.
class ConfirmPuzzleSelectMenu : public ShadedConfirmMenu {
public:
    ConfirmPuzzleSelectMenu(const std::wstring& gameName, int mode, int set, Widget* fadeFrom);
    void OnOk() override;

private:
    std::wstring mGameName;
    int mMode;
    int mSet;
};

// Whether to play the tutorial: yes opens its first puzzle, no passes the
// tutorial set. Either way the question is not asked again.
class ConfirmTutorialMenu : public ShadedConfirmMenu {
public:
    ConfirmTutorialMenu();
    void OnOk() override;
    // "no".
    void Dismiss() override;

private:
    bool mAnswered = false;
};
