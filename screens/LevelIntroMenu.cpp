#include "screens/LevelIntroMenu.h"

#include "core/StringUtil.h"
#include "data/AssetLookup.h"
#include "puzzle/PlayerProgress.h"
#include "screens/LevelStatusMenu.h"
#include "widgets/Checkbox.h"
#include "widgets/ScriptCommandRegistry.h"

namespace {

ScriptStep CheckboxCommand(AnimationWidget& w, const AnimationCommand&, DynamicWidget*) {
    static_cast<LevelIntroMenu&>(w).AddCheckbox(w.GetIntAttribute(L"x"), w.GetIntAttribute(L"y"));
    return ScriptStep::Next;
}

}  // namespace

void LevelIntroMenu::RegisterScriptCommands(ScriptCommandRegistry& registry) {
    registry.AddClassCommand<LevelIntroMenu>(L"checkbox", &CheckboxCommand);
}

LevelIntroMenu::LevelIntroMenu(const std::wstring& gameName, int mode, int set, int puzzle)
    : Menu(L""), mGameName(gameName), mMode(mode), mSet(set), mPuzzle(puzzle) {}

void LevelIntroMenu::AddedToManager(WidgetManager* manager) {
    Menu::AddedToManager(manager);
    SetVariable(L"c_device", ScriptValue(gPlayerState ? gPlayerState->mDevice : std::wstring()));
    InsertAnimationByName(WStrFormat(L"intro_%d_%d", mSet + 1, mPuzzle + 1));
    GotFocus();
}

void LevelIntroMenu::AddCheckbox(int x, int y) {
    if (mCheckbox) return;
    mCheckbox = new Checkbox(FindImage(L"Checkbox"), FindImage(L"Checkbox_hover"), FindImage(L"Checkbox_checked"),
                             FindImage(L"Checkbox_Checked_hover"), this);
    mCheckbox->Move(static_cast<float>(x), static_cast<float>(y));
    mCheckbox->SetChecked(gPlayerState && gPlayerState->mDisableTips, false);
    AddWidget(mCheckbox);
}

void LevelIntroMenu::CheckboxChecked(int id, bool checked) {
    if (mCheckbox && mCheckbox->mId == id && gPlayerState) {
        gPlayerState->mDisableTips = checked;
        PlayerProgress::SaveSettings();
    }
}

void LevelIntroMenu::OpenPuzzle() {
    if (mOpened) return;
    mOpened = true;
    ::OpenPuzzle(mGameName, mMode, mSet, mPuzzle, false);
}

void LevelIntroMenu::DoAction(const std::wstring& action, const std::wstring& parameter, int object) {
    if (action == L"ok") {
        RemoveSelf();
        OpenPuzzle();
    }
    // Closing left the widget in the tree until its deferred delete: the
    // script's own handling still applies.
    Menu::DoAction(action, parameter, object);
}

void LevelIntroMenu::PlayedEmptyAnimation() {
    mStartOnRemove = true;
    RemoveSelf();
}

void LevelIntroMenu::RemovedFromManager(WidgetManager* manager) {
    if (mStartOnRemove) OpenPuzzle();
    Menu::RemovedFromManager(manager);
}
