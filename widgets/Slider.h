#pragma once
#include "widgets/Listeners.h"
#include "widgets/Widget.h"

class Image;

// A horizontal slider from 0.0 to 1.0: a track with a thumb that can be
// dragged, or moved by pressing on the track. Changes made by the user are
// reported with SliderValueChanged; the end of a press with SliderReleased.
class Slider : public Widget {
public:
    Slider(Image* track, Image* thumb, SliderListener* listener);
    int StepsUntilDue() override { return kNothingDue; }  // moves only with the mouse

    // Clamped to 0..1; not reported to the listener.
    void SetValue(double value);
    double GetValue() const { return mValue; }
    bool IsDragging() const { return mDragging; }
    int GetThumbWidth() const;
    int GetThumbX() const;

    void Draw(Graphics* g) override;
    void MouseDown(int x, int y, int clickCount) override;
    void MouseDrag(int x, int y) override;
    void MouseUpAt(int x, int y, int clickCount) override;

    Image* mTrackImage = nullptr;
    Image* mThumbImage = nullptr;
    ListenerRef<SliderListener> mListener;
    double mValue = 0.0;
    bool mDragging = false;

private:
    // The value at which the thumb's left edge sits at x.
    double ValueAt(int thumbLeft) const;
    void ChangeValue(double value);

    int mGrabOffset = 0;  // pointer x within the thumb while dragging
    bool mPressed = false;
};
