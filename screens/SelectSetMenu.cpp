#include "screens/SelectSetMenu.h"

#include <algorithm>

#include "core/Color.h"
#include "data/CheckedFormat.h"
#include "data/Localization.h"
#include "puzzle/PlayerProgress.h"
#include "puzzle/PuzzleRecord.h"
#include "puzzle/SetStats.h"
#include "render/Font.h"
#include "render/Graphics.h"
#include "screens/GameScreens.h"
#include "widgets/ButtonWidget.h"
#include "widgets/NoticeMenu.h"
#include "widgets/ScriptCommandRegistry.h"
#include "widgets/WidgetManager.h"

namespace {

const wchar_t* const kCommands[] = {L"set-column", L"set-info"};

}  // namespace

void SelectSetMenu::RegisterScriptCommands(ScriptCommandRegistry& registry) {
    registry.AddClassCommands<SelectSetMenu, &SelectSetMenu::RunCommand>(kCommands);
}

SelectSetMenu::SelectSetMenu(const std::wstring& gameName, int mode, bool bonusComplete)
    : Menu(L"select_set_" + gameName), mGameName(gameName), mMode(mode) {
    mUseTransition = true;
    SetVariable(L"bonus_complete", ScriptValue(bonusComplete));
    mCompletedStorySets = gPlayerState ? gPlayerState->CountCompletedSets(0) : 0;
}

int SelectSetMenu::FindSetButton(int buttonId) const {
    for (size_t i = 0; i < mSetButtons.size(); ++i)
        if (ButtonWidget* button = mSetButtons[i].Get(); button && button->mId == buttonId) return static_cast<int>(i);
    return -1;
}

ScriptStep SelectSetMenu::RunCommand(const std::wstring& name) {
    if (name == L"set-column") {
        AddSetColumn(GetIntAttribute(L"x"), GetIntAttribute(L"y"), GetIntAttribute(L"spacing"),
                     GetIntAttribute(L"sets"), GetStringAttribute(L"font"), GetStringAttribute(L"menu_button"),
                     GetStringAttribute(L"font_over"));
        return ScriptStep::Next;
    }
    mInfoX = GetIntAttributeOr(L"x", mInfoX);
    mInfoY = GetIntAttributeOr(L"y", mInfoY);
    mInfoWidth = GetIntAttributeOr(L"width", mInfoWidth);
    mInfoFont = GetStringAttribute(L"font");
    mInfoRect = Rect(mInfoX - mInfoWidth / 2, mInfoY, mInfoWidth, mHeight);
    return ScriptStep::Next;
}

void SelectSetMenu::AddSetColumn(int x, int y, int spacing, int count, const std::wstring& fontName,
                                 const std::wstring& buttonImage, const std::wstring& overFontName) {
    Font* font = fontName.empty() ? nullptr : FindFont(fontName);
    if (!font) font = FindFont(L"tiny");
    Font* over = overFontName.empty() ? nullptr : FindFont(overFontName);
    const int progressSets = gPlayerState && mMode >= 0 && mMode < PlayerState::kModeCount
                                 ? static_cast<int>(gPlayerState->mProgress[mMode].size())
                                 : 0;
    const int last = std::min(progressSets, SetStats::CountSets(mGameName, mMode));
    for (int set = static_cast<int>(mSetButtons.size()), made = 0; set < last && made < count; ++set, ++made) {
        ButtonWidget* button = AddButton(x, y, buttonImage, L"", true);
        button->Move(static_cast<float>(x - button->mWidth / 2), static_cast<float>(y));
        const SetRecord* record = SetStats::FindSet(mGameName, mMode, set);
        button->SetLabel(record ? record->mName + L"_short" : std::wstring(), true);
        for (int state = 0; state < ButtonWidget::StateCount; ++state) button->SetStateFont(font, state);
        if (over) button->SetStateFont(over, ButtonWidget::Over);
        button->mButtonListener = static_cast<ButtonListener*>(this);
        mSetButtons.emplace_back(button);
        const SetProgress* progress = FindSetProgress(mMode, set);
        if (!progress || progress->mUnlock == 0) button->SetDisabled(true);
        y += spacing;
    }
    // Where the column ends, for what the script places below it.
    SetVariable(L"c_columnbottom", ScriptValue(y));
    // The first set tells its story until the pointer names another: the
    // card is never a button over an empty space.
    if (mShownSet < 0 && !mSetButtons.empty()) {
        mShownSet = 0;
        SetInfo(0);
    }
}

