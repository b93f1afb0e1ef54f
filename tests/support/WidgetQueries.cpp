#include "tests/support/WidgetQueries.h"

#include "app/GameApp.h"
#include "tests/support/AppHarness.h"
#include "widgets/Menu.h"
#include "widgets/WidgetManager.h"

namespace {
WidgetManager& TreeOf(AppHarness& harness) { return *harness.App().mWidgetManager; }
}  // namespace

std::vector<Widget*> AllWidgets(WidgetContainer& root) {
    std::vector<Widget*> out;
    std::vector<Widget*> stack(root.GetWidgets().rbegin(), root.GetWidgets().rend());
    while (!stack.empty()) {
        Widget* w = stack.back();
        stack.pop_back();
        out.push_back(w);
        stack.insert(stack.end(), w->GetWidgets().rbegin(), w->GetWidgets().rend());
    }
    return out;
}

Widget* FindWidgetByName(WidgetContainer& root, const std::wstring& name) {
    for (Widget* w : AllWidgets(root))
        if (w->mName == name) return w;
    return nullptr;
}

Widget* FindWidgetByName(AppHarness& harness, const std::wstring& name) {
    return FindWidgetByName(TreeOf(harness), name);
}

Widget* VisibleWidgetAt(AppHarness& harness, int x, int y) {
    return TreeOf(harness).GetVisibleWidgetAt(x, y);
}

Widget* MouseWidgetAt(AppHarness& harness, int x, int y) {
    return TreeOf(harness).GetWidgetAt(x, y);
}

bool IsMenuOpen(const Menu* menu) {
    if (!gGameApp) return false;
    for (Menu* open : gGameApp->GetOpenMenus())
        if (open == menu) return true;
    return false;
}

Menu* TopOpenMenu() {
    const std::vector<Menu*> open = gGameApp ? gGameApp->GetOpenMenus() : std::vector<Menu*>();
    return open.empty() ? nullptr : open.back();
}

void CloseOpenMenus() {
    if (!gGameApp) return;
    for (Menu* open : gGameApp->GetOpenMenus()) open->RemoveSelf();
}

void ClickCentre(AppHarness& harness, const Widget& widget) {
    const FRect r = widget.LocalToScreenRect(FRect(0, 0, widget.mWidth, widget.mHeight));
    const int x = static_cast<int>(r.mX + r.mWidth / 2);
    const int y = static_cast<int>(r.mY + r.mHeight / 2);
    harness.Click(x, y);
}
