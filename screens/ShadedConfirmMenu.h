#pragma once
#include <string>

#include "core/Geometry.h"
#include "widgets/ConfirmMenu.h"

// A question asked over the whole screen darkened, so that nothing behind it
// looks like it could still be clicked.
class ShadedConfirmMenu : public ConfirmMenu {
public:
    ShadedConfirmMenu(const std::wstring& title, const std::wstring& text, const std::wstring& okText,
                      const std::wstring& cancelText, const std::wstring& name, Widget* fadeFrom);
    // The four texts by their localization keys.
    struct Keys {
        const wchar_t* title;
        const wchar_t* text;
        const wchar_t* ok;
        const wchar_t* cancel;
    };
    ShadedConfirmMenu(const Keys& keys, const std::wstring& name, Widget* fadeFrom);

    void Draw(Graphics* g) override;
    // The whole 1024 x 768 screen in the dialog's own coordinates (its place
    // truncated), wherever the dialog stands.
    FRect GetShadeRect() const;

protected:
    // What the dialog is about (a game's name), for the answers that need it.
    std::wstring mName;
};
