#pragma once
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "core/Color.h"
#include "core/Geometry.h"
#include "core/WeakHandle.h"
#include "puzzle/ClueLayout.h"
#include "puzzle/PlayTileGridLinks.h"
#include "puzzle/PuzzleModel.h"
#include "puzzle/TileGrid.h"

class Graphics;
class ScriptCommandRegistry;
class Image;
class TrailWidget;

// The address of one puzzle in gPuzzleTable.
struct PuzzleRef {
    std::wstring mGame;
    int mMode = 0;
    int mSet = 0;
    int mPuzzle = 0;
};

// Which of the play screen's two cursor objects the pointer shows over the
// board: the first while revealing, the second while marking.
enum class CursorId : int { Reveal = 0, Mark = 1 };

// The board the player plays on: the view of a PuzzleModel. Pointer input
// becomes lines of cells (press, drag along a row or column, release), each
// released line a move of the model; the outcomes it returns become the
// cell animations, the effects that fly to the meters and, at the end of
// play, the disabled board and controls. Hint cells are revealed as their
// effects land. Drawing (clue numbers, highlights, cell and trail
// animations) is in PlayTileGridDraw.cpp.
//
// Boards with rules of their own (the tutorial) give the model a PlayPolicy.
class PlayTileGrid : public TileGrid {
public:
    static constexpr int kLineDelayStep = 11;

    explicit PlayTileGrid(const PuzzleRef& puzzle);
    // The board's script commands ("init-grid-holes"), registered by the game.
    static void RegisterScriptCommands(ScriptCommandRegistry& registry);
    ~PlayTileGrid() override;

    // The catalogue record of a reference, null when there is none.
    static const PuzzleRecord* FindPuzzle(const PuzzleRef& puzzle);
    // A board for the puzzle, or null (with the reason) when its data cannot
    // make one: no such puzzle, a bad layer, missing images. `make` builds
    // boards of a derived kind (the tutorial's).
    using Maker = PlayTileGrid* (*)(const PuzzleRef& puzzle);
    static PlayTileGrid* Create(const PuzzleRef& puzzle, std::string* error, Maker make = nullptr);

    // --- Widget ------------------------------------------------------------------------
    void Update() override;
    int StepsUntilDue() override;
    void UpdateF(float elapsedSteps) override;
    void Draw(Graphics* g) override;
    void SetDisabled(bool disabled);
    void DrawOverlay(Graphics* g) override;
    void MouseEnter() override;
    void MouseLeave() override;
    void MouseMove(int x, int y) override;
    void MouseDown(int x, int y, int clickCount) override;
    void MouseUpAt(int x, int y, int clickCount) override;
    void MouseDrag(int x, int y) override;
    void RemovedFromManager(WidgetManager* manager) override;

    // --- Boards with their own rules (the tutorial) ----------------------------------------
    virtual void BeginPlay() {}
    // The rules the model consults on every line and cell; null restores the
    // ordinary game. The policy must outlive the board.
    void SetPolicy(PlayPolicy* policy) { mModel.SetPolicy(policy); }
    virtual void DrawClueNumber(Graphics* g, int x, int y, LineKind kind, int line, int index,
                                bool highlighted);

    // --- AnimationListener ------------------------------------------------------------
    void AnimationComplete(int id) override;
    void AnimationPersist(int id) override;
    void AnimationMessage(int id, const std::wstring& message) override;

    // --- Operations ---------------------------------------------------------------------
    void SetMeters(HintMeterLink* hintMeter, MistakeMeterLink* mistakeMeter);
    // Every line without clues starts as marked holes: no mistakes, no effects.
    void InitHoles();
    // Claims up to `count` random unrevealed tiles and sends a hint effect to
    // each from (sourceX, sourceY), in the parent's coordinates.
    void GiveHint(int sourceX, int sourceY, int count);
    // The clue-number intro ("show-numbers"); input starts when it is over.
    void StartNumbersIntro();
    // The clue numbers fade out; `withRoom` (a solved board) fades the clue
    // room's paper with them, so the picture stands alone on the desk.
    void FadeNumbers(bool withRoom = false) {
        mNumbersFading = true;
        mRoomFading = withRoom;
    }
    // Play is lost: the mistake meter bursts and its "explode" throws the
    // tiles off the board (at once when the meter has no burst).
    void ExplodeMistakeMeter();
    bool IsExploding() const { return mExploding; }
    // The picture is complete: every cell's tile and mark fade ("fade_tile").
    void FadeTilesForArt();
    void UpdateCursorImage();

    // --- What the play screen sets ---------------------------------------------------------
    // The hidden cursor objects shown while the pointer is over the board.
    void SetCursors(Widget* reveal, Widget* mark);
    void SetTool(Tool tool);
    Tool GetTool() const { return mTool; }
    // While set, the right button starts nothing.
    void SetRightButtonOff(bool off) { mRightButtonOff = off; }

