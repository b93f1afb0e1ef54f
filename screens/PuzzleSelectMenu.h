#pragma once
#include <string>
#include <vector>

#include "core/WeakHandle.h"
#include "widgets/Menu.h"

class ButtonWidget;
class DynamicWidget;
class ScriptCommandRegistry;
class TextLabel;
struct SetProgress;

// The puzzles of one set as buttons (completed, open, locked) with the
// preview, name, best time and stars of the puzzle under the pointer. It
// records a fresh completion (the next puzzle opens), saves the profiles and
// leads on to the puzzle, the story map, the set list or the story's end.
// Its scripts ("<story|bonus>_puzzle_menu_<game>" and "..._puzzle_select_")
// call the commands and actions below.
class PuzzleSelectMenu : public Menu {
public:
    // One puzzle button, in button order.
    struct PuzzleEntry {
        int mGridSize = 0;
        std::wstring mName;  // the puzzle record's name
        WeakHandle<ButtonWidget> mButton;
        // The small picture; for a locked puzzle the locked frame.
        WeakHandle<DynamicWidget> mPreview;
        int mBestSeconds = -1;  // best time; -1: not completed
        bool mLocked = false;
        WeakHandle<AnimationWidget> mLook;  // the hover animation on the button
    };

    // `justCompleted`: the puzzle just won for the first time, -1 from the
    // set's loading screen, -2 after a lost puzzle. `useDefaultTransition`:
    // the application's transition rather than "puzzle_select_transition".
    PuzzleSelectMenu(const std::wstring& gameName, int mode, int set, int justCompleted, bool useDefaultTransition);
    ~PuzzleSelectMenu() override;

    static void RegisterScriptCommands(ScriptCommandRegistry& registry);
    // "puzzle-button", "create-preview", "set-puzzle-images", "puzzle-loading-done".
    ScriptStep RunCommand(const std::wstring& name);

    // "world_map", "display_preview", "complete_star", "hint_star", "mistake_star".
    void DoAction(const std::wstring& action, const std::wstring& parameter, int object) override;
    // "transition_complete", "puzzle_animation_complete", "bring_puzzle_forward".
    void AnimationMessage(int id, const std::wstring& message) override;
    Menu* CreateTransition() override;
    void ButtonDepress(int id) override;
    void ButtonMouseEnter(int id) override;
    void ButtonMouseLeave(int id) override;

    // `previewScale` enlarges the preview (frame and cells).
    void AddPuzzleButton(int id, int x, int y, int previewX, int previewY, float previewScale = 1.0f);
    void ShowPuzzleInfo(int index);
    void RecordNewCompletion();
    void SetCurrentSet(int set);
    void RebuildPuzzleList();
    void PuzzleLoadingDone();

    const std::vector<PuzzleEntry>& GetEntries() const { return mEntries; }
    int GetShownPuzzle() const { return mShownPuzzle; }
    int GetUnlockedCount() const { return mUnlockedCount; }
    int GetCompletedSet() const { return mCompletedSet; }
    int GetHighestCompleted() const { return mHighestCompleted; }
    int GetFirstOpen() const { return mFirstOpen; }
    TextLabel* GetTopLabel() const;
    TextLabel* GetBottomLabel() const;
    AnimationWidget* GetFlashWidget() const { return mFlashWidget.Get(); }
    AnimationWidget* GetStarWidget() const { return mStarWidget.Get(); }

private:
    // "story" or "bonus" + `suffix` + the game's name.
    std::wstring ScriptName(const wchar_t* suffix) const;
    int FindEntry(int buttonId) const;
    void PlayButtonLook(PuzzleEntry& entry, const std::wstring& animation);
    void ShowStarText(const std::wstring& text);
    std::wstring SetName() const;
    // Looked up afresh: the profile's vectors may have been replaced.
    const SetProgress* Progress() const;
    void CreatePreview();
    void SetPuzzleImages();

    std::wstring mGameName;
    int mMode = 0;
    int mSet = 0;
    int mShownPuzzle = -1;
    int mUnlockedCount = 0;
    int mJustCompleted = -1;
    int mCompletedSet = -1;
    int mHighestCompleted = 0;
    int mFirstOpen = 0;
    bool mUseDefaultTransition = false;
    std::vector<PuzzleEntry> mEntries;
    WeakHandle<AnimationWidget> mFlashWidget;
    WeakHandle<TextLabel> mTopLabel;
    WeakHandle<TextLabel> mBottomLabel;
    WeakHandle<AnimationWidget> mPreview;
    WeakHandle<AnimationWidget> mStarWidget;
    // The just-completed puzzle's button, brought forward on "bring_puzzle_forward".
    WeakHandle<ButtonWidget> mForwardSlot;
    std::wstring mIncompleteImage = L"ui_Puzzle_Incomplete";
    std::wstring mCompleteImage = L"ui_Puzzle_Complete";
    std::wstring mCurrentImage = L"ui_Puzzle_Current";
    std::wstring mFlashImage;
};
