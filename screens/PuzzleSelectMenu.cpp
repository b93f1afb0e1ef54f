#include "screens/PuzzleSelectMenu.h"

#include <algorithm>
#include <cstdio>

#include "data/AssetManager.h"
#include "data/CheckedFormat.h"
#include "data/Localization.h"
#include "puzzle/PlayerState.h"
#include "puzzle/PlayerProgress.h"
#include "puzzle/PuzzleRecord.h"
#include "puzzle/SetStats.h"
#include "puzzle/SmallArtGrid.h"
#include "render/Image.h"
#include "screens/GameScreens.h"
#include "screens/PuzzleIcon.h"
#include "screens/ScreenTransition.h"
#include "widgets/ButtonWidget.h"
#include "widgets/ScriptCommandRegistry.h"
#include "widgets/TextLabel.h"

namespace {

const wchar_t* const kCommands[] = {L"puzzle-button", L"create-preview", L"set-puzzle-images",
                                    L"puzzle-loading-done"};

// Drawn where a locked puzzle's preview would be.
const wchar_t kLockedFrame[] = L"ui_Puzzle_Locked_Frame";

// What only shows over or beside the buttons (looks, glows, previews and
// everything their scripts add) lets the pointer through: a glow under the
// pointer must not take the hover from the button it lights.
void LetPointerThrough(DynamicWidget* widget) {
    widget->mMouseVisible = false;
    widget->mRemoveMask |= WidgetFlags::AllowMouse;
}

template <class W>
void Remove(WeakHandle<W>& handle) {
    if (W* widget = handle.Get()) widget->RemoveSelf();
    handle.Reset();
}

}  // namespace

void PuzzleSelectMenu::RegisterScriptCommands(ScriptCommandRegistry& registry) {
    registry.AddClassCommands<PuzzleSelectMenu, &PuzzleSelectMenu::RunCommand>(kCommands);
}

PuzzleSelectMenu::PuzzleSelectMenu(const std::wstring& gameName, int mode, int set, int justCompleted,
                                   bool useDefaultTransition)
    : Menu(L""), mGameName(gameName), mMode(mode), mSet(set), mJustCompleted(justCompleted),
      mUseDefaultTransition(useDefaultTransition) {
    mUseTransition = true;
    AnimationListener::WatchWidget(this);
    SetPauseWhenCovered(true);
    const SetRecord* record = SetStats::FindSet(gameName, mode, set);
    SetVariable(L"c_gamename", ScriptValue(gameName));
    SetVariable(L"c_setname", ScriptValue(SetName()));
    SetVariable(L"c_backgroundname", ScriptValue(record ? record->mBackground : std::wstring()));
    SetVariable(L"c_mode", ScriptValue(mode));
    InsertAnimationByName(ScriptName(L"_puzzle_menu_"));
    InsertAnimationByName(ScriptName(L"_puzzle_select_"));
}

PuzzleSelectMenu::~PuzzleSelectMenu() = default;

std::wstring PuzzleSelectMenu::ScriptName(const wchar_t* suffix) const {
    return (mMode == 0 ? L"story" : L"bonus") + std::wstring(suffix) + mGameName;
}

std::wstring PuzzleSelectMenu::SetName() const {
    const SetRecord* record = SetStats::FindSet(mGameName, mMode, mSet);
    return record ? record->mName : std::wstring();
}

TextLabel* PuzzleSelectMenu::GetTopLabel() const { return mTopLabel.Get(); }

TextLabel* PuzzleSelectMenu::GetBottomLabel() const { return mBottomLabel.Get(); }

const SetProgress* PuzzleSelectMenu::Progress() const { return FindSetProgress(mMode, mSet); }

int PuzzleSelectMenu::FindEntry(int buttonId) const {
    for (size_t i = 0; i < mEntries.size(); ++i)
        if (ButtonWidget* button = mEntries[i].mButton.Get(); button && button->mId == buttonId)
            return static_cast<int>(i);
    return -1;
}

