#include "crash/DialogCanvas.h"

DialogCanvas::DialogCanvas(Picture& picture) : mPicture(picture) { ClearClip(); }

void DialogCanvas::SetClip(const Rect& clip) { mClip = clip.Intersection(Rect(0, 0, mPicture.width, mPicture.height)); }

void DialogCanvas::ClearClip() { mClip = Rect(0, 0, mPicture.width, mPicture.height); }

void DialogCanvas::Fill(const Rect& rect, uint32_t color) {
    Rect r = rect.Intersection(mClip);
    for (int y = r.mY; y < r.mY + r.mHeight; ++y) {
        uint32_t* row = mPicture.argb.data() + static_cast<size_t>(y) * mPicture.width;
        std::fill(row + r.mX, row + r.mX + r.mWidth, color);
    }
}

void DialogCanvas::Frame(const Rect& rect, uint32_t color) {
    Fill(Rect(rect.mX, rect.mY, rect.mWidth, 1), color);
    Fill(Rect(rect.mX, rect.mY + rect.mHeight - 1, rect.mWidth, 1), color);
    Fill(Rect(rect.mX, rect.mY, 1, rect.mHeight), color);
    Fill(Rect(rect.mX + rect.mWidth - 1, rect.mY, 1, rect.mHeight), color);
}

void DialogCanvas::DottedFrame(const Rect& rect, uint32_t color) {
    const int right = rect.mX + rect.mWidth - 1;
    const int bottom = rect.mY + rect.mHeight - 1;
    for (int x = rect.mX; x <= right; x += 2) {
        Pixel(x, rect.mY, color);
        Pixel(x, bottom, color);
    }
    for (int y = rect.mY; y <= bottom; y += 2) {
        Pixel(rect.mX, y, color);
        Pixel(right, y, color);
    }
}

void DialogCanvas::Bevel(const Rect& rect, bool pressed) {
    using namespace DialogColor;
    const int right = rect.mX + rect.mWidth - 1;
    const int bottom = rect.mY + rect.mHeight - 1;
    if (pressed) {
        Frame(rect, kDarkShadow);
        Frame(Rect(rect.mX + 1, rect.mY + 1, rect.mWidth - 2, rect.mHeight - 2), kShadow);
        return;
    }
    Fill(Rect(rect.mX, rect.mY, rect.mWidth, 1), kLight);
    Fill(Rect(rect.mX, rect.mY, 1, rect.mHeight), kLight);
    Fill(Rect(rect.mX, bottom, rect.mWidth, 1), kDarkShadow);
    Fill(Rect(right, rect.mY, 1, rect.mHeight), kDarkShadow);
    Fill(Rect(rect.mX + 1, bottom - 1, rect.mWidth - 2, 1), kShadow);
    Fill(Rect(right - 1, rect.mY + 1, 1, rect.mHeight - 2), kShadow);
}

void DialogCanvas::Pixel(int x, int y, uint32_t color) {
    if (mClip.Contains(x, y)) mPicture.argb[static_cast<size_t>(y) * mPicture.width + x] = color;
}

void DialogCanvas::Blend(int x, int y, uint32_t color, int coverage) {
    if (!mClip.Contains(x, y) || coverage == 0) return;
    uint32_t& dst = mPicture.argb[static_cast<size_t>(y) * mPicture.width + x];
    uint32_t out = 0xFF000000;
    for (int shift = 0; shift < 24; shift += 8) {
        int a = (dst >> shift) & 0xFF;
        int b = (color >> shift) & 0xFF;
        out |= static_cast<uint32_t>((a * (255 - coverage) + b * coverage) / 255) << shift;
    }
    dst = out;
}

int DialogCanvas::Text(DialogFace& face, std::u32string_view text, int x, int baseline, uint32_t color) {
    for (char32_t c : text) {
        if (x >= mClip.mX + mClip.mWidth) break;
        if (const DialogFace::Glyph* glyph = face.Rasterize(c)) {
            for (int gy = 0; gy < glyph->height; ++gy)
                for (int gx = 0; gx < glyph->width; ++gx)
                    Blend(x + glyph->left + gx, baseline - glyph->top + gy, color,
                          glyph->coverage[static_cast<size_t>(gy) * glyph->width + gx]);
        }
        x += face.Advance(c);
    }
    return x;
}

int DialogTextWidth(DialogFace& face, std::u32string_view text) {
    int width = 0;
    for (char32_t c : text) width += face.Advance(c);
    return width;
}
