#pragma once
#include <string>

#include "data/ScriptValue.h"
#include "widgets/DynamicWidget.h"

class Font;

// One integer shown through a template, counting toward a watched value: the
// step grows tenfold for every decade the distance exceeds 100 steps, and the
// last step lands exactly on the value. The value is watched through a
// checked reference (a script's `obj.prop_ptr`); once its object is gone the
// counter stops where it stands. A plain number is a fixed target.
class NumericalTextWidget : public DynamicWidget {
public:
    // Justification: 0 centred on x, 1 ending at x, anything else from x.
    // A template that is not one integer conversion (and "%%") shows the
    // plain number.
    NumericalTextWidget(float x, float y, int justification, const std::wstring& fontName,
                        const std::wstring& format, int step, int interval,
                        const ScriptValue& watched);

    void Update() override;
    void Draw(Graphics* g) override;
    // Due every step while the shown number is not the watched one.
    int StepsUntilDue() override;
    virtual void FormatText();

    int GetDisplayed() const { return mDisplayed; }
    const std::wstring& GetText() const { return mText; }
    bool IsChanging() const { return mChanging; }

    int mUpSound = -1;
    int mDownSound = -1;

private:
    // False when the watched object is gone.
    bool ReadWatched(int& out) const;

    std::wstring mFormat;
    bool mFormatUsable;
    Font* mFont;
    int mJustification;
    ScriptValue mWatched;
    int mDisplayed = 0;
    int mStep;
    int mInterval;
    std::wstring mText;
    bool mChanging = false;
    int mTickCounter = 0;
};
