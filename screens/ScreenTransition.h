#pragma once
#include <string>

#include "widgets/Transition.h"

// The game's transition: the animation ("transition" unless a screen names
// its own) plays over a picture of the old screen while the new menu opens
// beneath it at once.
class ScreenTransition : public Transition {
public:
    explicit ScreenTransition(Menu* newMenu, const std::wstring& animationName = L"transition");
};
