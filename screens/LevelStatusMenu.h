#pragma once
#include <string>

#include "core/WeakHandle.h"
#include "widgets/ButtonWidget.h"
#include "widgets/Menu.h"

class ScriptCommandRegistry;

// The common part of the screens after a played puzzle: the puzzle's name,
// time, mistakes and hints as script variables, and the script's "ok" and
// "quit" buttons ("add-status-button"), which close every menu open beneath
// this one once the screen that follows has opened.
class LevelStatusMenu : public Menu {
public:
    LevelStatusMenu(const std::wstring& script, const std::wstring& gameName, int mode, int set, int puzzle,
                    int seconds, int mistakes, int hints);

    static void RegisterScriptCommands(ScriptCommandRegistry& registry);
    // A button of the game's factory centred on (x, y); "ok" and "quit" are
    // the ids that lead on.
    void AddStatusButton(const std::wstring& textKey, int x, int y, const std::wstring& id);

    void ButtonDepress(int id) override;
    virtual void OnContinue() = 0;
    virtual void OnQuit() = 0;

    ButtonWidget* GetOkButton() const { return mOkButton.Get(); }
    ButtonWidget* GetQuitButton() const { return mQuitButton.Get(); }

protected:
    std::wstring mGameName;
    int mMode = 0;
    int mSet = 0;
    int mPuzzle = 0;
    WeakHandle<ButtonWidget> mOkButton;
    WeakHandle<ButtonWidget> mQuitButton;
};

// Opens the loading screen of one puzzle (the play screen itself while the
// game has no loading screen), through the transition when asked.
void OpenPuzzle(const std::wstring& gameName, int mode, int set, int puzzle, bool withTransition);