// --- Commands ---------------------------------------------------------------------------------

ScriptStep PuzzleSelectMenu::RunCommand(const std::wstring& name) {
    if (name == L"puzzle-button")
        AddPuzzleButton(GetIntAttribute(L"id"), GetIntAttribute(L"x"), GetIntAttribute(L"y"),
                        GetIntAttribute(L"preview-x"), GetIntAttribute(L"preview-y"),
                        GetFloatAttributeOr(L"preview-scale", 1.0f));
    else if (name == L"create-preview")
        CreatePreview();
    else if (name == L"set-puzzle-images")
        SetPuzzleImages();
    else
        PuzzleLoadingDone();
    return ScriptStep::Next;
}

void PuzzleSelectMenu::CreatePreview() {
    Remove(mPreview);
    auto* preview = new AnimationWidget(L"ui_preview", static_cast<float>(GetIntAttribute(L"preview_x")),
                                        static_cast<float>(GetIntAttribute(L"preview_y")), true);
    LetPointerThrough(preview);
    auto* top = new TextLabel(L"", static_cast<float>(GetIntAttribute(L"label_x")),
                              static_cast<float>(GetIntAttribute(L"label_y")), GetStringAttribute(L"font_top"), 0, 0,
                              0, -1);
    auto* bottom = new TextLabel(L"", static_cast<float>(GetIntAttribute(L"time_x")),
                                 static_cast<float>(GetIntAttribute(L"time_y")), GetStringAttribute(L"font_bottom"), 0,
                                 0, 0, -1);
    preview->AddWidget(top);
    preview->AddWidget(bottom);
    mTopLabel = top;
    mBottomLabel = bottom;
    mPreview = preview;
    AddWidget(preview);
}

void PuzzleSelectMenu::SetPuzzleImages() {
    std::wstring names[] = {GetStringAttribute(L"incomplete-image-name"), GetStringAttribute(L"complete-image-name"),
                            GetStringAttribute(L"current-image-name"), GetStringAttribute(L"flash-image-name")};
    const bool all = std::all_of(std::begin(names), std::end(names),
                                 [](const std::wstring& name) { return FindImage(name) != nullptr; });
    if (!all) {
        std::fputs("WARNING:\nA puzzle image is missing, please check this.\n", stdout);
        names[0] = L"ui_Puzzle_Incomplete";
        names[1] = L"ui_Puzzle_Complete";
        names[2] = names[3] = L"ui_Puzzle_Current";
    }
    mIncompleteImage = names[0];
    mCompleteImage = names[1];
    mCurrentImage = names[2];
    mFlashImage = names[3];
}

void PuzzleSelectMenu::AddPuzzleButton(int id, int x, int y, int previewX, int previewY, float previewScale) {
    PuzzleEntry entry;
    const PuzzleRecord* record = FindPuzzleRecord(mGameName, mMode, mSet, id);
    const PuzzleProgress* progress = FindPuzzleProgress(mMode, mSet, id);
    const float fx = static_cast<float>(x), fy = static_cast<float>(y);
    // A puzzle the catalogue or the profile lacks counts as locked.
    entry.mLocked = !(id >= 0 && id < mUnlockedCount && record && progress);
    WidgetContainer* previewParent = mPreview.Get() ? static_cast<WidgetContainer*>(mPreview.Get()) : this;
    DynamicWidget* preview = nullptr;
    ButtonWidget* button = nullptr;
    if (!entry.mLocked) {
        entry.mGridSize = record->GetSize();
        entry.mName = record->mName;
        auto* grid = new SmallArtGrid(record->mPicture.ToColumns(), static_cast<float>(previewX),
                                      static_cast<float>(previewY), progress->mCompleted);
        grid->SetDrawScale(previewScale);
        preview = grid;
        if (progress->mCompleted) {
            button = new ButtonWidget(fx, fy, mCompleteImage, L"", true);
            button->AddWidget(new PuzzleIcon(static_cast<float>(button->mWidth / 2 + 1),
                                             static_cast<float>(button->mHeight / 2 + 1), *record,
                                             id == mJustCompleted));
            entry.mBestSeconds = progress->mBestTime;
            mHighestCompleted = std::max(mHighestCompleted, id);
        } else {
            button = new ButtonWidget(fx, fy, mCurrentImage, L"", true);
            mFirstOpen = std::min(mFirstOpen, id);
        }
    } else {
        button = new ButtonWidget(fx, fy, mIncompleteImage, L"", true);
        button->SetDisabled(true);
        // The frame takes the small grid's place, border included.
        const float border = SmallGrid::kBorder * previewScale;
        preview = new DynamicWidget(static_cast<float>(previewX) - border, static_cast<float>(previewY) - border,
                                    FindImage(kLockedFrame), 1.0f);
    }
    preview->SetVisible(false);
    LetPointerThrough(preview);
    previewParent->AddWidget(preview);
    entry.mPreview = preview;
    button->mButtonListener = static_cast<ButtonListener*>(this);
    AddWidget(button);
    entry.mButton = button;
    if (id == mJustCompleted) mForwardSlot = button;
    mEntries.push_back(std::move(entry));
}

