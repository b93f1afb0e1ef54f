#include "widgets/NumericalTextWidget.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include "data/CheckedFormat.h"
#include "render/Font.h"
#include "render/Graphics.h"
#include "widgets/AppServices.h"
#include "widgets/ColorPasses.h"
#include "widgets/TextLabel.h"

NumericalTextWidget::NumericalTextWidget(float x, float y, int justification,
                                         const std::wstring& fontName, const std::wstring& format,
                                         int step, int interval, const ScriptValue& watched)
    : DynamicWidget(x, y, nullptr, 1.0f),
      mFormat(format),
      mFormatUsable(HasOneIntegerConversion(format)),
      mFont(FindLabelFont(fontName)),
      mJustification(justification),
      mWatched(watched),
      mStep(step),
      mInterval(interval) {
    ReadWatched(mDisplayed);
    FormatText();
    mHeight = mFont ? static_cast<int>(mFont->GetHeight()) : 0;
}

bool NumericalTextWidget::ReadWatched(int& out) const {
    if (mWatched.GetType() == ScriptValue::Ref) {
        float value = 0.0f;
        if (!mWatched.ReadRef(value)) return false;
        out = static_cast<int>(value);
        return true;
    }
    out = mWatched.ToInt();
    return true;
}

void NumericalTextWidget::Update() {
    DynamicWidget::Update();
    if (++mTickCounter < mInterval) return;
    mTickCounter = 0;
    int target = 0;
    if (!ReadWatched(target)) {
        mChanging = false;
        return;
    }
    mChanging = target != mDisplayed;
    if (!mChanging) return;
    if (mStep <= 0) {
        mDisplayed = target;
    } else {
        int64_t distance = std::llabs(static_cast<int64_t>(target) - mDisplayed);
        int64_t q = distance / mStep;
        int64_t s = mStep;
        while (q >= 100) {
            q /= 10;
            s *= 10;
        }
        int sound;
        if (target > mDisplayed) {
            mDisplayed = static_cast<int>(std::min<int64_t>(int64_t{mDisplayed} + s, target));
            sound = mUpSound;
        } else {
            mDisplayed = static_cast<int>(std::max<int64_t>(int64_t{mDisplayed} - s, target));
            sound = mDownSound;
        }
        if (sound >= 0 && gAppServices) gAppServices->PlaySample(sound);
    }
    FormatText();
    MarkDirty();
}

int NumericalTextWidget::StepsUntilDue() {
    int target = 0;
    if (ReadWatched(target) && target != mDisplayed) return 0;
    return DynamicWidget::StepsUntilDue();
}

void NumericalTextWidget::FormatText() {
    mText = mFormatUsable ? FormatChecked(mFormat, {mDisplayed}) : std::to_wstring(mDisplayed);
}

void NumericalTextWidget::Draw(Graphics* g) {
    if (!mFont || mText.empty()) return;
    Font* previous = g->GetFont();
    g->SetFont(mFont);
    const float baseline = static_cast<float>(static_cast<int>(mFont->GetAscent()));
    DrawColorPasses(*g, mRed * mOpacity, mGreen * mOpacity, mBlue * mOpacity, mAlpha * mOpacity,
                    [&](const Color& color) {
                        g->SetColor(color);
                        g->DrawTextLine(mText, 0.0f, baseline, 0.0f, mJustification);
                    });
    g->SetFont(previous);
}
