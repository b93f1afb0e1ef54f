#include "widgets/Slider.h"

#include <algorithm>
#include <cmath>

#include "render/Graphics.h"
#include "render/Image.h"

Slider::Slider(Image* track, Image* thumb, SliderListener* listener)
    : mTrackImage(track), mThumbImage(thumb), mListener(listener) {
    if (track) Resize(0.0f, 0.0f, track->GetCelWidth(), thumb ? thumb->GetCelHeight() : track->GetCelHeight());
}

void Slider::SetValue(double value) {
    if (std::isnan(value)) value = 0.0;
    mValue = std::clamp(value, 0.0, 1.0);
    MarkDirty();
}

int Slider::GetThumbWidth() const { return mThumbImage ? mThumbImage->GetCelWidth() : mHeight; }

int Slider::GetThumbX() const {
    int range = std::max(0, mWidth - GetThumbWidth());
    return static_cast<int>(std::lround(mValue * range));
}

double Slider::ValueAt(int thumbLeft) const {
    int range = mWidth - GetThumbWidth();
    if (range <= 0) return 0.0;
    return std::clamp(static_cast<double>(thumbLeft) / range, 0.0, 1.0);
}

void Slider::ChangeValue(double value) {
    double old = mValue;
    SetValue(value);
    if (mValue != old)
        if (SliderListener* listener = mListener.Get()) listener->SliderValueChanged(this, mValue);
}

void Slider::MouseDown(int x, int /*y*/, int clickCount) {
    if (mDisabled || clickCount <= 0) return;
    mPressed = true;
    int thumbX = GetThumbX();
    if (x >= thumbX && x < thumbX + GetThumbWidth()) {
        mGrabOffset = x - thumbX;
    } else {
        // A press on the track brings the thumb's centre there.
        mGrabOffset = GetThumbWidth() / 2;
        ChangeValue(ValueAt(x - mGrabOffset));
    }
    mDragging = true;
}

void Slider::MouseDrag(int x, int /*y*/) {
    if (!mDragging) return;
    ChangeValue(ValueAt(x - mGrabOffset));
}

void Slider::MouseUpAt(int /*x*/, int /*y*/, int /*clickCount*/) {
    if (!mPressed) return;
    mPressed = false;
    mDragging = false;
    MarkDirty();
    if (SliderListener* listener = mListener.Get()) listener->SliderReleased(this);
}

void Slider::Draw(Graphics* g) {
    int thumbX = GetThumbX();
    if (mTrackImage) {
        float y = std::floor((mHeight - mTrackImage->GetCelHeight()) / 2.0f);
        g->DrawImage(mTrackImage, 0.0f, y);
    } else {
        g->SetColor(Color(128, 128, 128));
        g->FillRect(0.0f, std::floor(mHeight / 2.0f) - 2.0f, static_cast<float>(mWidth), 4.0f);
    }
    if (mThumbImage) {
        float y = std::floor((mHeight - mThumbImage->GetCelHeight()) / 2.0f);
        g->DrawImage(mThumbImage, static_cast<float>(thumbX), y);
    } else {
        g->SetColor(Color(255, 255, 255));
        g->FillRect(static_cast<float>(thumbX), 0.0f, static_cast<float>(GetThumbWidth()),
                    static_cast<float>(mHeight));
    }
}
