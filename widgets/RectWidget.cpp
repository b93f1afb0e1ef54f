#include "widgets/RectWidget.h"

#include "render/Graphics.h"
#include "render/Image.h"
#include "widgets/ColorPasses.h"

RectWidget::RectWidget(float x, float y, int width, int height, const Color& color)
    : DynamicWidget(0.0f, 0.0f, nullptr, 1.0f), mColor(color) {
    mCheckPixels = false;
    Resize(x, y, width, height);
}

void RectWidget::Draw(Graphics* g) {
    if (mImage) {
        DynamicWidget::Draw(g);
        return;
    }
    const float width = static_cast<float>(mWidth), height = static_cast<float>(mHeight);
    if (width <= 0.0f || height <= 0.0f) return;
    Color saved = g->GetColor();
    DrawColorPasses(*g, mRed * mOpacity, mGreen * mOpacity, mBlue * mOpacity, mAlpha * mOpacity,
                    [&](const Color& pass) {
                        g->SetColor(mColor * pass);
                        g->FillRect(0.0f, 0.0f, width, height);
                    });
    g->SetColor(saved);
}

ImageSurface* RectWidget::GetOwnImageSurface() {
    if (mWidth <= 0 || mHeight <= 0) return nullptr;
    if (!mImage) {
        // Filled in memory: needs no renderer and keeps the exact colour.
        ImageData data;
        data.mWidth = mWidth;
        data.mHeight = mHeight;
        data.mBits.assign(static_cast<size_t>(mWidth) * static_cast<size_t>(mHeight),
                          mColor.ToARGB());
        SetOwnedImage(new ImageSurface(std::move(data)));
    }
    return DynamicWidget::GetOwnImageSurface();
}
