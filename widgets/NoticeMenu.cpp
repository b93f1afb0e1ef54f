#include "widgets/NoticeMenu.h"

#include "data/Localization.h"
#include "widgets/ScriptCommandRegistry.h"

NoticeMenu::NoticeMenu(const std::wstring& key, Widget* fadeFrom, const std::wstring& fontName, int priority)
    : DialogMenu(fadeFrom) {
    mPriority = priority;
    mZOrder = priority;
    SetVariable(L"title", GetLocalizedString(key + L"_title"));
    SetVariable(L"text", GetLocalizedString(key + L"_text"));
    SetVariable(L"text_font", fontName);
    PlayAnimationByName(L"notice_menu");
}

NoticeMenu::NoticeMenu(const Texts& texts, const std::wstring& fontName, int priority) : DialogMenu(nullptr) {
    mPriority = priority;
    mZOrder = priority;
    SetVariable(L"title", texts.mTitle);
    SetVariable(L"text", texts.mText);
    SetVariable(L"text_font", fontName);
    PlayAnimationByName(L"notice_menu");
}

NoticeMenu* NoticeMenu::WithText(const std::wstring& title, const std::wstring& text, const std::wstring& fontName,
                                 int priority) {
    return new NoticeMenu(Texts{title, text}, fontName, priority);
}

namespace {

// "notice-menu": a notice of the localization key "text" in the font "menu".
// The script waits until it closes; with "continue" it shows the notice and
// goes on at once.
ScriptStep NoticeMenuCommand(AnimationWidget& widget, const AnimationCommand&, DynamicWidget*) {
    const std::wstring key = widget.GetStringAttribute(L"text");
    const bool goOn = widget.GetBoolAttributeOr(L"continue", false);
    const bool unpause = widget.GetBoolAttributeOr(L"unpause", true);
    auto* notice = new NoticeMenu(key, nullptr, L"menu", 2);
    return widget.ShowNoticeMenu(notice, !goOn, unpause) ? ScriptStep::Stop : ScriptStep::Next;
}

}  // namespace

void NoticeMenu::RegisterScriptCommand(ScriptCommandRegistry& registry) {
    registry.AddBuiltIn(L"notice-menu", ScriptCommandGroup::Always, &NoticeMenuCommand);
}