void SelectSetMenu::SetInfo(int index) {
    const SetRecord* record = SetStats::FindSet(mGameName, mMode, index);
    const SetProgress* progress = FindSetProgress(mMode, index);
    if (!record) {
        mInfoText.clear();
    } else if (progress && progress->mUnlock != 0) {
        const int done = gPlayerState ? gPlayerState->CountCompletedPuzzles(mMode, index) : 0;
        mInfoText = FormatChecked(GetLocalizedString(L"bonus_set_info"),
                                  {GetLocalizedString(record->mName), done,
                                   CountCatalogPuzzles(mGameName, mMode, index)});
    } else {
        const int needed = record->mUnlock - mCompletedStorySets;
        if (needed >= 2)
            mInfoText = FormatChecked(GetLocalizedString(L"bonus_set_locked_plural"), {needed});
        else if (needed == 1)
            mInfoText = GetLocalizedString(L"bonus_set_locked_singular");
        else
            mInfoText.clear();  // not another set's text
    }
    MarkDirty();
}

void SelectSetMenu::Draw(Graphics* g) {
    Menu::Draw(g);
    // Over this menu's own children; not over a menu opened above it.
    if (mShownSet >= 0 && mActive) DeferOverlay(0);
}

void SelectSetMenu::DrawOverlay(Graphics* g) {
    if (mShownSet < 0 || mInfoText.empty()) return;
    Font* font = FindFont(mInfoFont);
    if (!font) return;
    g->SetFont(font);
    g->SetColor(Color::White);
    g->DrawTextWrapped(mInfoRect, mInfoText, -1, 0, nullptr, 100000);
}

void SelectSetMenu::ButtonMouseEnter(int id) {
    AnimationWidget::ButtonMouseEnter(id);
    const int index = FindSetButton(id);
    if (index < 0) return;
    mShownSet = index;
    SetInfo(index);
}

void SelectSetMenu::Update() {
    Menu::Update();
    if (!mWidgetManager) return;
    const Point pointer = mWidgetManager->GetPointerPosition();
    const float x = static_cast<float>(pointer.mX) - mX, y = static_cast<float>(pointer.mY) - mY;
    for (size_t i = 0; i < mSetButtons.size(); ++i) {
        ButtonWidget* button = mSetButtons[i].Get();
        if (!button || !button->mDisabled || static_cast<int>(i) == mShownSet) continue;
        if (x >= button->mX && y >= button->mY && x < button->mX + button->mWidth && y < button->mY + button->mHeight) {
            mShownSet = static_cast<int>(i);
            SetInfo(mShownSet);
        }
    }
}

void SelectSetMenu::ButtonDepress(int id) {
    AnimationWidget::ButtonDepress(id);
    const int index = FindSetButton(id);
    const SetProgress* progress = FindSetProgress(mMode, index);
    if (index < 0 || !progress || progress->mUnlock == 0 || !gGameScreens.mSetLoading) return;
    mShownSet = index;
    PlayerProgress::EnterSet(mMode, index);
    if (gPlayerState) gPlayerState->mCurrentTrack = 0;
    RemoveSelf();
    ShowGameScreen(gGameScreens.mSetLoading(index, 0));
}

void SelectSetMenu::DoAction(const std::wstring& action, const std::wstring& parameter, int object) {
    if (action == L"main_menu") {
        if (gGameScreens.mMainMenu && ShowGameScreen(gGameScreens.mMainMenu(false))) RemoveSelf();
    } else if (action == L"summary_shown") {
        ShowMenu(new NoticeMenu(L"completed_bonus", nullptr, L"menu", 2));
    } else {
        Menu::DoAction(action, parameter, object);
    }
}
