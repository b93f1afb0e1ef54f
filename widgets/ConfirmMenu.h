#pragma once
#include <string>

#include "widgets/DialogMenu.h"

// A question with an ok and a cancel answer ("confirm_menu" shows the four
// texts from its variables "title", "text", "ok_text" and "cancel_text").
class ConfirmMenu : public DialogMenu {
public:
    ConfirmMenu(const std::wstring& title, const std::wstring& text, const std::wstring& okText,
                const std::wstring& cancelText, Widget* fadeFrom);

    // "ok" answers yes; everything else is the dialog's.
    void DoAction(const std::wstring& action, const std::wstring& parameter, int object) override;
    // The answer; by default the dialog only closes.
    virtual void OnOk() { Dismiss(); }
};
