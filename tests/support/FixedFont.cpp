#include "tests/support/FixedFont.h"

int FixedFont::StringWidth(const std::wstring& text) const {
    return mAdvance * static_cast<int>(text.size());
}

Font* FixedFont::Duplicate() const {
    ++sDuplicates;
    return new FixedFont(mAdvance, mAscent, mDescent);
}

void FixedFont::DrawString(Graphics&, float, float, const std::wstring&, const Color&) { ++sDrawn; }
