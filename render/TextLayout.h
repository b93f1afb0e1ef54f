#pragma once
#include <string>
#include <vector>

class Font;

// One laid-out line: a range of the text and its width in the font.
struct TextLine {
    size_t mStart = 0;
    size_t mLength = 0;
    int mWidth = 0;
};

// Breaks text into lines at line breaks ("\n", "\r\n") and, within the
// width, between words. A word wider than the width gets a line of its own.
// Spaces where a line wraps are dropped. Empty text gives no lines; an empty
// paragraph gives an empty line.
std::vector<TextLine> WrapText(const Font& font, const std::wstring& text, int width);

// The height of the wrapped block (line spacing times the lines, rounded)
// and the widest line's width, as Graphics draws them.
int MeasureWrappedText(const Font& font, const std::wstring& text, int width,
                       int* widestLineOut = nullptr);
