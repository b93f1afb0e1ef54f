#pragma once
#include <string>

#include "core/WeakHandle.h"
#include "widgets/Listeners.h"
#include "widgets/Menu.h"

class ButtonWidget;
class EditWidget;
class TitleScreen;

// The longest name a profile takes.
constexpr size_t kMaxNameLength = 10;

// Whether `ch` may follow `text` in a player's name: ASCII letters and
// digits, a space once the name has begun, at most kMaxNameLength characters.
// Nothing beyond ASCII, so every name reads back the same from profiles.xml.
bool IsValidNameChar(const std::wstring& text, wchar_t ch);

// The box over the title that asks a first player for a name. OK (or Enter)
// with a name creates the profile in the first free slot, selects it and
// starts the game; without a name it does nothing, and its button shows it
// cannot be pressed.
class EnterNameMenu : public Menu, public EditListener {
public:
    explicit EnterNameMenu(TitleScreen* title);

    void AddedToManager(WidgetManager* manager) override;
    void Update() override;
    void Draw(Graphics* g) override;
    bool AllowChar(int editId, wchar_t character) override;
    bool AllowKey(int editId, int key) override;
    void ButtonDepress(int id) override;

    EditWidget* GetEdit() const { return mEdit; }
    ButtonWidget* GetOkButton() const { return mOkButton; }

private:
    EditWidget* mEdit = nullptr;
    ButtonWidget* mOkButton = nullptr;
    WeakHandle<TitleScreen> mTitleScreen;
};
