#include "screens/LevelStatusMenu.h"

#include "app/GameApp.h"
#include "data/CheckedFormat.h"
#include "data/Localization.h"
#include "puzzle/PlayTileGrid.h"
#include "screens/GameScreens.h"
#include "screens/MyPlayScreen.h"
#include "widgets/ButtonWidget.h"
#include "widgets/ScriptCommandRegistry.h"

namespace {

ScriptStep AddStatusButtonCommand(AnimationWidget& w, const AnimationCommand&, DynamicWidget*) {
    static_cast<LevelStatusMenu&>(w).AddStatusButton(w.GetStringAttribute(L"text"), w.GetIntAttribute(L"x"),
                                                     w.GetIntAttribute(L"y"), w.GetStringAttribute(L"id"));
    return ScriptStep::Next;
}

}  // namespace

void LevelStatusMenu::RegisterScriptCommands(ScriptCommandRegistry& registry) {
    registry.AddClassCommand<LevelStatusMenu>(L"add-status-button", &AddStatusButtonCommand);
}

LevelStatusMenu::LevelStatusMenu(const std::wstring& script, const std::wstring& gameName, int mode, int set,
                                 int puzzle, int seconds, int mistakes, int hints)
    : Menu(L""), mGameName(gameName), mMode(mode), mSet(set), mPuzzle(puzzle) {
    const PuzzleRecord* record = PlayTileGrid::FindPuzzle(PuzzleRef{gameName, mode, set, puzzle});
    SetVariable(L"puzzle_name", ScriptValue(record ? record->mName : std::wstring()));
    // The texts come from data: the checked formatter cannot misread them.
    SetVariable(L"puzzle_time",
                ScriptValue(FormatChecked(GetLocalizedString(L"complete_time"), {seconds / 60, seconds % 60})));
    SetVariable(L"puzzle_mistakes", ScriptValue(FormatChecked(GetLocalizedString(L"complete_mistakes"), {mistakes})));
    SetVariable(L"puzzle_hints", ScriptValue(FormatChecked(GetLocalizedString(L"complete_hints"), {hints})));
    InsertAnimationByName(script);
}

void LevelStatusMenu::AddStatusButton(const std::wstring& textKey, int x, int y, const std::wstring& id) {
    ButtonWidget* button = AddMenuButton(x, y, textKey);
    if (!button) return;
    button->mButtonListener = static_cast<ButtonListener*>(this);
    if (id == L"ok")
        mOkButton = button;
    else if (id == L"quit")
        mQuitButton = button;
}

void LevelStatusMenu::ButtonDepress(int id) {
    Menu::ButtonDepress(id);
    ButtonWidget* ok = mOkButton.Get();
    ButtonWidget* quit = mQuitButton.Get();
    const bool isOk = ok && ok->mId == id, isQuit = !isOk && quit && quit->mId == id;
    if (!gGameApp || (!isOk && !isQuit)) return;
    // Everything open now closes; the screen opened next stays.
    gGameApp->CollectOpenMenus();
    if (isOk)
        OnContinue();
    else
        OnQuit();
    gGameApp->KillCollectedMenus();
}

void OpenPuzzle(const std::wstring& gameName, int mode, int set, int puzzle, bool withTransition) {
    Menu* menu = gGameScreens.mPuzzleLoading ? gGameScreens.mPuzzleLoading(gameName, mode, set, puzzle, false)
                                             : new MyPlayScreen(PuzzleRef{gameName, mode, set, puzzle});
    if (!menu) return;
    if (withTransition)
        ShowMenuWithTransition(menu);
    else
        ShowMenu(menu);
}
