#pragma once
#include <string>

#include "widgets/DialogMenu.h"

class ScriptCommandRegistry;

// A localized notice: "notice_menu" shows the texts of key + "_title" and
// key + "_text" (empty when absent) in the given font. The script command
// "notice-menu" opens one.
class NoticeMenu : public DialogMenu {
public:
    NoticeMenu(const std::wstring& key, Widget* fadeFrom, const std::wstring& fontName, int priority);
    // A notice of texts made already (a localized format filled in).
    static NoticeMenu* WithText(const std::wstring& title, const std::wstring& text, const std::wstring& fontName,
                                int priority);

    // Registers "notice-menu" among the built-in commands; the application
    // does it before the animations load.
    static void RegisterScriptCommand(ScriptCommandRegistry& registry);

private:
    struct Texts {
        std::wstring mTitle;
        std::wstring mText;
    };
    NoticeMenu(const Texts& texts, const std::wstring& fontName, int priority);
};
