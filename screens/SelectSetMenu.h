#pragma once
#include <string>
#include <vector>

#include "core/Geometry.h"
#include "core/WeakHandle.h"
#include "widgets/Menu.h"

class ButtonWidget;
class ScriptCommandRegistry;

// The sets of a mode (the bonus sets) as a column of buttons, locked or
// open, with an information text for the set under the pointer: how far
// an open set is done, or how many story sets a locked one waits for.
// Played by "select_set_" + game name.
class SelectSetMenu : public Menu {
public:
    SelectSetMenu(const std::wstring& gameName, int mode, bool bonusComplete);

    static void RegisterScriptCommands(ScriptCommandRegistry& registry);
    // "set-column", "set-info".
    ScriptStep RunCommand(const std::wstring& name);
    // The buttons' label font, and the font under the pointer (the label's
    // own font when none is named).
    void AddSetColumn(int x, int y, int spacing, int count, const std::wstring& fontName,
                      const std::wstring& buttonImage, const std::wstring& overFontName = L"");

    void Draw(Graphics* g) override;
    void DrawOverlay(Graphics* g) override;
    void ScriptEnded() override {}
    // "main_menu", "summary_shown".
    void DoAction(const std::wstring& action, const std::wstring& parameter, int object) override;
    void ButtonDepress(int id) override;
    void ButtonMouseEnter(int id) override;
    // A locked set's button is disabled and hears no pointer: the menu
    // watches the pointer over it to show that set's information.
    void Update() override;

    // The information text of a set (`mInfoText` afterwards).
    void SetInfo(int index);

    const std::vector<WeakHandle<ButtonWidget>>& GetSetButtons() const { return mSetButtons; }
    const std::wstring& GetInfoText() const { return mInfoText; }
    const Rect& GetInfoRect() const { return mInfoRect; }
    int GetShownSet() const { return mShownSet; }

private:
    int FindSetButton(int buttonId) const;

    std::vector<WeakHandle<ButtonWidget>> mSetButtons;
    std::wstring mGameName;
    int mMode = 1;
    int mShownSet = -1;
    int mCompletedStorySets = 0;
    int mInfoX = 0;
    int mInfoY = 0;
    int mInfoWidth = 200;
    std::wstring mInfoFont = L"tiny";
    std::wstring mInfoText;
    Rect mInfoRect;
};
