#pragma once
#include <string>

// Shows the notice of a localization pair (title and text) over the play
// screen, in the font "menu" above the screen's dialogs. False when it could
// not be shown (no application): the caller then keeps the rule untold.
bool ShowPlayNotice(const std::wstring& key);
