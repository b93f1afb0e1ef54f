#pragma once
#include <memory>
#include <string>
#include <vector>

#include "crash/DialogTextBox.h"

// One reporter window's client area: its controls, which of them has the
// keyboard focus (Tab and Shift+Tab move it), and its picture.
class Dialog {
public:
    Dialog(std::string title, int width, int height);

    const std::string& Title() const { return mTitle; }
    int Width() const { return mPicture.width; }
    int Height() const { return mPicture.height; }

    DialogTextBox& AddTextBox(const Rect& bounds, std::shared_ptr<DialogFace> face,
                              const DialogTextBox::Options& options, const std::string& text);
    DialogButton& AddButton(const Rect& bounds, std::shared_ptr<DialogFace> face, const std::string& label,
                            bool enabled);
    // Null when the window has no such button.
    DialogButton* FindButton(const std::string& label) const;
    const std::vector<DialogButton*>& Buttons() const { return mButtons; }
    void SetFocus(DialogControl* control);
    DialogControl* Focus() const { return mFocus; }

    // Feeds one event (client coordinates). Escape and the close button give
    // the close command; a click on a button, its label.
    DialogCommand Handle(const InputEvent& e);
    void Invalidate() { mDirty = true; }
    bool NeedsPaint() const { return mDirty; }
    // Draws what changed and returns the picture.
    const Picture& Paint();

private:
    void MoveFocus(int step);

    std::string mTitle;
    Picture mPicture;
    std::vector<std::unique_ptr<DialogControl>> mControls;
    std::vector<DialogButton*> mButtons;
    DialogControl* mFocus = nullptr;
    DialogControl* mCapture = nullptr;  // the control the mouse went down on
    bool mDirty = true;
};
