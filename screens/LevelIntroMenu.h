#pragma once
#include <string>

#include "widgets/Listeners.h"
#include "widgets/Menu.h"

class Checkbox;
class ScriptCommandRegistry;

// The card of tips before an early story puzzle ("intro_<set+1>_<puzzle+1>").
// Its box ("checkbox") is the player's "disable-tips" flag; "ok" closes it
// and opens the puzzle's loading screen without a card. A card without a
// script opens the puzzle at once.
class LevelIntroMenu : public Menu, public CheckboxListener {
public:
    LevelIntroMenu(const std::wstring& gameName, int mode, int set, int puzzle);

    static void RegisterScriptCommands(ScriptCommandRegistry& registry);
    void AddCheckbox(int x, int y);

    void AddedToManager(WidgetManager* manager) override;
    void RemovedFromManager(WidgetManager* manager) override;
    void PlayedEmptyAnimation() override;
    void DoAction(const std::wstring& action, const std::wstring& parameter, int object) override;
    void CheckboxChecked(int id, bool checked) override;

    Checkbox* GetCheckbox() const { return mCheckbox; }

private:
    void OpenPuzzle();

    std::wstring mGameName;
    int mMode = 0;
    int mSet = 0;
    int mPuzzle = 0;
    bool mStartOnRemove = false;
    bool mOpened = false;  // the puzzle opens once, whichever way the card leaves
    Checkbox* mCheckbox = nullptr;
};
