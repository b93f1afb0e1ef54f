#include "crash/Dialog.h"

Dialog::Dialog(std::string title, int width, int height) : mTitle(std::move(title)) {
    mPicture.width = width;
    mPicture.height = height;
    mPicture.argb.assign(static_cast<size_t>(width) * height, DialogColor::kFace);
}

DialogTextBox& Dialog::AddTextBox(const Rect& bounds, std::shared_ptr<DialogFace> face,
                                  const DialogTextBox::Options& options, const std::string& text) {
    auto box = std::make_unique<DialogTextBox>(bounds, std::move(face), options);
    box->SetText(text);
    DialogTextBox& made = *box;
    mControls.push_back(std::move(box));
    return made;
}

DialogButton& Dialog::AddButton(const Rect& bounds, std::shared_ptr<DialogFace> face, const std::string& label,
                                bool enabled) {
    auto button = std::make_unique<DialogButton>(bounds, std::move(face), label, enabled);
    mButtons.push_back(button.get());
    mControls.push_back(std::move(button));
    return *mButtons.back();
}

DialogButton* Dialog::FindButton(const std::string& label) const {
    for (DialogButton* button : mButtons)
        if (button->Label() == label) return button;
    return nullptr;
}

void Dialog::SetFocus(DialogControl* control) {
    if (control == mFocus || (control && !control->CanFocus())) return;
    mFocus = control;
    mDirty = true;
}

void Dialog::MoveFocus(int step) {
    const int count = static_cast<int>(mControls.size());
    int at = 0;
    while (at < count && mControls[at].get() != mFocus) ++at;
    for (int i = 1; i <= count; ++i) {
        DialogControl* next = mControls[((at + step * i) % count + count) % count].get();
        if (next->CanFocus()) {
            SetFocus(next);
            return;
        }
    }
}

DialogCommand Dialog::Handle(const InputEvent& e) {
    DialogCommand command;
    bool changed = false;
    switch (e.type) {
    case InputEvent::Quit: return DialogCommand::Of(kCloseCommand);
    case InputEvent::WindowExposed: changed = true; break;
    case InputEvent::MouseDown:
        for (auto it = mControls.rbegin(); it != mControls.rend(); ++it) {
            DialogControl* control = it->get();
            if (!control->TakesMouse() || !control->Bounds().Contains(e.x, e.y)) continue;
            SetFocus(control);
            mCapture = control;
            changed = control->OnMouseDown(e);
            break;
        }
        break;
    case InputEvent::MouseMove:
        if (mCapture) changed = mCapture->OnMouseMove(e);
        break;
    case InputEvent::MouseUp:
        if (mCapture) changed = mCapture->OnMouseUp(e, command);
        mCapture = nullptr;
        break;
    case InputEvent::MouseWheel:
        // To the focused box, else the first box that scrolls.
        if (mFocus && mFocus->OnWheel(e.wheel)) changed = true;
        else
            for (auto& control : mControls)
                if (control->CanFocus() && control.get() != mFocus && control->OnWheel(e.wheel)) {
                    changed = true;
                    break;
                }
        break;
    case InputEvent::KeyDown:
        if (e.key == KeyCode::Escape) return DialogCommand::Of(kCloseCommand);
        if (e.key == KeyCode::Tab) MoveFocus(e.shift ? -1 : 1);
        else if (mFocus) changed = mFocus->OnKey(e, command);
        break;
    case InputEvent::Char:
        if (mFocus) changed = mFocus->OnChar(static_cast<char32_t>(e.character));
        break;
    default: break;
    }
    if (changed) mDirty = true;
    return command;
}

const Picture& Dialog::Paint() {
    if (mDirty) {
        DialogCanvas canvas(mPicture);
        canvas.Fill(Rect(0, 0, mPicture.width, mPicture.height), DialogColor::kFace);
        for (auto& control : mControls) control->Paint(canvas, control.get() == mFocus);
        mDirty = false;
    }
    return mPicture;
}
