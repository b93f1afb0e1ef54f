#include "widgets/ConfirmMenu.h"

ConfirmMenu::ConfirmMenu(const std::wstring& title, const std::wstring& text, const std::wstring& okText,
                         const std::wstring& cancelText, Widget* fadeFrom)
    : DialogMenu(fadeFrom) {
    SetVariable(L"title", title);
    SetVariable(L"text", text);
    SetVariable(L"ok_text", okText);
    SetVariable(L"cancel_text", cancelText);
    PlayAnimationByName(L"confirm_menu");
}

void ConfirmMenu::DoAction(const std::wstring& action, const std::wstring& parameter, int object) {
    if (action == L"ok") {
        OnOk();
        return;
    }
    DialogMenu::DoAction(action, parameter, object);
}