void PuzzleSelectMenu::PuzzleLoadingDone() {
    ShowPuzzleInfo(mJustCompleted >= 0 ? mJustCompleted : mHighestCompleted);
    // Only an open puzzle that waits to be solved flashes.
    if (mFirstOpen < 0 || mFirstOpen >= static_cast<int>(mEntries.size())) return;
    const PuzzleEntry& entry = mEntries[static_cast<size_t>(mFirstOpen)];
    const PuzzleProgress* progress = FindPuzzleProgress(mMode, mSet, mFirstOpen);
    ButtonWidget* button = entry.mButton.Get();
    if (entry.mLocked || !progress || progress->mCompleted || !button) return;
    Remove(mFlashWidget);
    auto* flash = new AnimationWidget(L"", static_cast<float>(static_cast<int>(button->mX)),
                                      static_cast<float>(static_cast<int>(button->mY)), false);
    LetPointerThrough(flash);
    std::wstring image = mFlashImage;
    if (image.empty()) {
        std::fputs("mFlashImageName is empty, defaulting to ui_Puzzle_Current_Over\n", stdout);
        image = L"ui_Puzzle_Current_Over";
    }
    flash->SetVariable(L"c_flashimage", ScriptValue(image));
    flash->InsertAnimationByName(L"new_puzzle_flash");
    mFlashWidget = flash;
    AddWidget(flash);
}

// --- Progress and the list ------------------------------------------------------------------------

void PuzzleSelectMenu::RecordNewCompletion() {
    // The win itself wrote the completion and opened the next puzzle; what
    // is left is whether it was the one that finished the set.
    const SetProgress* set = Progress();
    if (!set || mJustCompleted < 0) return;
    const int count = CountCatalogPuzzles(mGameName, mMode, mSet);
    if (mJustCompleted == count - 1 && set->mUnlock >= count) mCompletedSet = mSet;
}

void PuzzleSelectMenu::SetCurrentSet(int set) {
    mSet = set;
    if (mMode == 0) PlayerProgress::SetCurrentSet(set);
    const SetProgress* progress = Progress();
    mShownPuzzle = -1;
    if (!progress) {
        mUnlockedCount = 0;
        return;
    }
    const int count = static_cast<int>(progress->mPuzzles.size());
    mUnlockedCount = count;
    // A count beyond the set's puzzles opens them all; it is kept as it is,
    // for a catalogue that grows.
    if (set < SetStats::CountSets(mGameName, mMode)) mUnlockedCount = std::clamp(progress->mUnlock, 0, count);
    PlayerProgress::IntroduceSet(mMode, set);
}

