#pragma once
#include <string>

#include "screens/ShadedConfirmMenu.h"

class PlayerSelectMenu;

// Asks before the profiles screen deletes the selected profile.
class ConfirmDeleteMenu : public ShadedConfirmMenu {
public:
    ConfirmDeleteMenu(const std::wstring& name, PlayerSelectMenu* owner);

    void OnOk() override;

private:
    WeakHandle<PlayerSelectMenu> mOwner;
};
