#include "puzzle/PlayNotice.h"

#include "widgets/NoticeMenu.h"
#include "widgets/Widget.h"
#include "widgets/WidgetManager.h"

bool PlayerPausesForNotice(const WidgetManager* manager) {
    return !manager || (!manager->IsMouseButtonDown() && manager->StepsSincePress() >= kPlayNoticePauseSteps);
}

bool ShowPlayNotice(const Widget& teller, const std::wstring& key) {
    if (!teller.IsInManager()) return false;
    auto* notice = new NoticeMenu(key, nullptr, L"menu", 2);
    ShowMenu(notice);
    if (notice->IsInManager()) return true;
    delete notice;
    return false;
}
