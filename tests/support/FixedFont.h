#pragma once
#include <string>

#include "render/Font.h"

// A font of fixed metrics for tests: every character `advance` pixels wide.
// It counts its duplicates and the strings it was asked to draw.
class FixedFont : public Font {
public:
    explicit FixedFont(int advance = 10, float ascent = 16.0f, float descent = 4.0f)
        : mAdvance(advance), mAscent(ascent), mDescent(descent) {}

    float GetAscent() const override { return mAscent; }
    float GetDescent() const override { return mDescent; }
    float GetHeight() const override { return mAscent + mDescent; }
    int StringWidth(const std::wstring& text) const override;
    Font* Duplicate() const override;
    void DrawString(Graphics&, float, float, const std::wstring&, const Color&) override;

    static inline int sDuplicates = 0;
    static inline int sDrawn = 0;

private:
    int mAdvance;
    float mAscent;
    float mDescent;
};
