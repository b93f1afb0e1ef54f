#include "widgets/Checkbox.h"

#include "render/Graphics.h"
#include "render/Image.h"

Checkbox::Checkbox(Image* unchecked, Image* uncheckedHover, Image* checked, Image* checkedHover,
                   CheckboxListener* listener)
    : mUncheckedImage(unchecked),
      mUncheckedHoverImage(uncheckedHover),
      mCheckedImage(checked),
      mCheckedHoverImage(checkedHover),
      mListener(listener) {
    if (unchecked) Resize(0.0f, 0.0f, unchecked->GetCelWidth(), unchecked->GetCelHeight());
    mHandCursor = true;
}

void Checkbox::SetChecked(bool checked, bool notify) {
    mChecked = checked;
    MarkDirty();
    if (notify)
        if (CheckboxListener* listener = mListener.Get()) listener->CheckboxChecked(mId, mChecked);
}

Image* Checkbox::GetStateImage() const {
    Image* image = nullptr;
    if (mChecked)
        image = (mIsOver && mCheckedHoverImage) ? mCheckedHoverImage : mCheckedImage;
    else
        image = (mIsOver && mUncheckedHoverImage) ? mUncheckedHoverImage : mUncheckedImage;
    return image;
}

void Checkbox::Draw(Graphics* g) {
    if (Image* image = GetStateImage()) {
        g->DrawImage(image, 0.0f, 0.0f);
        return;
    }
    // Without images: a frame, filled when checked.
    g->SetColor(Color(255, 255, 255));
    g->FillRect(0.0f, 0.0f, static_cast<float>(mWidth), static_cast<float>(mHeight));
    g->SetColor(Color(0, 0, 0));
    g->FillRect(1.0f, 1.0f, static_cast<float>(mWidth - 2), static_cast<float>(mHeight - 2));
    if (mChecked) {
        g->SetColor(Color(255, 255, 255));
        g->FillRect(3.0f, 3.0f, static_cast<float>(mWidth - 6), static_cast<float>(mHeight - 6));
    }
}

void Checkbox::MouseDown(int /*x*/, int /*y*/, int clickCount) {
    if (mDisabled || clickCount <= 0) return;
    SetChecked(!mChecked, true);
}