    // --- What the play screen reads -------------------------------------------------------
    const PuzzleModel& GetModel() const { return mModel; }
    const std::vector<ClueLine>& GetClues(LineKind kind) const override { return mModel.GetClues(kind); }
    int GetRemainingTiles() const { return mModel.GetRemainingTiles(); }
    int GetRunningCellAnimations() const { return static_cast<int>(mCellAnimations.size()); }
    int GetMistakesMade() const { return mModel.GetMistakesMade(); }
    int GetMistakesAllowed() const { return mModel.GetMistakesAllowed(); }
    CellAction GetCurrentAction() const { return mAction; }
    int GetTrailsInFlight() const { return mTrailsInFlight; }
    int GetMistakeTrailsInFlight() const { return static_cast<int>(mMistakeTrails.size()); }
    bool IsEnded() const { return mModel.IsEnded(); }
    bool IsCellDone(int x, int y) const { return mModel.IsDone(x, y); }
    bool IsMistakeNoticeWaiting() const { return mMistakeNoticeWaiting; }
    Point GetPressCell() const { return Point(mPressX, mPressY); }
    Point GetEndCell() const { return Point(mEndX, mEndY); }
    float GetNumberAlpha() const { return mNumberAlpha; }
    // The cel of the size's numbers ("G<N>Numbers_<device>") a clue is drawn
    // with, -1 when it cannot be drawn (no sheet, a value beyond the sheet).
    int ClueNumberCel(const Clue& clue, bool highlighted) const;
    // Where the clue numbers are drawn.
    const ClueLayout& GetClueLayout() const { return mClueLayout; }
    // Whether the pointer's cell is highlighted (and the overlay drawn).
    bool HasHighlightedCell() const;
    AnimationWidget* GetCellWidget(int x, int y) const;

protected:
    Image* GetTileHighlight() const { return mTileHighlight; }
    Image* GetMarkHighlight() const { return mMarkHighlight; }

private:
    // The animations and effects of what the model did. A line's cells play
    // one delay step apart and send their effects to the meters; hint
    // landings and the holes of empty lines play at once and send none.
    enum class OutcomeSource { Line, Hint, EmptyLine };
    void PlayOutcomes(const CellOutcomes& outcomes, OutcomeSource source);
    // The first mistake explains the rule, once the player pauses
    // (PlayerPausesForNotice): opened at the mistake's release it took the
    // clicks a fast player made next.
    void ShowFirstMistakeNotice();
    void EndPlay();
    void UpdateDragLine(int x, int y);
    void RepaintIfCellChanged(int oldX, int oldY);
    // Marks the cell's row and column (board and clue room) to be drawn again.
    void MarkCellLines(int x, int y);
    // When what the highlight shows changed since it was last marked, marks
    // the lines it stood on and stands on now.
    void MarkHighlightChange();
    // The pointer's row and column in the clue room.
    void DrawClueWash(Graphics* g);
    void SetCellFromPoint(int x, int y);
    // The cell's centre in the parent's coordinates.
    Point CellCentreInParent(int x, int y) const;
    PlayScreenLink* GetScreen() const;

    // Drawing and effects (PlayTileGridDraw.cpp).
    void PlayCellAnimation(int x, int y, const std::wstring& name, int delay);
    void AddTrail(TrailWidget* trail, bool counted);
    void AddNumberIntro(int x, int y, int value);
    void FinishNumbersIntro();
    void ForgetTrackedAnimation(int id);
    void ReleaseTrail(int id);
    void LandHint(const Point& cell);
    int NumberColumns() const;
    void Explode();
    void StepShake(float delta);

    PuzzleModel mModel;
    WeakHandle<Widget> mCursors[2];  // by CursorId
    Tool mTool = Tool::Tile;
    CellAction mAction = CellAction::None;  // the line being held
    const bool* mToggleMode = nullptr;      // the player's "toggle-mode"
    bool mRightButtonOff = false;
    bool mMouseInside = false;
    int32_t mPressX = 0, mPressY = 0;
    int32_t mEndX = 0, mEndY = 0;
    Image* mTileHighlight = nullptr;
    Image* mMarkHighlight = nullptr;
    Image* mCursorHighlight = nullptr;
    std::vector<std::vector<WeakHandle<AnimationWidget>>> mCellWidgets;
    std::set<int> mCellAnimations;   // widget ids of cell animations still running
    std::set<int> mIntroAnimations;  // ... and of clue-number intros
    ListenerRef<HintMeterLink> mHintMeter;
    ListenerRef<MistakeMeterLink> mMistakeMeter;
    int32_t mTrailsInFlight = 0;  // sparkling effects in flight
    int32_t mMaxTrails = 0;
    std::set<int> mHintMeterTrails;
    std::set<int> mMistakeTrails;
    std::set<int> mSparklingTrails;   // the trails counted in mTrailsInFlight
    std::map<int, Point> mHintQueue;  // hint effect -> the cell it reveals
    bool mNumbersFading = false;
    bool mRoomFading = false;
    float mNumberAlpha = 0.0f;
    Image* mNumbers = nullptr;  // "G<N>Numbers_<device>", one row per NumberStyle
    std::vector<WeakHandle<AnimationWidget>> mIntroWidgets;
    ClueLayout mClueLayout;
    Color mHighlightColor;
    // The explosion of a lost puzzle.
    WeakHandle<AnimationWidget> mExplosion;
    bool mExploding = false;
    int32_t mRestX = 0, mRestY = 0;
    double mShakeVelocityX = 0.0, mShakeVelocityY = 0.0;
    double mSpringX = 0.0, mSpringY = 0.0, mDampening = 0.0;
    bool mExploded = false;
    bool mEndShown = false;  // the board and the controls were disabled for good
    bool mMistakeNoticeWaiting = false;
    bool mBeingDestroyed = false;
    // What the highlight showed when its lines were last marked.
    struct HighlightState {
        bool mShown = false;
        bool mDown = false;
        CellAction mAction = CellAction::None;
        int32_t mPressX = 0, mPressY = 0, mEndX = 0, mEndY = 0;
        bool operator==(const HighlightState&) const = default;
    };
    HighlightState mMarkedHighlight;
};
