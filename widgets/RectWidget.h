#pragma once
#include "core/Color.h"
#include "widgets/DynamicWidget.h"

// A rectangle of one colour, tinted by the colour properties (channels above
// 1.0 brighten it by extra passes). Once asked for its own image surface it
// is baked into an image and draws as one, so shaders and masks apply.
class RectWidget : public DynamicWidget {
public:
    RectWidget(float x, float y, int width, int height, const Color& color);

    const Color& GetColor() const { return mColor; }
    void Draw(Graphics* g) override;
    // A rectangle of no area has nothing to bake: null.
    ImageSurface* GetOwnImageSurface() override;

private:
    Color mColor;
};
