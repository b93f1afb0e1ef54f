#pragma once
#include "widgets/Menu.h"

class ButtonListener;
class ButtonWidget;

// The tutorial's message box: a popup on the picture at (x, y) with one
// "button_ok" button, disabled until the tutorial grid (its listener)
// enables it. It is not modal: the board under it stays playable.
class TextboxPopup : public Menu {
public:
    TextboxPopup(int x, int y, Image* image, ButtonListener* listener);

    ButtonWidget* GetOkButton() const { return mOkButton; }

private:
    ButtonWidget* mOkButton = nullptr;
};
