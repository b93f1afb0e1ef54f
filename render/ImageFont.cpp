#include "render/ImageFont.h"

#include <algorithm>
#include <cmath>

#include "render/D3DInterface.h"
#include "render/FontFace.h"
#include "render/Graphics.h"
#include "render/Image.h"

namespace {
constexpr int kSheetSize = 512;
constexpr int kFirstSheetHeight = 64;

// Makes a sheet taller (doubling, up to the full size) so that `rows` fit;
// the glyphs already there keep their places.
void GrowSheet(ImageSurface& sheet, int rows) {
    int height = sheet.GetHeight();
    if (rows <= height || height >= kSheetSize) return;
    while (height < rows && height < kSheetSize) height *= 2;
    height = std::min(height, kSheetSize);
    if (rows > height) return;
    ImageData taller = sheet.GetImageData();
    taller.mHeight = height;
    taller.mBits.resize(static_cast<size_t>(taller.mWidth) * static_cast<size_t>(height), 0);
    sheet.SetImageData(std::move(taller));
}

// Straight-alpha "over" of a colour with the given coverage onto a pixel.
void BlendOver(uint32_t& pixel, const Color& color, int coverage) {
    int sa = color.mAlpha * coverage / 255;
    if (sa <= 0) return;
    int da = static_cast<int>(pixel >> 24);
    int outA = sa + da * (255 - sa) / 255;
    if (outA <= 0) return;
    auto channel = [&](int src, int dst) {
        return (src * sa + dst * da * (255 - sa) / 255) / outA;
    };
    int r = channel(color.mRed, static_cast<int>((pixel >> 16) & 0xFF));
    int g = channel(color.mGreen, static_cast<int>((pixel >> 8) & 0xFF));
    int b = channel(color.mBlue, static_cast<int>(pixel & 0xFF));
    pixel = (static_cast<uint32_t>(outA) << 24) | (static_cast<uint32_t>(std::clamp(r, 0, 255)) << 16) |
            (static_cast<uint32_t>(std::clamp(g, 0, 255)) << 8) |
            static_cast<uint32_t>(std::clamp(b, 0, 255));
}

// The coverage grown by a disc of the given radius (an outline's shape).
std::vector<uint8_t> Dilate(const std::vector<uint8_t>& src, int width, int height, int radius) {
    std::vector<uint8_t> out(src.size(), 0);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            int best = 0;
            for (int dy = -radius; dy <= radius && best < 255; ++dy) {
                int sy = y + dy;
                if (sy < 0 || sy >= height) continue;
                for (int dx = -radius; dx <= radius; ++dx) {
                    int sx = x + dx;
                    if (sx < 0 || sx >= width) continue;
                    float d = std::sqrt(static_cast<float>(dx * dx + dy * dy));
                    if (d > radius + 0.5f) continue;
                    int v = src[static_cast<size_t>(sy) * width + sx];
                    // Soften the rim by the distance beyond the radius.
                    if (d > radius - 0.5f) v = static_cast<int>(v * (radius + 0.5f - d));
                    best = std::max(best, v);
                }
            }
            out[static_cast<size_t>(y) * width + x] = static_cast<uint8_t>(best);
        }
    }
    return out;
}
}  // namespace

ImageFont::ImageFont(std::shared_ptr<FontFace> face, const FontStyle& style)
    : mShared(std::make_shared<Shared>()) {
    mShared->mFace = std::move(face);
    mShared->mStyle = style;
    mShared->mStyle.mOutlineWidth = std::clamp(style.mOutlineWidth, 0, 16);
    mShared->mStyle.mShadowX = std::clamp(style.mShadowX, -16, 16);
    mShared->mStyle.mShadowY = std::clamp(style.mShadowY, -16, 16);
}

ImageFont::~ImageFont() = default;

const FontStyle& ImageFont::GetStyle() const { return mShared->mStyle; }
int ImageFont::GetPixelSize() const { return mShared->mFace->GetPixelSize(); }

