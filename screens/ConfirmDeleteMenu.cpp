#include "screens/ConfirmDeleteMenu.h"

#include "data/CheckedFormat.h"
#include "data/Localization.h"
#include "screens/PlayerSelectMenu.h"

ConfirmDeleteMenu::ConfirmDeleteMenu(const std::wstring& name, PlayerSelectMenu* owner)
    : ShadedConfirmMenu(GetLocalizedString(L"delete_title"),
                        // The text is data: a stray conversion in it must not read past the name.
                        FormatChecked(GetLocalizedString(L"delete_text"), {name}), GetLocalizedString(L"button_delete"),
                        GetLocalizedString(L"button_cancel"), std::wstring(), nullptr),
      mOwner(owner) {}

void ConfirmDeleteMenu::OnOk() {
    if (PlayerSelectMenu* owner = mOwner.Get()) owner->DeleteSelected();
    ShadedConfirmMenu::OnOk();
}
