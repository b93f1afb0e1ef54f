#include "render/MessageWindow.h"

#include <algorithm>
#include <memory>

#include "core/StringUtil.h"
#include "render/FontFace.h"
#include "render/ImageFont.h"
#include "render/TextLayout.h"

namespace {
constexpr int kMargin = 24;
constexpr int kMaxLines = 24;  // a longer message is cut; stderr has it whole
constexpr uint32_t kBackground = 0xFF141A29;
constexpr uint32_t kHeadingColor = 0xFFFFE9A8;
constexpr uint32_t kTextColor = 0xFFFFFFFF;
constexpr uint32_t kHintColor = 0xFF98A2B8;
const wchar_t kHint[] = L"Press a key or close this window.";

struct Face {
    std::shared_ptr<FontFace> face;
    std::unique_ptr<ImageFont> font;  // measures for the line breaking
};

Face LoadFace(const char* pattern, int size) {
    Face f;
    std::string error;
    f.face = FontFace::LoadSystem(pattern, size, &error);
    if (f.face) f.font = std::make_unique<ImageFont>(f.face, FontStyle());
    return f;
}

uint32_t Blend(uint32_t under, uint32_t color, int coverage) {
    uint32_t out = 0xFF000000;
    for (int shift = 0; shift < 24; shift += 8) {
        int a = (under >> shift) & 0xFF;
        int b = (color >> shift) & 0xFF;
        out |= static_cast<uint32_t>((a * (255 - coverage) + b * coverage) / 255) << shift;
    }
    return out;
}

void DrawLine(Picture& pic, FontFace& face, const std::wstring& text, int x, int baseline,
              uint32_t color) {
    FontFace::Bitmap glyph;
    for (wchar_t c : text) {
        uint32_t cp = static_cast<uint32_t>(c);
        if (face.Rasterize(cp, glyph)) {
            for (int gy = 0; gy < glyph.mHeight; ++gy) {
                int py = baseline - glyph.mTop + gy;
                if (py < 0 || py >= pic.height) continue;
                for (int gx = 0; gx < glyph.mWidth; ++gx) {
                    int px = x + glyph.mLeft + gx;
                    int coverage = glyph.mCoverage[static_cast<size_t>(gy) * glyph.mWidth + gx];
                    if (px < 0 || px >= pic.width || coverage == 0) continue;
                    uint32_t& dst = pic.argb[static_cast<size_t>(py) * pic.width + px];
                    dst = Blend(dst, color, coverage);
                }
            }
        }
        x += face.Advance(cp);
    }
}
}  // namespace

Picture DrawMessagePicture(const std::string& caption, const std::string& text, int width) {
    Face heading = LoadFace("DejaVu Sans:bold", 22);
    Face body = LoadFace("DejaVu Sans", 15);
    Face hint = LoadFace("DejaVu Sans", 12);
    if (!heading.face || !body.face || !hint.face) return {};

    std::wstring message = StringToWString(text);
    const int textWidth = width - 2 * kMargin;
    std::vector<std::wstring> lines;
    for (const TextLine& line : WrapText(*body.font, message, textWidth)) {
        std::wstring rest = message.substr(line.mStart, line.mLength);
        // A word wider than the window (a long path) is broken anywhere.
        while (body.font->StringWidth(rest) > textWidth) {
            size_t fit = 1;
            while (fit < rest.size() && body.font->StringWidth(rest.substr(0, fit + 1)) <= textWidth) ++fit;
            lines.push_back(rest.substr(0, fit));
            rest.erase(0, fit);
        }
        lines.push_back(rest);
    }
    if (lines.size() > static_cast<size_t>(kMaxLines)) {
        lines.resize(kMaxLines);
        lines.back() += L" \u2026";
    }
    const int headingHeight = heading.face->GetLineHeight();
    const int lineHeight = body.face->GetLineHeight();
    const int hintHeight = hint.face->GetLineHeight();

    Picture pic;
    pic.width = width;
    pic.height = kMargin + headingHeight + lineHeight / 2 +
                 static_cast<int>(lines.size()) * lineHeight + lineHeight + hintHeight + kMargin;
    pic.argb.assign(static_cast<size_t>(pic.width) * pic.height, kBackground);

    int y = kMargin;
    DrawLine(pic, *heading.face, StringToWString(caption), kMargin, y + heading.face->GetAscent(),
             kHeadingColor);
    y += headingHeight + lineHeight / 2;
    for (const std::wstring& line : lines) {
        DrawLine(pic, *body.face, line, kMargin, y + body.face->GetAscent(), kTextColor);
        y += lineHeight;
    }
    y += lineHeight;
    DrawLine(pic, *hint.face, kHint, kMargin, y + hint.face->GetAscent(), kHintColor);
    return pic;
}

bool ShowMessageWindow(const std::string& caption, const std::string& text) {
    Picture pic = DrawMessagePicture(caption, text, 560);
    return PlatformShowPictureWindow(caption, pic);
}
