#pragma once
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "core/Color.h"
#include "core/CritSect.h"
#include "render/Font.h"

class FontFace;
class ImageSurface;

// How an image font looks: the face's glyphs filled in a colour, optionally
// with an outline around them and a shadow under them.
struct FontStyle {
    Color mColor = Color::White;
    int mOutlineWidth = 0;  // pixels; 0 for none
    Color mOutlineColor = Color::Black;
    bool mShadow = false;
    int mShadowX = 0;
    int mShadowY = 0;
    Color mShadowColor = Color(0, 0, 0, 128);
    int mSpacing = 0;       // added to every advance
    int mLineSpacing = 0;   // 0: the face's own
};

// A font whose glyphs are rasterised by FreeType, with its layers, into glyph
// sheets (surfaces) when first drawn. Measuring needs no sheets, so metrics
// are the same with or without a GPU. Duplicates share the glyph sheets.
class ImageFont : public Font {
public:
    ImageFont(std::shared_ptr<FontFace> face, const FontStyle& style);
    ~ImageFont() override;

    float GetAscent() const override;
    float GetDescent() const override;
    float GetHeight() const override;
    float GetLineSpacing() const override;
    int StringWidth(const std::wstring& text) const override;
    int CharWidth(wchar_t c) const override;
    Font* Duplicate() const override;
    void DrawString(Graphics& g, float x, float y, const std::wstring& text,
                    const Color& color) override;

    const FontStyle& GetStyle() const;
    int GetPixelSize() const;
    // Number of glyph sheets made so far (tests).
    size_t GetSheetCount() const;

protected:
    struct Glyph {
        int mSheet = -1;  // -1: nothing to draw (a space)
        int mX = 0, mY = 0, mWidth = 0, mHeight = 0;  // cell in the sheet
        int mLeft = 0, mTop = 0;                       // cell corner from pen and baseline
    };
    struct Shared {
        std::shared_ptr<FontFace> mFace;
        FontStyle mStyle;
        CritSect mCrit;  // the glyph sheets and their table
        std::unordered_map<uint32_t, Glyph> mGlyphs;
        std::vector<std::unique_ptr<ImageSurface>> mSheets;
        int mShelfX = 0, mShelfY = 0, mShelfHeight = 0;
    };
    explicit ImageFont(std::shared_ptr<Shared> shared) : mShared(std::move(shared)) {}
    const Glyph& GetGlyph(uint32_t codePoint);
    void AddGlyph(uint32_t codePoint, Glyph& glyph);

    std::shared_ptr<Shared> mShared;
};
