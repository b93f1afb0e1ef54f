#pragma once
#include "widgets/ButtonWidget.h"

// A text link: a button without an image whose label is drawn in its normal
// font (state 0) and, under the pointer, its hover font (state 1).
class HyperlinkWidget : public ButtonWidget {
public:
    explicit HyperlinkWidget(ButtonListener* listener);

    // Sizes the link to its label wrapped within maxWidth, centred on x with
    // its top at y.
    void SizeToText(int centreX, int y, int maxWidth);
};
