#include "screens/LevelCompleteMenu.h"

#include "app/GameApp.h"
#include "data/Constants.h"
#include "data/Localization.h"
#include "platform/System.h"
#include "puzzle/MyLocalization.h"
#include "puzzle/PlayArtGrid.h"
#include "puzzle/PlayerState.h"
#include "puzzle/SetStats.h"
#include "screens/GameScreens.h"
#include "screens/MyPlayScreen.h"
#include "widgets/NoticeMenu.h"
#include "widgets/ScriptCommandRegistry.h"

namespace {

// The script waits on "wait-for-art" until the picture has been revealed.
constexpr int kWaitForArt = WaitState::PlayScreen;

ScriptStep WaitForArtCommand(AnimationWidget& w, const AnimationCommand&, DynamicWidget*) {
    static_cast<LevelCompleteMenu&>(w).WaitForArt();
    return ScriptStep::Stop;
}

int PuzzleCount(int mode, int set) {
    const SetProgress* progress = FindSetProgress(mode, set);
    return progress ? static_cast<int>(progress->mPuzzles.size()) : 0;
}

}  // namespace

void LevelCompleteMenu::RegisterScriptCommands(ScriptCommandRegistry& registry) {
    registry.AddClassCommand<LevelCompleteMenu>(L"wait-for-art", &WaitForArtCommand);
}

std::wstring LevelCompleteMenu::ScriptName(int mode, int set, int puzzle) {
    if (mode >= 1) return L"level_complete_extra";
    if (set == 0 && puzzle < GetConstantInt(L"puzzles_with_journal")) return L"level_complete_first";
    return L"level_complete";
}

LevelCompleteMenu::LevelCompleteMenu(const std::wstring& gameName, int mode, int set, int puzzle, int seconds,
                                     int mistakes, int hintsUsed, PlayArtGrid* art, const WinRecord& win)
    : LevelStatusMenu(ScriptName(mode, set, puzzle), gameName, mode, set, puzzle, seconds, mistakes, hintsUsed),
      mWin(win),
      mFirstCompletion(win.mFirstCompletion),
      mLinearSet(gameName == L"quiltro7" && mode == 0 && set == 0),
      mNextPuzzle(win.mNextPuzzle),
      mNextSet(win.mNextSet) {
    AnimationListener::WatchWidget(this);
    const SetRecord* record = SetStats::FindSet(gameName, mode, set);
    SetVariable(L"puzzle_info", ScriptValue(record ? FindPuzzleTitle(record->mName, puzzle) : std::wstring()));
    SetVariable(L"set_name", ScriptValue(record ? GetLocalizedString(record->mName) : std::wstring()));
    SetVariable(L"game_name", ScriptValue(gameName));
    TakeArt(art);
    if (!mLinearSet) ShowStars(mistakes, hintsUsed);
}

void LevelCompleteMenu::TakeArt(PlayArtGrid* art) {
    auto* holder = new DynamicWidget(0.0f, 0.0f, nullptr, 1.0f);
    if (art) {
        holder->Resize(art->mX, art->mY, art->mWidth, art->mHeight);
        art->Move(0.0f, 0.0f);
        art->DetachSelf();
        holder->AddWidget(art);
        mArtGrid = art;
    }
    holder->SetRecursiveTransform(true);
    holder->SetRecursiveColor(1);
    mArtHolder = holder;
    SetVariable(L"art", ScriptValue(static_cast<ScriptObject*>(holder)));
    AddWidget(holder);
}

void LevelCompleteMenu::ShowStars(int mistakes, int hintsUsed) {
    const PuzzleProgress& before = mWin.mBefore;
    SetVariable(L"was_completed", ScriptValue(before.mCompleted));
    SetVariable(L"was_without_hints", ScriptValue(before.mWithoutHints));
    SetVariable(L"was_without_mistakes", ScriptValue(before.mWithoutMistakes));
    SetVariable(L"without_hints", ScriptValue(hintsUsed == 0));
    SetVariable(L"without_mistakes", ScriptValue(mistakes == 0));
    SetVariable(L"is_completed", ScriptValue(mFirstCompletion));
}

