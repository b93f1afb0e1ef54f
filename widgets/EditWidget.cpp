#include "widgets/EditWidget.h"

#include <algorithm>
#include <cmath>

#include "core/StringUtil.h"
#include "platform/Clipboard.h"
#include "platform/InputEvent.h"
#include "render/Font.h"
#include "render/Graphics.h"
#include "widgets/DynamicWidget.h"
#include "widgets/WidgetManager.h"

namespace {
constexpr int kPadding = 4;
constexpr int kBlinkSteps = 50;
}  // namespace

EditWidget::EditWidget(EditListener* listener) : mListener(listener) {
    mColors[Background] = Color(255, 255, 255);
    mColors[Outline] = Color(0, 0, 0);
    mColors[Text] = Color(0, 0, 0);
    mColors[Highlight] = Color(0, 0, 255);
    mColors[HighlightText] = Color(255, 255, 255);
}

void EditWidget::SetFont(Font* font) {
    mFont = font;
    KeepCaretVisible();
    MarkDirty();
}

void EditWidget::SetColor(int index, const Color& color) {
    if (index < 0 || index >= ColorCount) return;
    mColors[index] = color;
    MarkDirty();
}

const Color& EditWidget::GetColor(int index) const {
    return mColors[std::clamp(index, 0, static_cast<int>(ColorCount) - 1)];
}

void EditWidget::ResizeEdit(int x, int y, int width, int height) {
    Resize(static_cast<float>(x), static_cast<float>(y), width, height);
    KeepCaretVisible();
}

void EditWidget::SetText(const std::wstring& text) {
    mString = text;
    if (mMaxChars >= 0 && static_cast<int>(mString.size()) > mMaxChars) mString.resize(mMaxChars);
    mCursorPos = static_cast<int>(mString.size());
    mHilitePos = -1;
    KeepCaretVisible();
    MarkDirty();
}

void EditWidget::SelectAll() {
    mHilitePos = 0;
    mCursorPos = static_cast<int>(mString.size());
    MarkDirty();
}

void EditWidget::DeleteSelection() {
    if (!HasSelection()) {
        mHilitePos = -1;
        return;
    }
    int from = std::min(mCursorPos, mHilitePos), to = std::max(mCursorPos, mHilitePos);
    mString.erase(from, to - from);
    mCursorPos = from;
    mHilitePos = -1;
}

bool EditWidget::InsertChar(wchar_t character) {
    // Control characters never enter the text.
    if (character < 32 || character == 127) return false;
    if (EditListener* listener = mListener.Get())
        if (!listener->AllowChar(mId, character)) return false;
    DeleteSelection();
    if (mMaxChars >= 0 && static_cast<int>(mString.size()) >= mMaxChars) return false;
    mString.insert(mString.begin() + mCursorPos, character);
    ++mCursorPos;
    return true;
}

void EditWidget::PasteText(const std::wstring& text) {
    for (wchar_t c : text)
        if (c != L'\r' && c != L'\n') InsertChar(c);
    KeepCaretVisible();
    MarkDirty();
}

void EditWidget::KeyChar(wchar_t character) {
    if (mDisabled) return;
    if (InsertChar(character)) {
        mShowCaret = true;
        mBlinkCounter = 0;
        KeepCaretVisible();
        MarkDirty();
    }
}

void EditWidget::KeyDown(int key) {
    if (mDisabled) return;
    if (EditListener* listener = mListener.Get())
        if (!listener->AllowKey(mId, key)) return;
    bool ctrl = mWidgetManager && mWidgetManager->IsCtrlDown();
    bool shift = mWidgetManager && mWidgetManager->IsShiftDown();
    int length = static_cast<int>(mString.size());
    auto move = [&](int to) {
        if (shift) {
            if (mHilitePos < 0) mHilitePos = mCursorPos;
        } else {
            mHilitePos = -1;
        }
        mCursorPos = std::clamp(to, 0, length);
    };
    switch (key) {
        case KeyCode::Left: move(mCursorPos - 1); break;
        case KeyCode::Right: move(mCursorPos + 1); break;
        case KeyCode::Home: move(0); break;
        case KeyCode::End: move(length); break;
        case KeyCode::Backspace:
            if (HasSelection()) {
                DeleteSelection();
            } else if (mCursorPos > 0) {
                mString.erase(mCursorPos - 1, 1);
                --mCursorPos;
            }
            mHilitePos = -1;
            break;
        case KeyCode::Delete:
            if (HasSelection()) {
                DeleteSelection();
            } else if (mCursorPos < length) {
                mString.erase(mCursorPos, 1);
            }
            mHilitePos = -1;
            break;
        case KeyCode::Return:
            if (EditListener* listener = mListener.Get()) listener->EditWidgetText(mId, mString);
            return;
        default:
            if (ctrl && (key == 'v' || key == 'V')) {
                PasteText(StringToWString(PlatformGetClipboardText()));
                return;
            }
            if (ctrl && (key == 'a' || key == 'A')) SelectAll();
            return;
    }
    mShowCaret = true;
    mBlinkCounter = 0;
    KeepCaretVisible();
    MarkDirty();
}

