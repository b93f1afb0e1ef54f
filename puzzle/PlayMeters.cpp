#include "puzzle/PlayMeters.h"

#include <algorithm>
#include <cmath>

#include "core/Log.h"
#include "core/StringUtil.h"
#include "data/AssetLookup.h"
#include "data/Constants.h"
#include "data/Localization.h"
#include "puzzle/GameStats.h"
#include "puzzle/PlayNotice.h"
#include "puzzle/PlayerState.h"
#include "puzzle/PlayerProgress.h"
#include "render/Font.h"
#include "render/Graphics.h"
#include "render/Image.h"
#include "widgets/AppServices.h"
#include "widgets/WidgetManager.h"

namespace {

void DrawTitle(Graphics* g, const wchar_t* fontName, const std::wstring& title, float x, float y) {
    Font* font = FindFont(fontName);
    if (!font || title.empty()) return;
    GraphicsState saved;
    saved.CopyFrom(*g);
    g->SetFont(font);
    g->SetColor(Color::White);
    g->DrawTextLine(title, x, y, 0.0f, 0);
    g->RestoreState(saved);
}

Point Truncated(const FPoint& p) { return Point(static_cast<int>(p.mX), static_cast<int>(p.mY)); }

}  // namespace

// --- HintMeter ---------------------------------------------------------------------------

HintMeter::HintMeter(float x, float y, int width, int height, int gridSize)
    : AnimationWidget(L"hint_meter", x, y, false) {
    const GridConfig config = FindGridConfig(gridSize);
    mHintReward = config.mHintReward;
    mFullAmount = std::max(config.mHints, 1);
    mTitle = GetLocalizedString(L"hints_title");
    mWidth = width;
    mHeight = height;
    mBulbs = {mFullAmount, 0, 0, 0};
    // The first bulb starts full, so the pool starts at one hint.
    PlayerProgress::SetHintPool(1);
    SetVariable(L"c_x", ScriptValue(static_cast<int>(x)));
    SetVariable(L"c_y", ScriptValue(static_cast<int>(y)));
    SetVariable(L"c_numhints", ScriptValue(1));
    InsertAnimationByName(L"hint_meter_init");
    SetVariable(L"hint_frame", ScriptValue(0));
}

int HintMeter::GetBulbFill(int bulb) const {
    return bulb >= 0 && bulb < kBulbs ? mBulbs[static_cast<size_t>(bulb)] : 0;
}

Point HintMeter::GetTargetPoint() {
    return Truncated(LocalToParentPoint(static_cast<float>((mCurrentBulb + 1) * kBulbSpacing),
                                        static_cast<float>(mHeight / 2 + 10)));
}

void HintMeter::ChooseBulb() {
    int chosen = -1;
    for (int i = 0; i < kBulbs && chosen < 0; ++i)
        if (mBulbs[static_cast<size_t>(i)] == 0) chosen = i;
    // A bulb that has started filling goes first.
    for (int i = 0; i < kBulbs; ++i) {
        const int fill = mBulbs[static_cast<size_t>(i)];
        if (fill > 0 && fill < mFullAmount) {
            chosen = i;
            break;
        }
    }
    if (chosen >= 0) mCurrentBulb = chosen;
}

void HintMeter::ShowBulb(int bulb, int frame, const wchar_t* animation) {
    SetVariable(L"hint_bulb", ScriptValue(WStrFormat(L"hint_bulb%d", bulb + 1)));
    if (frame >= 0) SetVariable(L"hint_frame", ScriptValue(frame));
    InsertAnimationByName(animation);
    MarkDirty();
}

void HintMeter::UpdateFill(int amount) {
    if (!gPlayerState || gPlayerState->mNumHints >= kMaxPool) return;
    SetVariable(L"c_prevfillamount", ScriptValue(mPrevFillAmount));
    ChooseBulb();
    int& fill = mBulbs[static_cast<size_t>(mCurrentBulb)];
    fill += amount;
    if (fill < mFullAmount) {
        const int frame = std::min(10, static_cast<int>(fill / (mFullAmount / 12.0)));
        ShowBulb(mCurrentBulb, frame, L"update_hint_meter");
        return;
    }
    if (gAppServices) gAppServices->PlaySample(GetSoundId(L"Glow"));
    ShowBulb(mCurrentBulb, kFullFrame, L"update_hint_meter");
    PlayerProgress::EarnHint(kMaxPool);
    TellAboutHints();
    ChooseBulb();
}

void HintMeter::TellAboutHints() {
    if (!gPlayerState || gPlayerState->mSeenHint) return;
    if (!PlayerPausesForNotice(mWidgetManager)) {
        mHintNoticeWaiting = true;
        return;
    }
    mHintNoticeWaiting = false;
    // The flag goes with the notice actually shown.
    if (ShowPlayNotice(*this, L"hint_intro")) gPlayerState->mSeenHint = true;
}

