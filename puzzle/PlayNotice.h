#pragma once
#include <string>

class Widget;
class WidgetManager;

// A one-time notice of the play screen opens only while the player pauses:
// no button held and no press for a second. Opened mid-play, it took the
// clicks a fast player had already made on the board (a modal notice takes
// every click, and one coming in ignores them), each of them lost.
constexpr int kPlayNoticePauseSteps = 100;
bool PlayerPausesForNotice(const WidgetManager* manager);

// Shows the notice of a localization pair (title and text) over the play
// screen, in the font "menu" above the screen's dialogs. False when it could
// not be shown (no application), or when the widget that tells it has left
// the screen: the screen is closing, and what a meter or the board finishes
// as it goes (a trail landing on its removal) must not open a notice over
// the screen that follows. The caller then keeps the rule untold.
bool ShowPlayNotice(const Widget& teller, const std::wstring& key);
