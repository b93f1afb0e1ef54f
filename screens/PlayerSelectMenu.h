#pragma once
#include <string>

#include "widgets/Menu.h"
#include "widgets/ScriptCommandRegistry.h"

class ButtonWidget;
class ProfileNameWidget;

// The profiles screen: the eight slots, where a player picks a profile,
// names a free slot or deletes one, and the menu, delete and play buttons;
// delete and play show only while a named profile is selected, the way back
// to the main menu (and Escape) always. Its script ("profile_menu")
// lays the slots out with "place-profiles" and the buttons with
// "place-buttons".
class PlayerSelectMenu : public Menu {
public:
    static constexpr int kSlots = 8;

    PlayerSelectMenu();

    static void RegisterScriptCommands(ScriptCommandRegistry& registry);
    ScriptStep RunProfileCommand(const std::wstring& name);

    void ButtonDepress(int id) override;
    // Escape: back to the main menu, as its button.
    void KeyDown(int key) override;
    // The edited slot is done: named, it becomes the selected profile; left
    // empty, the slot stays free and nothing is selected.
    void CommitSelection();
    // The selected profile is gone (its slot renamed to the empty name);
    // nothing with nothing selected.
    void DeleteSelected();

    int GetSelected() const { return mSelected; }
    ProfileNameWidget* GetNameButton(int slot) const { return mNameButtons[slot]; }
    ButtonWidget* GetCheckButton(int slot) const { return mCheckButtons[slot]; }
    ButtonWidget* GetMenuButton() const { return mMenuButton; }
    ButtonWidget* GetDeleteButton() const { return mDeleteButton; }
    ButtonWidget* GetPlayButton() const { return mPlayButton; }

private:
    void PlaceProfiles();
    void PlaceButtons();
    void PressSlot(int slot);
    // Stores the selected slot's name (creating, renaming or freeing its
    // profile), selects it, and shows delete and play only for a name.
    void UpdateButtons();
    // The device layout, then the main menu.
    void LeaveForMainMenu(bool closeFirst);
    int SlotOfNameButton(int id) const;
    int SlotOfCheckButton(int id) const;

    ButtonWidget* mMenuButton = nullptr;
    ButtonWidget* mDeleteButton = nullptr;
    ButtonWidget* mPlayButton = nullptr;
    ProfileNameWidget* mNameButtons[kSlots] = {};
    ButtonWidget* mCheckButtons[kSlots] = {};
    int mSelected = -1;
};
