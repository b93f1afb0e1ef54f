#pragma once
#include "core/WeakHandle.h"
#include "puzzle/PlayerProgress.h"
#include "screens/LevelStatusMenu.h"

class PlayArtGrid;
class DynamicWidget;

// The screen after a solved puzzle. The win is in the player's progress
// and on disk before this screen opens (PlayerProgress::RecordWin): the
// screen shows what it changed (the stars of the latest win, a first
// completion), takes the revealed picture over from the play screen and, on
// "ok", opens the screen that follows.
class LevelCompleteMenu : public LevelStatusMenu {
public:
    LevelCompleteMenu(const std::wstring& gameName, int mode, int set, int puzzle, int seconds, int mistakes,
                      int hintsUsed, PlayArtGrid* art, const WinRecord& win);

    static void RegisterScriptCommands(ScriptCommandRegistry& registry);
    // The script's animation for a puzzle.
    static std::wstring ScriptName(int mode, int set, int puzzle);

    void Update() override;
    int StepsUntilDue() override;
    // "hint_star_text", "mistake_star_text", "complete_star_text".
    void DoAction(const std::wstring& action, const std::wstring& parameter, int object) override;
    void OnContinue() override;
    void OnQuit() override {}
    // "summary_shown": the first bonus set may open.
    void AnimationMessage(int id, const std::wstring& message) override;
    void WaitForArt();

    bool IsLinearSet() const { return mLinearSet; }
    int GetNextPuzzle() const { return mNextPuzzle; }
    int GetNextSet() const { return mNextSet; }
    DynamicWidget* GetArtHolder() const { return mArtHolder.Get(); }

private:
    void TakeArt(PlayArtGrid* art);
    void ShowStars(int mistakes, int hintsUsed);
    // The summary shows: what the play screen kept for the reveal goes.
    void EndReveal();

    WinRecord mWin;
    bool mFirstCompletion = false;
    bool mLinearSet = false;
    int mNextPuzzle = -1;
    int mNextSet = -1;
    bool mBonusTold = false;
    bool mTrimPending = false;
    WeakHandle<PlayArtGrid> mArtGrid;
    WeakHandle<DynamicWidget> mArtHolder;
};
