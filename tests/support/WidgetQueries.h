#pragma once
#include <string>
#include <vector>

class AppHarness;
class Menu;
class Widget;
class WidgetContainer;
class WidgetManager;

// Finding widgets in a running application's tree (depth first, parents
// before children, in drawing order).
WidgetManager& TreeOf(AppHarness& harness);
Widget* FindWidgetById(WidgetContainer& root, int id);
Widget* FindWidgetByName(WidgetContainer& root, const std::wstring& name);
Widget* FindWidgetById(AppHarness& harness, int id);
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
// Moves the pointer to the centre of the widget (a child of the window's
// root) and clicks there, as a player does; the input is handled.
void ClickCentre(AppHarness& harness, const Widget& widget);
