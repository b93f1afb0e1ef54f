#include "widgets/TextboxPopup.h"

#include "widgets/ButtonWidget.h"

TextboxPopup::TextboxPopup(int x, int y, Image* image, ButtonListener* listener) : Menu(image, true, false) {
    Move(static_cast<float>(x), static_cast<float>(y));
    // The lesson's board stays playable while its text is shown.
    mModal = false;
    mOkButton = AddMenuButton(mWidth / 2, (mHeight * 3) / 4 - 1, L"button_ok");
    if (!mOkButton) return;
    mOkButton->SetDisabled(true);
    mOkButton->mButtonListener = listener;
}
