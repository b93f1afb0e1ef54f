#include "tests/support/WidgetQueries.h"

#include "app/GameApp.h"
#include "tests/support/AppHarness.h"
#include "widgets/Menu.h"
#include "widgets/WidgetManager.h"

WidgetManager& TreeOf(AppHarness& harness) { return *harness.App().mWidgetManager; }

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

Widget* FindWidgetById(WidgetContainer& root, int id) {
    for (Widget* w : AllWidgets(root))
        if (w->mId == id) return w;
    return nullptr;
}

Widget* FindWidgetByName(WidgetContainer& root, const std::wstring& name) {
    for (Widget* w : AllWidgets(root))
        if (w->mName == name) return w;
    return nullptr;
}

Widget* FindWidgetById(AppHarness& harness, int id) { return FindWidgetById(TreeOf(harness), id); }

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

void ClickCentre(AppHarness& harness, const Widget& widget) {
    const int x = static_cast<int>(widget.mX) + widget.mWidth / 2;
    const int y = static_cast<int>(widget.mY) + widget.mHeight / 2;
    harness.MouseMove(x, y);
    harness.Click(x, y);
    harness.DrainInput();
}
