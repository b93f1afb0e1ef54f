#pragma once
#include <string>

#include "widgets/ButtonWidget.h"

// A button on a draggable surface: its press, drags and release also reach
// its parent (in the parent's coordinates), so the surface can be dragged
// from the button; a press that travels further than the sloppy-click
// threshold (constant "sloppy_click_threshold", 10 when undefined or 0)
// reports no click.
class DragButton : public ButtonWidget {
public:
    DragButton(float x, float y, const std::wstring& name, const std::wstring& label = L"",
               bool localize = false);

    void MouseDown(int x, int y, int clickCount) override;
    void MouseDrag(int x, int y) override;
    void MouseUpAt(int x, int y, int clickCount) override;

    static float ClickThreshold();

private:
    // The parent widget and the local point in its coordinates; null parent
    // when the button hangs under no widget.
    Widget* ParentWidget(int& x, int& y) const;

    bool mDragPressed = false;
    int mLastX = -1;
    int mLastY = -1;
    float mDragDistance = 0.0f;
};
