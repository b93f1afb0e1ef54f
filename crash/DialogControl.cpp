#include "crash/DialogControl.h"

#include "core/StringUtil.h"

DialogButton::DialogButton(const Rect& bounds, std::shared_ptr<DialogFace> face, const std::string& label,
                           bool enabled)
    : DialogControl(bounds), mFace(std::move(face)), mLabel(label), mText(DialogDecode(label)), mEnabled(enabled) {}

void DialogButton::Paint(DialogCanvas& canvas, bool focused) {
    const Rect& r = Bounds();
    canvas.Fill(r, DialogColor::kFace);
    canvas.Bevel(r, mPressed);
    int shift = mPressed ? 1 : 0;
    int x = r.mX + (r.mWidth - DialogTextWidth(*mFace, mText)) / 2 + shift;
    int baseline = r.mY + (r.mHeight - mFace->LineHeight()) / 2 + mFace->Ascent() + shift;
    canvas.SetClip(Rect(r.mX + 2, r.mY + 2, r.mWidth - 4, r.mHeight - 4));
    if (mEnabled) {
        canvas.Text(*mFace, mText, x, baseline, DialogColor::kText);
    } else {
        // Etched, as the desktop greys a label out.
        canvas.Text(*mFace, mText, x + 1, baseline + 1, DialogColor::kLight);
        canvas.Text(*mFace, mText, x, baseline, DialogColor::kGreyText);
    }
    canvas.ClearClip();
    if (focused) canvas.DottedFrame(Rect(r.mX + 3, r.mY + 3, r.mWidth - 6, r.mHeight - 6), DialogColor::kText);
}

bool DialogButton::OnMouseDown(const InputEvent& e) {
    if (e.button != MouseButton::Left) return false;
    mHeld = true;
    mPressed = true;
    return true;
}

bool DialogButton::OnMouseMove(const InputEvent& e) {
    bool pressed = mHeld && Bounds().Contains(e.x, e.y);
    if (pressed == mPressed) return false;
    mPressed = pressed;
    return true;
}

bool DialogButton::OnMouseUp(const InputEvent& e, DialogCommand& command) {
    if (!mHeld) return false;
    mHeld = false;
    mPressed = false;
    if (Bounds().Contains(e.x, e.y)) command = DialogCommand::Of(mLabel);
    return true;
}

bool DialogButton::OnKey(const InputEvent& e, DialogCommand& command) {
    if (e.key != KeyCode::Return && e.key != KeyCode::Space) return false;
    command = DialogCommand::Of(mLabel);
    return false;
}

std::u32string DialogDecode(const std::string& utf8) {
    std::wstring wide = StringToWString(utf8);
    return std::u32string(wide.begin(), wide.end());
}

std::string DialogEncode(const std::u32string& text) {
    std::string out;
    for (char32_t c : text) AppendUtf8(out, c);
    return out;
}
