#include "screens/ProfileNameWidget.h"

#include <cmath>

#include "data/Localization.h"
#include "platform/InputEvent.h"
#include "render/Graphics.h"
#include "render/Font.h"
#include "render/Image.h"
#include "screens/EnterNameMenu.h"
#include "screens/PlayerSelectMenu.h"

namespace {
constexpr wchar_t kBackspace = 8;
constexpr wchar_t kEnter = 13;
constexpr int kSelectedCel = 2;
const Color kPlaceholderColor(255, 255, 255, 150);
const Color kCaretColor(0xFF, 0xE9, 0xA8);
}  // namespace

ProfileNameWidget::ProfileNameWidget(int x, int y, const std::wstring& name, PlayerSelectMenu* owner)
    : ButtonWidget(0.0f, 0.0f, L"profile_btn", L"", true), mEmpty(name.empty()), mOwner(owner) {
    SetStateFont(FindFont(L"menu"), Normal);
    mPressedLabelOffsetX = mPressedLabelOffsetY = 0;
    if (mEmpty) {
        ShowPlaceholder(L"no_name");
    } else {
        SetLabel(name, false);
    }
    Move(static_cast<float>(x - mWidth / 2), static_cast<float>(y));
}

void ProfileNameWidget::ShowPlaceholder(const wchar_t* key) {
    SetLabel(GetLocalizedString(key), false);
    mLabelColor = kPlaceholderColor;
}

int ProfileNameWidget::StateCel(int state) const {
    if (mEditLook && (state == Normal || state == Over) && GetFrameCount() > kSelectedCel) return kSelectedCel;
    return ButtonWidget::StateCel(state);
}

void ProfileNameWidget::Draw(Graphics* g) {
    ButtonWidget::Draw(g);
    Font* font = GetStateFont(GetState());
    if (!mHasFocus || !mEditLook || mEmpty || !font) return;
    const float height = font->GetHeight();
    const float x = std::floor((static_cast<float>(mWidth) + static_cast<float>(font->StringWidth(mLabel))) / 2.0f) + 3.0f;
    const float top = std::floor((static_cast<float>(mHeight) - height) / 2.0f) + mLabelOffsetY + height * 0.15f;
    g->SetColor(kCaretColor);
    g->FillRect(x, top, 2.0f, height * 0.7f);
}

void ProfileNameWidget::BeginEdit() {
    if (mEmpty) ShowPlaceholder(L"enter_your_name");
    mEditLook = true;
    MarkDirty();
}

void ProfileNameWidget::ReturnToIdle() {
    if (mEmpty) ShowPlaceholder(L"no_name");
    mEditLook = false;
    MarkDirty();
}

void ProfileNameWidget::MarkEmpty() {
    mEmpty = true;
    ReturnToIdle();
}

void ProfileNameWidget::KeyDown(int key) {
    ButtonWidget::KeyDown(key);
    if (key == KeyCode::Escape && mOwner) mOwner->KeyDown(key);
}

void ProfileNameWidget::KeyChar(wchar_t character) {
    std::wstring name = GetName();
    if (IsValidNameChar(name, character)) {
        name.push_back(character);
    } else if (character == kBackspace && !name.empty()) {
        name.pop_back();
    }
    mEmpty = name.empty();
    if (mEmpty) {
        ShowPlaceholder(L"enter_your_name");
    } else {
        SetLabel(name, false);
        mLabelColor = Color::White;
    }
    // Last: committing may return the slot to its idle look.
    if (character == kEnter && mOwner) mOwner->CommitSelection();
}
