#include "widgets/DragButton.h"

#include <cmath>

#include "data/Constants.h"

namespace {
constexpr float kDefaultClickThreshold = 10.0f;
float sClickThreshold = -1.0f;  // loaded by the first button
}  // namespace

float DragButton::ClickThreshold() {
    if (sClickThreshold < 0.0f) {
        // Read without defining it: a missing constant must stay missing.
        const std::wstring name = L"sloppy_click_threshold";
        sClickThreshold = IsConstantDefined(name) ? GetConstantFloat(name) : 0.0f;
        if (sClickThreshold == 0.0f) sClickThreshold = kDefaultClickThreshold;
    }
    return sClickThreshold;
}

DragButton::DragButton(float x, float y, const std::wstring& name, const std::wstring& label,
                       bool localize)
    : ButtonWidget(x, y, name, label, localize) {
    ClickThreshold();
}

Widget* DragButton::ParentWidget(int& x, int& y) const {
    auto* parent = dynamic_cast<Widget*>(mParent);
    if (!parent) return nullptr;
    Rect inParent = LocalToParentRect(Rect(x, y, 1, 1));
    x = inParent.mX;
    y = inParent.mY;
    return parent;
}

void DragButton::MouseDown(int x, int y, int clickCount) {
    mDragPressed = true;
    ButtonWidget::MouseDown(x, y, clickCount);
    mDragDistance = 0.0f;
    mLastX = x;
    mLastY = y;
    if (Widget* parent = ParentWidget(x, y)) parent->MouseDown(x, y, clickCount);
}

void DragButton::MouseDrag(int x, int y) {
    const float dx = static_cast<float>(x - mLastX), dy = static_cast<float>(y - mLastY);
    mDragDistance += std::sqrt(dx * dx + dy * dy);
    mLastX = x;
    mLastY = y;
    ButtonWidget::MouseDrag(x, y);
    if (Widget* parent = ParentWidget(x, y)) parent->MouseDrag(x, y);
}

void DragButton::MouseUpAt(int x, int y, int clickCount) {
    const bool wasPressed = mDragPressed;
    mDragPressed = false;
    ListenerRef<ButtonListener> listener = mButtonListener;
    if (!wasPressed || mDragDistance > ClickThreshold()) mButtonListener.Reset();
    ButtonWidget::MouseUpAt(x, y, clickCount);
    mButtonListener = listener;
    mDragDistance = 0.0f;
    mLastX = mLastY = -1;
    if (Widget* parent = ParentWidget(x, y)) parent->MouseUpAt(x, y, clickCount);
}
