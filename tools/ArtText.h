#pragma once
// Type for the picture generators of tools/: faces found through fontconfig,
// drawn into a Canvas with anti-aliased coverage.
#include <cmath>
#include <cstdio>
#include <memory>
#include <string>

#include "render/FontFace.h"
#include "tools/ArtShapes.h"

namespace tools {

inline std::shared_ptr<FontFace> Face(const char* tool, const char* pattern, int size) {
    std::string error;
    auto face = FontFace::LoadSystem(pattern, size, &error);
    if (!face) std::fprintf(stderr, "%s: no font %s: %s\n", tool, pattern, error.c_str());
    return face;
}

inline int TextWidth(FontFace& face, const std::wstring& text, int spacing = 0) {
    int width = 0;
    for (wchar_t ch : text) width += face.Advance(ch) + spacing;
    return width - (text.empty() ? 0 : spacing);
}

// Text with its pen at (x, baseline), coloured by `shade`; `lean` slants it
// (pixels across per pixel up, about the baseline).
template <class Shade>
void Text(Canvas& c, FontFace& face, const std::wstring& text, float x, float baseline, Shade shade,
          int spacing = 0, float lean = 0.0f) {
    for (wchar_t ch : text) {
        FontFace::Bitmap glyph;
        if (face.Rasterize(ch, glyph))
            for (int gy = 0; gy < glyph.mHeight; ++gy)
                for (int gx = 0; gx < glyph.mWidth; ++gx) {
                    const float cover = glyph.mCoverage[gy * glyph.mWidth + gx] / 255.0f;
                    const float py = baseline - glyph.mTop + gy;
                    const float px = x + glyph.mLeft + gx + (baseline - py) * lean;
                    Plot(c, static_cast<int>(std::lround(px)), static_cast<int>(py), shade(px, py), cover);
                }
        x += face.Advance(ch) + spacing;
    }
}

template <class Shade>
void CentredText(Canvas& c, FontFace& face, const std::wstring& text, float centreX, float baseline, Shade shade,
                 int spacing = 0) {
    Text(c, face, text, centreX - TextWidth(face, text, spacing) / 2.0f, baseline, shade, spacing);
}

inline auto Solid(Rgb colour) {
    return [colour](float, float) { return colour; };
}

}  // namespace tools