void LevelCompleteMenu::WaitForArt() { mWaitState = kWaitForArt; }

void LevelCompleteMenu::Update() {
    LevelStatusMenu::Update();
    if (mTrimPending) {
        // What the reveal held was deleted at the end of the last step; the
        // heap keeps the pages the driver freed unless asked.
        mTrimPending = false;
        PlatformReleaseFreeMemory();
    }
    if (mWaitState != kWaitForArt) return;
    // Without a picture there is nothing to wait for.
    PlayArtGrid* art = mArtGrid.Get();
    if (art && !art->StartReveal()) return;
    RunScript(true);
    EndReveal();
}

int LevelCompleteMenu::StepsUntilDue() { return mTrimPending ? 0 : LevelStatusMenu::StepsUntilDue(); }

void LevelCompleteMenu::EndReveal() {
    PlayArtGrid* art = mArtGrid.Get();
    MyPlayScreen* play = MyPlayScreen::FindOpen();
    // The play screen beneath saw the reveal end first (it is updated before
    // this screen) and let go of its board; the panel the script has just
    // put over the HUD column hides the HUD's still picture for good.
    if (!art || !play || play->GetArtGrid() != art) return;
    play->ReleaseHudPicture();
    mTrimPending = true;
}

void LevelCompleteMenu::DoAction(const std::wstring& action, const std::wstring&, int) {
    std::wstring key;
    if (action == L"hint_star_text")
        key = L"hint_star_description";
    else if (action == L"mistake_star_text")
        key = L"mistake_star_description";
    else if (action == L"complete_star_text")
        key = L"complete_star_description";
    else
        return;
    SetVariable(L"star_text", ScriptValue(GetLocalizedString(key)));
    InsertAnimationByName(L"update_star_text");
}

void LevelCompleteMenu::AnimationMessage(int, const std::wstring& message) {
    // The win opened the bonus set already; the summary tells of it.
    if (message != L"summary_shown" || mLinearSet || !mWin.mOpenedBonus || mBonusTold) return;
    mBonusTold = true;
    ShowMenu(new NoticeMenu(L"unlocked_bonus", nullptr, L"menu", 2));
}

void LevelCompleteMenu::OnContinue() {
    const auto show = [](Menu* menu) { ShowGameScreen(menu); };
    if (mLinearSet) {
        if (mNextSet >= 0) {
            PlayerProgress::EnterSet(mMode, mNextSet);
            if (gGameScreens.mSetLoading) show(gGameScreens.mSetLoading(mNextSet, 0));
        } else {
            OpenPuzzle(mGameName, mMode, mSet, mNextPuzzle, true);
        }
        RemoveSelf();
        return;
    }
    PlayerProgress::EnterSet(mMode, mSet);
    if (!mFirstCompletion) {
        if (gGameScreens.mSetLoading) show(gGameScreens.mSetLoading(mSet, mPuzzle));
        RemoveSelf();
        return;
    }
    // The completion and the unlocks were written with the win.
    const int setCount = SetStats::CountSets(mGameName, mMode);
    if (mPuzzle != PuzzleCount(mMode, mSet) - 1) {
        if (gGameScreens.mPuzzleSelect) show(gGameScreens.mPuzzleSelect(mGameName, mMode, mSet, mPuzzle, false));
    } else {
        if (mMode == 0) {
            if (mSet == setCount - 1) {
                if (gGameScreens.mStoryFinal) show(gGameScreens.mStoryFinal());
            } else if (gGameScreens.mMap) {
                show(gGameScreens.mMap(gPlayerState ? gPlayerState->mGameName : mGameName, true));
            }
        } else if (gGameScreens.mSelectSet) {
            show(gGameScreens.mSelectSet(mGameName, 1, mSet == setCount - 1));
        }
    }
    RemoveSelf();
}
