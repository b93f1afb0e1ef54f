#include "app/ReporterFaces.h"

#include <unordered_map>

#include "render/FontFace.h"

namespace {

// A renderer face; each glyph is rasterised once.
class RendererDialogFace : public DialogFace {
public:
    explicit RendererDialogFace(std::shared_ptr<FontFace> face) : mFace(std::move(face)) {}

    int Ascent() const override { return mFace->GetAscent(); }
    int LineHeight() const override { return mFace->GetLineHeight(); }
    int Advance(uint32_t codePoint) override { return mFace->Advance(codePoint); }
    const Glyph* Rasterize(uint32_t codePoint) override {
        auto found = mGlyphs.find(codePoint);
        if (found == mGlyphs.end()) {
            FontFace::Bitmap bitmap;
            Glyph glyph;
            if (mFace->Rasterize(codePoint, bitmap))
                glyph = {bitmap.mWidth, bitmap.mHeight, bitmap.mLeft, bitmap.mTop, std::move(bitmap.mCoverage)};
            found = mGlyphs.emplace(codePoint, std::move(glyph)).first;
        }
        const Glyph& glyph = found->second;
        return glyph.width > 0 && glyph.height > 0 ? &glyph : nullptr;
    }

private:
    std::shared_ptr<FontFace> mFace;
    std::unordered_map<uint32_t, Glyph> mGlyphs;
};

std::shared_ptr<DialogFace> Load(const char* pattern, int pixels) {
    std::string error;
    std::shared_ptr<FontFace> face = FontFace::LoadSystem(pattern, pixels, &error);
    if (!face) return nullptr;
    return std::make_shared<RendererDialogFace>(std::move(face));
}

}  // namespace

DialogFaces LoadReporterFaces() {
    DialogFaces faces;
    faces.label = Load("DejaVu Sans:bold", 12);
    faces.mono = Load("DejaVu Sans Mono", 12);
    faces.text = Load("DejaVu Sans", 12);
    faces.title = Load("DejaVu Sans:bold", 14);
    return faces;
}
