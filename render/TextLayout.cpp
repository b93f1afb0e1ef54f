#include "render/TextLayout.h"

#include <algorithm>
#include <cmath>

#include "render/Font.h"

namespace {
bool IsSpace(wchar_t c) { return c == L' ' || c == L'\t'; }

// Sum of per-character advances over [start, end): our fonts have no kerning,
// so this equals StringWidth of the substring and avoids copying it.
int RangeWidth(const Font& font, const std::wstring& text, size_t start, size_t end) {
    int width = 0;
    for (size_t i = start; i < end; ++i) width += font.CharWidth(text[i]);
    return width;
}

void WrapParagraph(const Font& font, const std::wstring& text, size_t begin, size_t end, int width,
                   std::vector<TextLine>& out) {
    // Trailing spaces never count towards a line's width.
    auto trimmedEnd = [&](size_t from, size_t to) {
        while (to > from && IsSpace(text[to - 1])) --to;
        return to;
    };
    if (begin == end) {
        out.push_back(TextLine{begin, 0, 0});
        return;
    }
    size_t lineStart = begin;
    size_t pos = begin;
    int lineWidth = 0;      // width up to pos, spaces included
    size_t lastFit = begin; // end of the last word that fit
    while (pos < end) {
        // The next word and the spaces before it.
        size_t wordStart = pos;
        int spaceWidth = 0;
        while (wordStart < end && IsSpace(text[wordStart])) spaceWidth += font.CharWidth(text[wordStart++]);
        size_t wordEnd = wordStart;
        while (wordEnd < end && !IsSpace(text[wordEnd])) ++wordEnd;
        int wordWidth = RangeWidth(font, text, wordStart, wordEnd);

        bool lineHasWord = lastFit > lineStart;
        if (lineHasWord && lineWidth + spaceWidth + wordWidth > width) {
            size_t stop = trimmedEnd(lineStart, lastFit);
            out.push_back(TextLine{lineStart, stop - lineStart,
                                   RangeWidth(font, text, lineStart, stop)});
            lineStart = wordStart;
            lineWidth = wordWidth;
        } else {
            lineWidth += spaceWidth + wordWidth;
        }
        lastFit = wordEnd;
        pos = wordEnd;
    }
    size_t stop = trimmedEnd(lineStart, end);
    out.push_back(TextLine{lineStart, stop - lineStart, RangeWidth(font, text, lineStart, stop)});
}
}  // namespace

std::vector<TextLine> WrapText(const Font& font, const std::wstring& text, int width) {
    std::vector<TextLine> lines;
    if (text.empty()) return lines;
    size_t begin = 0;
    while (begin <= text.size()) {
        size_t br = text.find(L'\n', begin);
        size_t end = br == std::wstring::npos ? text.size() : br;
        size_t paraEnd = end > begin && text[end - 1] == L'\r' ? end - 1 : end;
        WrapParagraph(font, text, begin, paraEnd, width, lines);
        if (br == std::wstring::npos) break;
        begin = br + 1;
    }
    return lines;
}

int MeasureWrappedText(const Font& font, const std::wstring& text, int width, int* widestLineOut) {
    std::vector<TextLine> lines = WrapText(font, text, width);
    int widest = 0;
    for (const TextLine& line : lines) widest = std::max(widest, line.mWidth);
    if (widestLineOut) *widestLineOut = widest;
    return static_cast<int>(std::lround(font.GetLineSpacing() * static_cast<float>(lines.size())));
}