void PuzzleSelectMenu::RebuildPuzzleList() {
    const SetProgress* progress = Progress();
    const int count = progress ? static_cast<int>(progress->mPuzzles.size()) : 0;
    mHighestCompleted = 0;
    mFirstOpen = count - 1;
    for (PuzzleEntry& entry : mEntries) {
        Remove(entry.mButton);
        Remove(entry.mPreview);
    }
    mEntries.clear();
    mShownPuzzle = -1;
    mForwardSlot.Reset();
    Remove(mFlashWidget);
    SetVariable(L"c_setname", ScriptValue(SetName()));
    SetVariable(L"c_puzzlecount", ScriptValue(count));
    SetVariable(L"c_pagecolumns", ScriptValue(kPuzzlePageColumns));
    InsertAnimationByName(ScriptName(L"_puzzle_menu_refresh_"));
}

// --- The information panel -------------------------------------------------------------------------

void PuzzleSelectMenu::ShowPuzzleInfo(int index) {
    const int count = static_cast<int>(mEntries.size());
    TextLabel* top = mTopLabel.Get();
    TextLabel* bottom = mBottomLabel.Get();
    if (mShownPuzzle >= 0 && mShownPuzzle < count) {
        if (DynamicWidget* preview = mEntries[static_cast<size_t>(mShownPuzzle)].mPreview.Get())
            preview->SetVisible(false);
        if (top) top->SetText(L"");
        if (bottom) bottom->SetText(L"");
    }
    mShownPuzzle = -1;
    if (index < 0 || index >= count) return;
    const PuzzleEntry& entry = mEntries[static_cast<size_t>(index)];
    if (DynamicWidget* preview = entry.mPreview.Get()) preview->SetVisible(true);
    const bool completed = entry.mBestSeconds >= 0;
    if (top) top->SetText(GetLocalizedString(completed ? entry.mName : L"exhibit_name_unbeaten"));
    // A completion without a recorded time (0) has no time to show.
    if (bottom)
        bottom->SetText(entry.mBestSeconds > 0 ? FormatChecked(GetLocalizedString(L"exhibit_time"),
                                                            {entry.mBestSeconds / 60, entry.mBestSeconds % 60})
                                            : GetLocalizedString(L"exhibit_time_unbeaten"));
    if (AnimationWidget* stars = mStarWidget.Get()) {
        const PuzzleProgress* progress = FindPuzzleProgress(mMode, mSet, index);
        const bool shown = progress && !entry.mLocked;
        stars->SetVariable(L"c_setname", ScriptValue(SetName()));
        stars->SetVariable(L"show_complete_star", ScriptValue(shown && progress->mCompleted));
        stars->SetVariable(L"show_hint_star", ScriptValue(shown && progress->mWithoutHints));
        stars->SetVariable(L"show_mistake_star", ScriptValue(shown && progress->mWithoutMistakes));
        stars->InsertAnimationByName(ScriptName(L"_update_puzzle_select_stars_"));
    }
    mShownPuzzle = index;
}

void PuzzleSelectMenu::ShowStarText(const std::wstring& text) {
    SetVariable(L"c_text", ScriptValue(text));
    InsertAnimationByName(ScriptName(L"_puzzle_select_star_text_"));
}

// --- Input ----------------------------------------------------------------------------------------

void PuzzleSelectMenu::PlayButtonLook(PuzzleEntry& entry, const std::wstring& animation) {
    ButtonWidget* button = entry.mButton.Get();
    if (!button) return;
    Remove(entry.mLook);
    auto* look = new AnimationWidget(L"", 0.0f, 0.0f, true);
    LetPointerThrough(look);
    look->SetVariable(L"button", ScriptValue(static_cast<ScriptObject*>(button)));
    look->PlayAnimationByName(animation);
    entry.mLook = look;
    button->AddWidget(look);
}

void PuzzleSelectMenu::ButtonMouseEnter(int id) {
    AnimationWidget::ButtonMouseEnter(id);
    const int index = FindEntry(id);
    if (index < 0) return;
    PuzzleEntry& entry = mEntries[static_cast<size_t>(index)];
    PlayButtonLook(entry, entry.mBestSeconds >= 0 ? L"puzzle_mouse_over" : L"puzzle_mouse_current_over");
    if (index == mShownPuzzle) return;
    ShowStarText(L"");
    ShowPuzzleInfo(index);
}

