#pragma once
#include <string>
#include <vector>

#include "core/WeakHandle.h"
#include "puzzle/PlayMeters.h"
#include "puzzle/PlayerProgress.h"
#include "puzzle/PlayTileGrid.h"
#include "widgets/Menu.h"

class ButtonWidget;
class ScriptCommandRegistry;
class ImageSurface;
class TextLabel;
class PlayArtGrid;

// What a finished puzzle hands to the screen that follows it.
struct PlayResult {
    PuzzleRef mPuzzle;
    int mSeconds = 0;
    int mMistakes = 0;
    int mHintsUsed = 0;
    WinRecord mWin;  // solved only: what the win changed in the player's progress
    PlayArtGrid* mArtGrid = nullptr;  // solved only; owned by the play screen
};

// The screen one puzzle is played on. Its set's opening animation runs
// first; then "play_puzzle_menu_<device>" builds the board and the heads-up
// display through the screen's commands ("finish-init", "show-grid",
// "init-grid-holes", "show-numbers", "wait-for-numbers", ...). While playing,
// the clock runs (only when the screen is not paused, so not under the
// options) and every step tests whether the puzzle is solved or lost.
//
// The screens that follow (level complete, level fail, options) and the way
// back to the main menu are hooks a game screen overrides; here they are
// logged.
class PlayPuzzleMenu : public Menu, public PlayScreenLink, public HintReceiver {
public:
    enum class State : int { Opening = 0, Building = 1, Playing = 2, Revealing = 3, Failing = 4, Finished = 5 };
    static constexpr int kTimerStep = 100;  // the label changes once a second

    explicit PlayPuzzleMenu(const PuzzleRef& puzzle);
    // The screen's script commands; the game registers them before its
    // animations load (a static initialiser could be dropped by the linker).
    static void RegisterScriptCommands(ScriptCommandRegistry& registry);
    ~PlayPuzzleMenu() override;

    // The opening animation of a puzzle's set, "default_play" when the set
    // is not in the set catalogue.
    static std::wstring OpeningAnimation(const PuzzleRef& puzzle);
    // "puzzle_time" with the minutes and seconds of `elapsed` update steps.
    static std::wstring PlayTimeText(int elapsed);

    // --- Menu ------------------------------------------------------------------------
    void Update() override;
    int StepsUntilDue() override;
    void Draw(Graphics* g) override;
    void GotFocus() override;
    void KeyChar(wchar_t character) override;
    void MouseDown(int x, int y, int clickCount) override;
    void ScriptEnded() override;
    void DoAction(const std::wstring& action, const std::wstring& parameter, int object) override;
    void ButtonPress(int id) override;
    void AddedToManager(WidgetManager* manager) override;

    // --- PlayScreenLink / HintReceiver ---------------------------------------------------
    void DisableControls() override;
    void ToggleTool() override;
    WidgetContainer* GetEffectLayer() override { return mEffectLayer; }
    void FailPuzzle() override;
    void GiveHint(int sourceX, int sourceY, int cellCount) override;

    // --- Play ------------------------------------------------------------------------------
    void SelectTool(int index);
    void CompletePuzzle();
    bool IsPuzzleFailed();
    // Gives back the still picture the HUD became when play ended (a texture
    // of the screen's size) once something covers it for good: the results'
    // panel after the reveal.
    void ReleaseHudPicture();
    // Script commands (the screen's own; taken only while it builds the board).
    ScriptStep RunPlayCommand(const std::wstring& name);

    // --- What tests and the following screens read -------------------------------------------
    State GetState() const { return mState; }
    int GetElapsed() const { return mElapsed; }
    void SetElapsed(int elapsed) { mElapsed = elapsed; }
    PlayTileGrid* GetGrid() const { return mGrid.Get(); }
    PlayArtGrid* GetArtGrid() const;
    HintMeter* GetHintMeter() const { return mHintMeter.Get(); }
    MistakeMeter* GetMistakeMeter() const { return mMistakeMeter.Get(); }
    std::wstring GetTimerText() const;
    int GetToolCount() const { return static_cast<int>(mTools.size()); }
    int GetCurrentTool() const { return mCurrentTool; }
    ButtonWidget* GetToolButton(int index) const;
    std::wstring GetToolLabel(int index) const;
    const PuzzleRef& GetPuzzle() const { return mPuzzle; }

protected:
    // The screens that follow; a game screen opens them.
    virtual void OpenLevelComplete(const PlayResult& result);
    virtual void OpenLevelFail(const PlayResult& result);
    virtual void OpenOptions();
    // The address names no puzzle: leave for the main menu.
    virtual void ReturnToMainMenu();

private:
    struct ToolRecord {
        WeakHandle<ButtonWidget> mButton;
        WeakHandle<TextLabel> mLabel;
        int mFrameX = 0;
        int mFrameY = 0;
        std::wstring mCursor;
    };

    void FinishInit(int x, int y, int mX, int mY);
    ToolRecord MakeTool(const std::wstring& image, const std::wstring& prefix, const std::wstring& textPrefix,
                        const std::wstring& labelKey, const std::wstring& cursor, int mX, int mY);
    void PlaceGrid(PlayTileGrid* grid);
    void AddHud(Widget* widget);
    std::vector<Widget*> HudWidgets() const;
    // A screen-sized picture of the widgets as they draw now (each at its place).
    ImageSurface* Snapshot(const std::vector<Widget*>& widgets);
    // The widgets become one still picture: they leave the screen. Returns
    // the picture (null for no widgets).
    Widget* Freeze(const std::vector<Widget*>& widgets);
    void FollowGridTool();
    PlayResult MakeResult(int seconds) const;
    const PuzzleRecord* Record() const { return PlayTileGrid::FindPuzzle(mPuzzle); }

    PuzzleRef mPuzzle;
    DynamicWidget* mEffectLayer = nullptr;
    State mState = State::Opening;
    WeakHandle<PlayTileGrid> mGrid;
    WeakHandle<PlayArtGrid> mArtGrid;
    WeakHandle<TextLabel> mTimerLabel;
    WeakHandle<HintMeter> mHintMeter;
    WeakHandle<MistakeMeter> mMistakeMeter;
    int mElapsed = 0;
    int mHintsUsed = 0;  // read from the hint meter when play ends
    int mSize = 0;
    std::vector<ToolRecord> mTools;
    int mCurrentTool = 0;
    bool mShownTool = true;
    WinRecord mWin;
    bool mFirstSet = false;
    bool mFailedCached = false;
    bool mFailShown = false;
    bool mValid = false;
    std::vector<WeakHandle<Widget>> mHud;
    WeakHandle<Widget> mHudPicture;
};