size_t ImageFont::GetSheetCount() const {
    AutoCrit lock(mShared->mCrit);
    return mShared->mSheets.size();
}

float ImageFont::GetAscent() const { return static_cast<float>(mShared->mFace->GetAscent()); }
float ImageFont::GetDescent() const { return static_cast<float>(mShared->mFace->GetDescent()); }
float ImageFont::GetHeight() const {
    return static_cast<float>(mShared->mFace->GetAscent() + mShared->mFace->GetDescent());
}
float ImageFont::GetLineSpacing() const {
    int spacing = mShared->mStyle.mLineSpacing;
    return static_cast<float>(spacing > 0 ? spacing : mShared->mFace->GetLineHeight());
}

int ImageFont::CharWidth(wchar_t c) const {
    return mShared->mFace->Advance(static_cast<uint32_t>(c)) + mShared->mStyle.mSpacing;
}

int ImageFont::StringWidth(const std::wstring& text) const {
    int width = 0;
    for (wchar_t c : text) width += CharWidth(c);
    return width;
}

Font* ImageFont::Duplicate() const { return new ImageFont(*this); }

const ImageFont::Glyph& ImageFont::GetGlyph(uint32_t codePoint) {
    auto it = mShared->mGlyphs.find(codePoint);
    if (it != mShared->mGlyphs.end()) return it->second;
    Glyph& glyph = mShared->mGlyphs[codePoint];
    AddGlyph(codePoint, glyph);
    return glyph;
}

void ImageFont::AddGlyph(uint32_t codePoint, Glyph& glyph) {
    Shared& shared = *mShared;
    const FontStyle& style = shared.mStyle;
    FontFace::Bitmap bitmap;
    if (!shared.mFace->Rasterize(codePoint, bitmap) || bitmap.mWidth <= 0 || bitmap.mHeight <= 0)
        return;  // nothing visible

    int pad = style.mOutlineWidth + (style.mShadow ? std::max(std::abs(style.mShadowX),
                                                              std::abs(style.mShadowY)) : 0) + 1;
    int cellW = bitmap.mWidth + 2 * pad, cellH = bitmap.mHeight + 2 * pad;
    size_t cellSize = static_cast<size_t>(cellW) * static_cast<size_t>(cellH);

    // The glyph's coverage placed in the padded cell.
    std::vector<uint8_t> fill(cellSize, 0);
    for (int y = 0; y < bitmap.mHeight; ++y)
        std::copy_n(&bitmap.mCoverage[static_cast<size_t>(y) * bitmap.mWidth], bitmap.mWidth,
                    &fill[static_cast<size_t>(y + pad) * cellW + pad]);
    std::vector<uint8_t> outline;
    if (style.mOutlineWidth > 0) outline = Dilate(fill, cellW, cellH, style.mOutlineWidth);
    const std::vector<uint8_t>& shape = outline.empty() ? fill : outline;

    std::vector<uint32_t> cell(cellSize, 0);
    if (style.mShadow) {
        for (int y = 0; y < cellH; ++y) {
            int sy = y - style.mShadowY;
            if (sy < 0 || sy >= cellH) continue;
            for (int x = 0; x < cellW; ++x) {
                int sx = x - style.mShadowX;
                if (sx < 0 || sx >= cellW) continue;
                BlendOver(cell[static_cast<size_t>(y) * cellW + x], style.mShadowColor,
                          shape[static_cast<size_t>(sy) * cellW + sx]);
            }
        }
    }
    for (size_t i = 0; i < cellSize; ++i) {
        if (!outline.empty()) BlendOver(cell[i], style.mOutlineColor, outline[i]);
        BlendOver(cell[i], style.mColor, fill[i]);
    }

    // Shelf packing into sheets; a cell larger than a sheet gets its own. A
    // sheet starts a few rows high and doubles as its shelves fill: most
    // fonts show a few dozen glyphs, and every row is paid twice, in the
    // memory copy and in the texture.
    int sheetW = std::max(kSheetSize, cellW), sheetH = std::max(kFirstSheetHeight, cellH);
    bool needSheet = shared.mSheets.empty();
    if (!needSheet) {
        ImageSurface* last = shared.mSheets.back().get();
        if (shared.mShelfX + cellW > last->GetWidth()) {
            shared.mShelfX = 0;
            shared.mShelfY += shared.mShelfHeight + 1;
            shared.mShelfHeight = 0;
        }
        GrowSheet(*last, shared.mShelfY + cellH);
        if (shared.mShelfY + cellH > last->GetHeight() || cellW > last->GetWidth()) needSheet = true;
    }
    if (needSheet) {
        ImageData blank;
        blank.mWidth = sheetW;
        blank.mHeight = sheetH;
        blank.mBits.assign(static_cast<size_t>(sheetW) * static_cast<size_t>(sheetH), 0);
        auto sheet = std::make_unique<ImageSurface>(std::move(blank));
        sheet->mName = "glyphs";
        shared.mSheets.push_back(std::move(sheet));
        shared.mShelfX = shared.mShelfY = shared.mShelfHeight = 0;
    }
    ImageSurface* sheet = shared.mSheets.back().get();
    ImageData& bits = sheet->ModifyImageData();
    for (int y = 0; y < cellH; ++y)
        std::copy_n(&cell[static_cast<size_t>(y) * cellW], cellW,
                    &bits.mBits[static_cast<size_t>(shared.mShelfY + y) * bits.mWidth + shared.mShelfX]);

    glyph.mSheet = static_cast<int>(shared.mSheets.size()) - 1;
    glyph.mX = shared.mShelfX;
    glyph.mY = shared.mShelfY;
    glyph.mWidth = cellW;
    glyph.mHeight = cellH;
    glyph.mLeft = bitmap.mLeft - pad;
    glyph.mTop = bitmap.mTop + pad;
    shared.mShelfX += cellW + 1;
    shared.mShelfHeight = std::max(shared.mShelfHeight, cellH);
}

