#include "widgets/ButtonWidget.h"

#include <algorithm>
#include <cmath>

#include "widgets/AppServices.h"
#include "data/Animation.h"
#include "data/AssetManager.h"
#include "data/Localization.h"
#include "render/Font.h"
#include "render/Graphics.h"
#include "render/Image.h"
#include "render/TextLayout.h"
#include "widgets/AnimationWidget.h"

namespace {
constexpr int kNoWrap = 1073741824;
}

ButtonWidget::ButtonWidget(float x, float y, const std::wstring& name, const std::wstring& label,
                           bool localize)
    : DynamicWidget(x, y, nullptr, 1.0f), mTypeName(name), mLabel(label), mLocalize(localize) {
    mCheckPixels = false;
    mHandCursor = true;
    mName = name;
    if (name.empty()) return;
    if (Image* image = FindImage(name)) {
        SetButtonImage(image);
    } else if (AnimationExists(name)) {
        auto* look = new AnimationWidget(name, 0.0f, 0.0f, false);
        look->mMouseVisible = false;
        AddWidget(look);
        mAnimation = look;
    }
}

AnimationWidget* ButtonWidget::GetAnimation() const {
    return dynamic_cast<AnimationWidget*>(mAnimation.Get());
}

ScriptValue ButtonWidget::GetVariable(const std::wstring& name) const {
    auto it = mVariables.find(name);
    return it == mVariables.end() ? ScriptValue() : it->second;
}

bool ButtonWidget::GetScriptProperty(const std::wstring& name, ScriptValue& out) {
    if (DynamicWidget::GetScriptProperty(name, out)) return true;
    auto it = mVariables.find(name);
    if (it == mVariables.end()) return false;
    out = it->second;
    return true;
}

void ButtonWidget::Update() {
    DynamicWidget::Update();
    // A button shown by an animation takes its size once the animation has one.
    if (mWidth <= 0 || mHeight <= 0)
        if (Widget* look = mAnimation.Get(); look && look->mWidth > 0 && look->mHeight > 0)
            Resize(mX, mY, look->mWidth, look->mHeight);
}

ButtonWidget::~ButtonWidget() = default;

void ButtonWidget::SetLabel(const std::wstring& label, bool localize) {
    mLabel = label;
    mLocalize = localize;
    MarkDirty();
}

std::wstring ButtonWidget::GetDisplayLabel() const {
    return mLocalize ? GetLocalizedString(mLabel) : mLabel;
}

void ButtonWidget::SetStateFont(Font* font, int state) {
    if (state < 0 || state >= StateCount) return;
    mStateFonts[state].reset(font ? font->Duplicate() : nullptr);
    MarkDirty();
}

Font* ButtonWidget::GetStateFont(int state) const {
    if (state >= 0 && state < StateCount && mStateFonts[state]) return mStateFonts[state].get();
    return mStateFonts[Normal].get();
}

void ButtonWidget::SetButtonImage(Image* image) {
    SetImage(image);
    bool cels = image && image->GetCelCount() >= 3;
    mHasOverCel = cels;
    mHasDownCel = cels;
}

Point ButtonWidget::MeasureLabel() const {
    const Font* font = GetStateFont(Normal);
    if (!font) return Point(0, 0);
    std::vector<TextLine> lines = WrapText(*font, GetDisplayLabel(), mWrapWidth > 0 ? mWrapWidth : kNoWrap);
    int widest = 0;
    for (const TextLine& line : lines) widest = std::max(widest, line.mWidth);
    int height = static_cast<int>(std::lround(font->GetLineSpacing() * static_cast<float>(lines.size())));
    return Point(widest, height);
}

void ButtonWidget::SizeToLabel() {
    Point size = MeasureLabel();
    Resize(mX, mY, size.mX, size.mY);
}

int ButtonWidget::GetState() const {
    if (mDisabled) return Disabled;
    if ((mIsDown || mPressed) && mIsOver) return Down;
    if (mIsOver) return Over;
    return Normal;
}

bool ButtonWidget::HitTest(int x, int y) {
    // The pixel check is optional for buttons (off by default).
    return DynamicWidget::HitTest(x, y);
}

void ButtonWidget::PlaySound(int id) const {
    if (mPlaySounds && id >= 0 && gAppServices) gAppServices->PlaySample(id);
}

void ButtonWidget::MouseDown(int /*x*/, int /*y*/, int clickCount) {
    if (mDisabled || clickCount < 0) return;
    mPressed = true;
    MarkDirty();
    PlaySound(mPressSound);
    if (ButtonListener* listener = mButtonListener.Get()) listener->ButtonPress(mId);
    if (mFastClick)
        if (ButtonListener* listener = mButtonListener.Get()) listener->ButtonDepress(mId);
}

void ButtonWidget::MouseUpAt(int x, int y, int clickCount) {
    if (!mPressed) return;
    mPressed = false;
    MarkDirty();
    if (clickCount < 0 || mFastClick || mDisabled) return;
    bool over = x >= 0 && y >= 0 && x < mWidth && y < mHeight;
    if (mDepressOnlyWhenOver && !over) return;
    if (ButtonListener* listener = mButtonListener.Get()) listener->ButtonDepress(mId);
}

void ButtonWidget::MouseDrag(int /*x*/, int /*y*/) {}

void ButtonWidget::MouseEnter() {
    MarkDirty();
    if (mDisabled) return;
    PlaySound(mHoverSound);
    if (ButtonListener* listener = mButtonListener.Get()) listener->ButtonMouseEnter(mId);
}

void ButtonWidget::MouseLeave() {
    MarkDirty();
    if (mDisabled) return;
    if (ButtonListener* listener = mButtonListener.Get()) listener->ButtonMouseLeave(mId);
}

void ButtonWidget::Draw(Graphics* g) {
    if (mImage) {
        int cel = StateCel(GetState());
        int saved = mFrame;
        if (cel < GetFrameCount()) mFrame = cel;
        DynamicWidget::Draw(g);
        mFrame = saved;
    }
    DrawLabel(g);
}

int ButtonWidget::StateCel(int state) const {
    if (state == Over && mHasOverCel) return 1;
    if (state == Down && mHasDownCel) return 2;
    if (state == Disabled && GetFrameCount() >= 4) return 3;
    return 0;
}

void ButtonWidget::DrawLabel(Graphics* g) {
    std::wstring text = GetDisplayLabel();
    int state = GetState();
    Font* font = GetStateFont(state);
    if (text.empty() || !font) return;
    g->SetFont(font);
    Color color = mLabelColor;
    color.mAlpha = static_cast<int>(color.mAlpha * std::clamp(mOpacity * mAlpha, 0.0f, 1.0f));
    g->SetColor(color);
    float x = static_cast<float>(mLabelOffsetX);
    float y = static_cast<float>(mLabelOffsetY);
    if (state == Down) {
        x += static_cast<float>(mPressedLabelOffsetX);
        y += static_cast<float>(mPressedLabelOffsetY);
    }
    if (mWrapWidth > 0) {
        int height = g->MeasureTextWrappedHeight(text, mWrapWidth);
        float top = y + std::floor((static_cast<float>(mHeight) - static_cast<float>(height)) / 2.0f);
        g->DrawTextWrapped(Rect(static_cast<int>(x), static_cast<int>(top), mWidth, height), text, -1,
                           mJustification);
        return;
    }
    float baseline = y + std::floor((static_cast<float>(mHeight) - font->GetHeight()) / 2.0f) + font->GetAscent();
    g->DrawTextLine(text, x, baseline, static_cast<float>(mWidth), mJustification);
}
