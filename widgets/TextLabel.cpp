#include "widgets/TextLabel.h"

#include <algorithm>
#include <cmath>
#include <set>

#include "core/Log.h"
#include "core/StringUtil.h"
#include "render/Font.h"
#include "render/Graphics.h"
#include "render/TextLayout.h"
#include "widgets/ColorPasses.h"
#include "widgets/WidgetManager.h"

namespace {
constexpr int kUnlimitedWidth = 10000;
}

Font* FindLabelFont(const std::wstring& name) {
    Font* font = FindFont(name);
    if (!font) {
        static std::set<std::wstring> reported;  // main thread only
        if (reported.insert(name).second)
            DebugPrintf("No font '%s' for a text label: it shows nothing\n",
                        WStringToString(name).c_str());
    }
    return font;
}

TextLabel::TextLabel(const std::wstring& text, float x, float y, const std::wstring& fontName,
                     int maxWidth, int justification, int hAnchor, int vAnchor)
    : DynamicWidget(x, y, nullptr, 1.0f),
      mJustification(justification),
      mText(text),
      mFont(FindLabelFont(fontName)),
      mMaxWidth(maxWidth > 0 ? maxWidth : kUnlimitedWidth),
      mHAnchor(hAnchor),
      mVAnchor(vAnchor) {
    Layout();
}

void TextLabel::SetText(const std::wstring& text) {
    // Setting the text it has changes nothing on screen.
    if (text == mText) return;
    mText = text;
    Layout();
}

void TextLabel::SetFont(const std::wstring& fontName) {
    mFont = FindLabelFont(fontName);
    Layout();
}

void TextLabel::SetJustification(int justification) {
    mJustification = justification;
    MarkDirty();
}

void TextLabel::Layout() {
    Measure();
    MarkDirty();
}

void TextLabel::Measure() {
    mTextWidth = 0;
    mTextHeight = mFont ? MeasureWrappedText(*mFont, mText, mMaxWidth, &mTextWidth) : 0;
    // Integer halves truncate toward zero: a block 101 wide centred starts at -50.
    mOffsetX = -((mHAnchor + 1) * mTextWidth / 2);
    float ascent = mFont ? mFont->GetAscent() : 0.0f;
    mOffsetY = static_cast<int>(ascent + static_cast<float>(-((mVAnchor + 1) * mTextHeight / 2)));
}

void TextLabel::Draw(Graphics* g) {
    if (!mFont || mText.empty()) return;
    Font* previous = g->GetFont();
    g->SetFont(mFont);
    DrawColorPasses(*g, mRed * mOpacity, mGreen * mOpacity, mBlue * mOpacity, mAlpha * mOpacity,
                    [&](const Color& color) {
                        g->SetColor(color);
                        g->DrawTextWrappedAtBaseline(static_cast<float>(mOffsetX),
                                                     static_cast<float>(mOffsetY), mText,
                                                     mTextWidth, mJustification);
                    });
    g->SetFont(previous);
}

int TextLabel::GetTextTop() const {
    const float ascent = mFont ? mFont->GetAscent() : 0.0f;
    return static_cast<int>(std::floor(static_cast<float>(mOffsetY) - ascent));
}

bool TextLabel::HitTest(int x, int y) {
    // The box the text is drawn in, which rises one ascent above the first
    // baseline: a box from the baseline down would leave the glyphs' tops
    // deaf and take clicks under the text meant for what lies there.
    const int top = GetTextTop();
    return x >= mOffsetX && x < mOffsetX + mTextWidth && y >= top && y < top + mTextHeight;
}

ExpressionTextWidget::ExpressionTextWidget(const std::wstring& expression,
                                           const std::wstring& fontName,
                                           const VariableMap& variables, float x, float y,
                                           int maxWidth, int justification, int hAnchor,
                                           int vAnchor)
    : TextLabel(L"", x, y, fontName, maxWidth, justification, hAnchor, vAnchor),
      mExpression(expression),
      mVariables(variables) {
    SetText(mEvaluator.Evaluate(mExpression).ToString());
}

void ExpressionTextWidget::UpdateF(float elapsedSteps) {
    TextLabel::UpdateF(elapsedSteps);
    std::wstring text = mEvaluator.Evaluate(mExpression).ToString();
    if (text != mText) SetText(text);
}