void ImageFont::DrawString(Graphics& g, float x, float y, const std::wstring& text,
                           const Color& color) {
    if (text.empty() || D3DInterface::Get()->IsNull()) return;  // nothing would be seen
    AutoCrit lock(mShared->mCrit);
    // Every glyph is made before any is drawn: making one may grow its sheet,
    // which replaces the texture under quads already queued, so those go first.
    bool missing = false;
    for (wchar_t c : text) missing = missing || !mShared->mGlyphs.count(static_cast<uint32_t>(c));
    if (missing) {
        g.FlushBatch();
        for (wchar_t c : text) GetGlyph(static_cast<uint32_t>(c));
    }
    bool wasBatching = g.IsBatching();
    g.SetBatching(true);
    int pen = static_cast<int>(std::floor(x + 0.5f));
    int baseline = static_cast<int>(std::floor(y + 0.5f));
    for (wchar_t c : text) {
        const Glyph& glyph = GetGlyph(static_cast<uint32_t>(c));
        if (glyph.mSheet >= 0) {
            float left = static_cast<float>(pen + glyph.mLeft);
            float top = static_cast<float>(baseline - glyph.mTop);
            float right = left + static_cast<float>(glyph.mWidth);
            float bottom = top + static_cast<float>(glyph.mHeight);
            float corners[8] = {left, top, right, top, right, bottom, left, bottom};
            g.DrawQuad(mShared->mSheets[static_cast<size_t>(glyph.mSheet)].get(), corners,
                       Rect(glyph.mX, glyph.mY, glyph.mWidth, glyph.mHeight), color);
        }
        pen += CharWidth(c);
    }
    if (!wasBatching) g.SetBatching(false);
}
