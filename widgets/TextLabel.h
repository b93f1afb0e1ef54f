#pragma once
#include <string>

#include "data/ExpressionEvaluator.h"
#include "data/ScriptValue.h"
#include "widgets/DynamicWidget.h"

class Font;

// The named font of a label, or null after one log line per missing name:
// a label without its font has zero metrics and draws nothing.
Font* FindLabelFont(const std::wstring& name);

// A word-wrapped block of text anchored at the widget's position: hAnchor -1
// puts its left edge there, 0 its middle, 1 its right edge (vAnchor likewise
// top, middle, bottom). Measured through the font alone, so labels lay out
// without a renderer.
class TextLabel : public DynamicWidget {
public:
    // maxWidth 0 or less wraps at 10000 pixels. Justification: 0 centre,
    // 1 right, anything else left.
    TextLabel(const std::wstring& text, float x, float y, const std::wstring& fontName,
              int maxWidth, int justification, int hAnchor, int vAnchor);

    void SetText(const std::wstring& text);
    void SetFont(const std::wstring& fontName);
    void SetJustification(int justification);
    const std::wstring& GetText() const { return mText; }
    Font* GetFont() const { return mFont; }
    int GetOffsetX() const { return mOffsetX; }
    int GetOffsetY() const { return mOffsetY; }
    int GetTextWidth() const { return mTextWidth; }
    int GetTextHeight() const { return mTextHeight; }
    // Where the drawn text block begins: the first baseline less the ascent.
    int GetTextTop() const;

    void Draw(Graphics* g) override;
    // The half-open block the text is drawn in.
    bool HitTest(int x, int y) override;

protected:
    void Layout();
    void Measure();

    int mJustification;
    std::wstring mText;
    Font* mFont = nullptr;
    int mMaxWidth;
    int mHAnchor;
    int mVAnchor;
    int mOffsetX = 0;
    int mOffsetY = 0;  // the first baseline
    int mTextWidth = 0;
    int mTextHeight = 0;
};

// A label showing an expression's value, evaluated every drawn frame over a
// copy of the creating script's variables taken once: later assignments in
// the script are not seen, constants and object properties are live.
class ExpressionTextWidget : public TextLabel {
public:
    ExpressionTextWidget(const std::wstring& expression, const std::wstring& fontName,
                         const VariableMap& variables, float x, float y, int maxWidth,
                         int justification, int hAnchor, int vAnchor);

    void UpdateF(float elapsedSteps) override;

private:
    std::wstring mExpression;
    VariableMap mVariables;
    ExpressionEvaluator mEvaluator{mVariables};
};
