#include "screens/PlayerSelectMenu.h"

#include "app/GameApp.h"
#include "data/AssetLookup.h"
#include "puzzle/PlayerState.h"
#include "puzzle/PlayerProgress.h"
#include "puzzle/ProfileManager.h"
#include "render/Font.h"
#include "screens/ConfirmDeleteMenu.h"
#include "screens/MyBoard.h"
#include "screens/ProfileNameWidget.h"
#include "platform/InputEvent.h"
#include "widgets/ButtonWidget.h"
#include "widgets/WidgetManager.h"

namespace {
constexpr const wchar_t* kCommands[] = {L"place-profiles", L"place-buttons"};
}  // namespace

void PlayerSelectMenu::RegisterScriptCommands(ScriptCommandRegistry& registry) {
    registry.AddClassCommands<PlayerSelectMenu, &PlayerSelectMenu::RunProfileCommand>(kCommands);
}

PlayerSelectMenu::PlayerSelectMenu() : Menu(FindImage(L"TitleBackground"), false, false) {
    mSelected = gSelectedProfile;
    mUseTransition = true;
    InsertAnimationByName(L"profile_menu");
}

ScriptStep PlayerSelectMenu::RunProfileCommand(const std::wstring& name) {
    if (name == L"place-profiles") PlaceProfiles();
    if (name == L"place-buttons") PlaceButtons();
    return ScriptStep::Next;
}

void PlayerSelectMenu::PlaceProfiles() {
    int top = GetIntAttribute(L"profile_top");
    const int x = GetIntAttribute(L"x");
    const int xOk = GetIntAttribute(L"x_ok");
    const int checkOffset = GetIntAttribute(L"checkbox_offset");
    const int spacing = GetIntAttribute(L"profile_spacing");
    const std::wstring checkImage = GetStringAttribute(L"button_image");
    Font* font = FindFont(GetStringAttribute(L"font"));
    for (int slot = 0; slot < kSlots; ++slot) {
        // A second placing replaces the first.
        if (mNameButtons[slot]) mNameButtons[slot]->RemoveSelf();
        if (mCheckButtons[slot]) mCheckButtons[slot]->RemoveSelf();
        const std::wstring name = slot < static_cast<int>(gProfiles.size()) ? gProfiles[slot].mName : std::wstring();
        auto* nameButton = new ProfileNameWidget(x, top, name, this);
        nameButton->mButtonListener = static_cast<ButtonListener*>(this);
        if (font) nameButton->SetStateFont(font, ButtonWidget::Normal);
        AddWidget(nameButton);
        mNameButtons[slot] = nameButton;
        ButtonWidget* check = AddButton(nameButton->mWidth / 2 + xOk, top - checkOffset, checkImage, L"", true);
        check->mButtonListener = static_cast<ButtonListener*>(this);
        check->SetVisible(false);
        mCheckButtons[slot] = check;
        top += spacing;
    }
    // A stored selection of a free slot selects nothing: there is no name to show.
    if (mSelected >= kSlots || (mSelected >= 0 && mNameButtons[mSelected]->IsEmpty())) mSelected = -1;
    if (mSelected >= 0) mNameButtons[mSelected]->BeginEdit();
}

void PlayerSelectMenu::PlaceButtons() {
    auto place = [this](const wchar_t* xName, const wchar_t* label) {
        ButtonWidget* button = AddMenuButton(GetIntAttribute(xName), GetIntAttribute(L"y"), label);
        if (button) button->mButtonListener = static_cast<ButtonListener*>(this);
        return button;
    };
    mMenuButton = place(L"x_cancel", L"button_menu");
    mDeleteButton = place(L"x_delete", L"button_delete");
    mPlayButton = place(L"x_play", L"button_play");
    UpdateButtons();
}

int PlayerSelectMenu::SlotOfNameButton(int id) const {
    for (int slot = 0; slot < kSlots; ++slot)
        if (mNameButtons[slot] && mNameButtons[slot]->mId == id) return slot;
    return -1;
}

