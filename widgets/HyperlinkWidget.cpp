#include "widgets/HyperlinkWidget.h"

HyperlinkWidget::HyperlinkWidget(ButtonListener* listener) : ButtonWidget(0.0f, 0.0f, L"") {
    mButtonListener = listener;
    mJustification = 0;
}

void HyperlinkWidget::SizeToText(int centreX, int y, int maxWidth) {
    mWrapWidth = maxWidth;
    Point size = MeasureLabel();
    Resize(static_cast<float>(centreX - size.mX / 2), static_cast<float>(y), size.mX, size.mY);
}
