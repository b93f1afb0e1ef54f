#pragma once
#include "widgets/Listeners.h"
#include "widgets/Widget.h"

class Image;

// A two-state box drawn with one of four images (checked or not, hovered or
// not). A left press toggles it and tells the listener.
class Checkbox : public Widget {
public:
    // The menus pass "Checkbox", "Checkbox_hover", "Checkbox_checked" and
    // "Checkbox_Checked_hover". The size is the first image's.
    Checkbox(Image* unchecked, Image* uncheckedHover, Image* checked, Image* checkedHover,
             CheckboxListener* listener);
    int StepsUntilDue() override { return kNothingDue; }  // changes only with the mouse

    void SetChecked(bool checked, bool notify = true);
    bool IsChecked() const { return mChecked; }
    // The image for the present state (null when that image is missing).
    Image* GetStateImage() const;

    void Draw(Graphics* g) override;
    void MouseDown(int x, int y, int clickCount) override;
    void MouseEnter() override { MarkDirty(); }
    void MouseLeave() override { MarkDirty(); }

    bool mChecked = false;
    Image* mUncheckedImage = nullptr;
    Image* mUncheckedHoverImage = nullptr;
    Image* mCheckedImage = nullptr;
    Image* mCheckedHoverImage = nullptr;
    ListenerRef<CheckboxListener> mListener;
};