void PuzzleSelectMenu::ButtonMouseLeave(int id) {
    AnimationWidget::ButtonMouseLeave(id);
    const int index = FindEntry(id);
    if (index >= 0) PlayButtonLook(mEntries[static_cast<size_t>(index)], L"puzzle_mouse_leave");
}

void PuzzleSelectMenu::ButtonDepress(int id) {
    AnimationWidget::ButtonDepress(id);
    const int index = FindEntry(id);
    if (index < 0 || mEntries[static_cast<size_t>(index)].mLocked) return;
    PlayerProgress::ChoosePuzzle(index);
    if (!gGameScreens.mPuzzleLoading) return;
    ShowGameScreen(gGameScreens.mPuzzleLoading(mGameName, mMode, mSet, index, true));
    RemoveSelf();
}

void PuzzleSelectMenu::DoAction(const std::wstring& action, const std::wstring&, int) {
    if (action == L"display_preview") {
        InsertAnimationByName(ScriptName(L"_load_preview_"));
        RecordNewCompletion();
        Remove(mStarWidget);
        auto* stars = new AnimationWidget(L"", 0.0f, 0.0f, false);
        mStarWidget = stars;
        AddWidget(stars);
        SetCurrentSet(mSet);
        RebuildPuzzleList();
    } else if (action == L"world_map") {
        Menu* next = nullptr;
        if (mMode != 0) {
            if (gGameScreens.mSelectSet) next = gGameScreens.mSelectSet(mGameName, 1, false);
        } else if (gGameScreens.mMapArrival) {
            CaptureScreenshot(true);
            next = gGameScreens.mMapArrival(mScreenshot.release(), L"", L"");
        }
        if (ShowGameScreen(next)) RemoveSelf();
    } else if (action == L"complete_star") {
        ShowStarText(GetLocalizedString(L"star_complete_text"));
    } else if (action == L"hint_star") {
        ShowStarText(GetLocalizedString(L"star_hint_text"));
    } else if (action == L"mistake_star") {
        ShowStarText(GetLocalizedString(L"star_mistake_text"));
    }
}

void PuzzleSelectMenu::AnimationMessage(int, const std::wstring& message) {
    if (message == L"transition_complete") {
        const bool storyEnds =
            mMode == 0 && mCompletedSet == mSet && mSet == SetStats::CountSets(mGameName, 0) - 1;
        if (storyEnds) {
            if (gGameScreens.mStoryFinal) ShowGameScreen(gGameScreens.mStoryFinal());
            return;
        }
        RebuildPuzzleList();
        // The script hands the pointer back once the fresh puzzle has shown.
        mRemoveMask |= WidgetFlags::AllowMouse;
    } else if (message == L"puzzle_animation_complete") {
        if (mCompletedSet != mSet || mCompletedSet < 0) return;
        Menu* next = nullptr;
        if (mMode != 0) {
            if (gGameScreens.mSelectSet) next = gGameScreens.mSelectSet(mGameName, mMode, false);
        } else {
            PlayerProgress::SetCurrentSet(std::min(mSet + 1, SetStats::CountSets(mGameName, mMode) - 1));
            if (gGameScreens.mMapArrival) {
                CaptureScreenshot(true);
                next = gGameScreens.mMapArrival(mScreenshot.release(), SetName(),
                                                gPlayerState ? gPlayerState->mGameName : mGameName);
            }
        }
        if (ShowGameScreen(next)) RemoveSelf();
    } else if (message == L"bring_puzzle_forward") {
        ButtonWidget* button = mForwardSlot.Get();
        if (!button) return;
        button->mPriority = 100;
        SortWidgets();
    }
}

Menu* PuzzleSelectMenu::CreateTransition() {
    if (mUseDefaultTransition) return Menu::CreateTransition();
    return new ScreenTransition(this, L"puzzle_select_transition");
}