void HintMeter::Update() {
    AnimationWidget::Update();
    if (mHintNoticeWaiting) TellAboutHints();
}

int HintMeter::StepsUntilDue() {
    // The pause is counted in steps, and the notice is due when it is long enough.
    return mHintNoticeWaiting ? 0 : AnimationWidget::StepsUntilDue();
}

void HintMeter::DoAction(const std::wstring& action, const std::wstring& parameter, int /*object*/) {
    if (action != L"hint") return;
    // Only the four bulbs exist; any other index is ignored.
    wchar_t* end = nullptr;
    const long index = std::wcstol(parameter.c_str(), &end, 10);
    if (end == parameter.c_str() || index < 0 || index >= kBulbs) return;
    int& fill = mBulbs[static_cast<size_t>(index)];
    // The pool spent is on disk before the hint shows.
    if (fill < mFullAmount || !PlayerProgress::SpendHint()) return;
    ++mHintsUsed;
    ShowBulb(static_cast<int>(index), -1, L"use_hint");
    fill = 0;
    const Point source = Truncated(LocalToParentPoint(static_cast<float>(index * kBulbSpacing),
                                                      static_cast<float>(mHeight / 2 + 10)));
    if (auto* receiver = dynamic_cast<HintReceiver*>(mParent))
        receiver->GiveHint(source.mX, source.mY, mHintReward);
}

void HintMeter::Draw(Graphics* g) {
    AnimationWidget::Draw(g);
    DrawTitle(g, L"hud_title2", mTitle, mWidth / 2.0f + GetConstantInt(L"hint_text_offset_ipad"),
              static_cast<float>(GetConstantInt(L"hint_text_offset_y_ipad")));
}

// --- MistakeMeter ------------------------------------------------------------------------

MistakeMeter::MistakeMeter(float x, float y, int width, int height, int gridSize)
    : DynamicWidget(x, y, nullptr, 1.0f) {
    mChances = FindGridConfig(gridSize).mMistakes;
    mTitle = GetLocalizedString(L"mistakes_title");
    mWidth = width;
    mHeight = height;
    const std::wstring device = gPlayerState ? gPlayerState->mDevice : L"ipad";
    Image* icon = FindImage((gridSize < 15 ? L"chanceLarge_" : L"chanceSmall_") + device);
    // No chances, no icons (the rows would divide by zero).
    if (mChances <= 0) return;
    const int rows = static_cast<int>(std::sqrt(static_cast<double>(mChances)));
    const int perRow = mChances / rows;
    const int columnStep = width / (perRow + 1);
    const int rowStep = (height - 40) / std::max(rows, 3);
    for (int i = 0; i < rows; ++i) {
        for (int j = 0; j < perRow && static_cast<int>(mIcons.size()) < mChances; ++j) {
            auto* widget = new DynamicWidget(static_cast<float>(columnStep * (j + 1)),
                                             static_cast<float>(static_cast<int>((i + 0.5) * rowStep + 40.0)),
                                             icon, 1.0f);
            widget->Move(widget->mX - static_cast<float>(widget->mWidth / 2),
                         widget->mY - static_cast<float>(widget->mHeight / 2));
            widget->mRemoveMask |= WidgetFlags::AllowMouse;
            AddWidget(widget);
            mIcons.push_back(widget);
        }
    }
}

DynamicWidget* MistakeMeter::GetIcon(int index) const {
    return index >= 0 && index < GetIconCount() ? mIcons[static_cast<size_t>(index)] : nullptr;
}

Point MistakeMeter::GetChancePoint(int index) {
    if (DynamicWidget* icon = GetIcon(index))
        return Truncated(LocalToParentPoint(icon->mX + icon->mWidth * 0.5f, icon->mY + icon->mHeight * 0.5f));
    return Truncated(LocalToParentPoint(mWidth * 0.5f, mHeight * 0.5f));
}

void MistakeMeter::ConsumeChance() {
    if (DynamicWidget* icon = GetIcon(mArrived)) icon->SetFrame(1);
    ++mArrived;
    MarkDirty();
}

AnimationWidget* MistakeMeter::Explode(AnimationListener* listener) {
    auto* burst = new AnimationWidget(L"explosion", 0.0f, 0.0f, true);
    burst->SetVariable(L"meter_x", ScriptValue(mX + mWidth * 0.5f));
    burst->SetVariable(L"meter_y", ScriptValue(mY + mHeight * 0.5f));
    if (listener) listener->WatchWidget(burst);
    burst->mRemoveMask |= WidgetFlags::AllowMouse;
    if (mParent)
        mParent->AddWidget(burst);
    else
        AddWidget(burst);
    return burst;
}

void MistakeMeter::Draw(Graphics* g) {
    DynamicWidget::Draw(g);
    DrawTitle(g, L"hud_title", mTitle, mWidth / 2.0f, 15.0f);
}
