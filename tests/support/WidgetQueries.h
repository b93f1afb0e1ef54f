#pragma once
#include <string>
#include <vector>

#include "widgets/Menu.h"

class AppHarness;
class Widget;
class WidgetContainer;

// Finding widgets in a running application's tree (depth first, parents
// before children, in drawing order).
Widget* FindWidgetByName(WidgetContainer& root, const std::wstring& name);
Widget* FindWidgetByName(AppHarness& harness, const std::wstring& name);
// Every widget of the tree under root (root itself excluded).
std::vector<Widget*> AllWidgets(WidgetContainer& root);

// The topmost widget drawn at a screen point (visible, draw flag on, hit by
// its HitTest), whatever its mouse settings; null when none.
Widget* VisibleWidgetAt(AppHarness& harness, int x, int y);
// The widget that a mouse press at the point would reach.
Widget* MouseWidgetAt(AppHarness& harness, int x, int y);

// Whether the menu is among the game's open menus (compares pointers only: a
// closed menu may be deleted already).
bool IsMenuOpen(const Menu* menu);
// The last of the game's open menus; null when none is open.
Menu* TopOpenMenu();
// That menu as a Screen; null when it is of another kind or none is open.
template <class Screen>
Screen* TopMenu() {
    return dynamic_cast<Screen*>(TopOpenMenu());
}
// Removes every open menu of the game (they go at the next step).
void CloseOpenMenus();
// Moves the pointer to the centre of the widget (anywhere in the tree) and
// clicks there, as a player does; the input is handled.
void ClickCentre(AppHarness& harness, const Widget& widget);
