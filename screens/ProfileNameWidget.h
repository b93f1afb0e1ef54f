#pragma once
#include <string>

#include "widgets/ButtonWidget.h"

class PlayerSelectMenu;

// One profile slot's name on the profiles screen: a button showing the
// player's name, or a placeholder for a free slot, that takes the name typed
// into it while it has the keyboard focus.
class ProfileNameWidget : public ButtonWidget {
public:
    // Centred on x, its top at y.
    ProfileNameWidget(int x, int y, const std::wstring& name, PlayerSelectMenu* owner);

    // The selected look; a free slot asks for a name.
    void BeginEdit();
    // The idle look again; a free slot shows itself free.
    void ReturnToIdle();
    // The slot is free now (its profile was deleted).
    void MarkEmpty();
    // Letters and digits of a name, Backspace (8) and Enter (13, commits).
    void KeyChar(wchar_t character) override;
    // Escape while typing leaves the screen, as it does anywhere on it.
    void KeyDown(int key) override;
    // While typed into, a caret follows the name.
    void Draw(Graphics* g) override;

    bool IsEmpty() const { return mEmpty; }
    // The typed or stored name; empty for a free slot.
    std::wstring GetName() const { return mEmpty ? std::wstring() : mLabel; }
    bool IsEditLook() const { return mEditLook; }

protected:
    // Selected, it shows its selected cel under the pointer or not.
    int StateCel(int state) const override;

private:
    // Placeholders are drawn fainter than names.
    void ShowPlaceholder(const wchar_t* key);

    bool mEmpty = true;
    bool mEditLook = false;
    PlayerSelectMenu* mOwner;
};