int PlayerSelectMenu::SlotOfCheckButton(int id) const {
    for (int slot = 0; slot < kSlots; ++slot)
        if (mCheckButtons[slot] && mCheckButtons[slot]->mId == id) return slot;
    return -1;
}

void PlayerSelectMenu::ButtonDepress(int id) {
    Menu::ButtonDepress(id);
    if (mMenuButton && id == mMenuButton->mId) {
        LeaveForMainMenu(false);
    } else if (mPlayButton && id == mPlayButton->mId) {
        LeaveForMainMenu(true);
    } else if (mDeleteButton && id == mDeleteButton->mId) {
        if (mSelected >= 0) ShowMenu(new ConfirmDeleteMenu(mNameButtons[mSelected]->GetName(), this));
    } else if (const int slot = SlotOfNameButton(id); slot >= 0) {
        PressSlot(slot);
    } else if (SlotOfCheckButton(id) >= 0) {
        CommitSelection();
    }
}

void PlayerSelectMenu::KeyDown(int key) {
    Menu::KeyDown(key);
    if (key == KeyCode::Escape && !HasClosed() && mMenuButton) LeaveForMainMenu(false);
}

void PlayerSelectMenu::LeaveForMainMenu(bool closeFirst) {
    if (gPlayerState) gPlayerState->mDevice = L"ipad";
    auto* board = gGameApp ? static_cast<MyBoard*>(gGameApp->mBoard) : nullptr;
    if (closeFirst) RemoveSelf();
    if (board) board->ShowMainMenu();
    if (!closeFirst) RemoveSelf();
}

void PlayerSelectMenu::PressSlot(int slot) {
    if (slot == mSelected) return;
    if (mSelected >= 0) {
        mNameButtons[mSelected]->ReturnToIdle();
        CommitSelection();
    }
    mSelected = slot;
    ProfileNameWidget* button = mNameButtons[slot];
    button->BeginEdit();
    if (button->IsEmpty()) {
        if (mWidgetManager) mWidgetManager->SetFocus(button);
        mCheckButtons[slot]->SetVisible(true);
    } else {
        if (gGameApp) gGameApp->mPlayerName = button->GetName();
        if (mWidgetManager) mWidgetManager->SetFocus(this);
    }
    UpdateButtons();
}

void PlayerSelectMenu::UpdateButtons() {
    const bool named = mSelected >= 0 && !mNameButtons[mSelected]->IsEmpty();
    // Each change is on disk before the screen shows it.
    if (named) {
        PlayerProgress::NameProfile(mSelected, mNameButtons[mSelected]->GetName());
    } else if (mSelected >= 0) {
        // Not a selection of -1, which keeps the old one: a freed slot must
        // not stay the player (nor be saved as the selected one).
        PlayerProgress::DeleteProfile(mSelected);
    } else {
        PlayerProgress::SelectNobody();
    }
    // The way back stays: after a delete nothing is selected, and the player
    // must still be able to leave (the main menu asks for a profile again).
    for (ButtonWidget* button : {mMenuButton, mDeleteButton, mPlayButton}) {
        if (!button) continue;
        button->SetVisible(named || button == mMenuButton);
        button->SetFrame(0);
    }
}

void PlayerSelectMenu::CommitSelection() {
    if (mSelected < 0) return;
    mCheckButtons[mSelected]->SetVisible(false);
    if (mWidgetManager) mWidgetManager->SetFocus(this);
    UpdateButtons();
    ProfileNameWidget* button = mNameButtons[mSelected];
    if (!button->IsEmpty()) {
        if (gGameApp) gGameApp->mPlayerName = button->GetName();
    } else {
        // Left free: the slot looks free again, and nothing is selected.
        button->ReturnToIdle();
        mSelected = -1;
    }
}

void PlayerSelectMenu::DeleteSelected() {
    if (mSelected < 0) return;
    mNameButtons[mSelected]->MarkEmpty();
    UpdateButtons();
    mSelected = -1;
}