int EditWidget::TextWidth(size_t length) const {
    if (!mFont) return 0;
    return mFont->StringWidth(mString.substr(0, std::min(length, mString.size())));
}

int EditWidget::CaretAt(int x) const {
    int target = x - kPadding + mLeftOffset;
    int best = 0;
    int bestDistance = std::abs(target);
    for (size_t i = 1; i <= mString.size(); ++i) {
        int distance = std::abs(TextWidth(i) - target);
        if (distance < bestDistance) {
            bestDistance = distance;
            best = static_cast<int>(i);
        }
    }
    return best;
}

void EditWidget::KeepCaretVisible() {
    int inside = std::max(0, mWidth - 2 * kPadding);
    int caretX = TextWidth(static_cast<size_t>(std::max(0, mCursorPos)));
    if (caretX - mLeftOffset > inside) mLeftOffset = caretX - inside;
    if (caretX < mLeftOffset) mLeftOffset = caretX;
    mLeftOffset = std::max(0, mLeftOffset);
}

void EditWidget::MouseDown(int x, int /*y*/, int clickCount) {
    if (mDisabled || clickCount <= 0) return;
    if (mWidgetManager) mWidgetManager->SetFocus(this);
    mCursorPos = CaretAt(x);
    mHilitePos = clickCount >= 2 ? 0 : mCursorPos;
    if (clickCount >= 2) mCursorPos = static_cast<int>(mString.size());
    mShowCaret = true;
    mBlinkCounter = 0;
    MarkDirty();
}

void EditWidget::MouseDrag(int x, int /*y*/) {
    if (mHilitePos < 0) mHilitePos = mCursorPos;
    mCursorPos = CaretAt(x);
    KeepCaretVisible();
    MarkDirty();
}

void EditWidget::GotFocus() {
    Widget::GotFocus();
    mShowCaret = true;
    mBlinkCounter = 0;
    MarkDirty();
}

void EditWidget::LostFocus() {
    Widget::LostFocus();
    mShowCaret = false;
    mHilitePos = -1;
    MarkDirty();
}

void EditWidget::Update() {
    if (!mHasFocus) return;
    if (++mBlinkCounter >= kBlinkSteps) {
        mBlinkCounter = 0;
        mShowCaret = !mShowCaret;
        // The caret stays inside the field: only the field is drawn again.
        MarkDirty();
    }
}

int EditWidget::StepsUntilDue() {
    // Only the caret of the focused edit blinks.
    return mHasFocus ? std::max(0, kBlinkSteps - 1 - mBlinkCounter) : kNothingDue;
}

void EditWidget::Draw(Graphics* g) {
    float w = static_cast<float>(mWidth), h = static_cast<float>(mHeight);
    g->SetColor(mColors[Background]);
    g->FillRect(0.0f, 0.0f, w, h);
    g->SetColor(mColors[Outline]);
    g->FillRect(0.0f, 0.0f, w, 1.0f);
    g->FillRect(0.0f, h - 1.0f, w, 1.0f);
    g->FillRect(0.0f, 0.0f, 1.0f, h);
    g->FillRect(w - 1.0f, 0.0f, 1.0f, h);
    if (!mFont) return;

    g->ClipRect(static_cast<float>(kPadding) - 1.0f, 0.0f, w - 2.0f * kPadding + 2.0f, h);
    float left = static_cast<float>(kPadding - mLeftOffset);
    float top = std::floor((h - mFont->GetHeight()) / 2.0f);
    float baseline = top + mFont->GetAscent();
    g->SetFont(mFont);
    g->SetColor(mColors[Text]);
    g->DrawString(mString, left, baseline);
    if (HasSelection()) {
        int from = std::min(mCursorPos, mHilitePos), to = std::max(mCursorPos, mHilitePos);
        float x0 = left + static_cast<float>(TextWidth(from));
        float x1 = left + static_cast<float>(TextWidth(to));
        g->SetColor(mColors[Highlight]);
        g->FillRect(x0, top, x1 - x0, mFont->GetHeight());
        g->SetColor(mColors[HighlightText]);
        g->DrawString(mString.substr(from, to - from), x0, baseline);
    }
    if (mHasFocus && mShowCaret) {
        g->SetColor(mColors[Text]);
        g->FillRect(left + static_cast<float>(TextWidth(mCursorPos)), top, 1.0f, mFont->GetHeight());
    }
}
