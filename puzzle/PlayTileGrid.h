#pragma once
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "core/Color.h"
#include "core/Geometry.h"
#include "core/WeakHandle.h"
#include "puzzle/PlayTileGridLinks.h"
#include "puzzle/TileGrid.h"

class Graphics;
class Image;
class TrailWidget;

// The address of one puzzle in gPuzzleTable.
struct PuzzleRef {
    std::wstring mGame;
    int mMode = 0;
    int mSet = 0;
    int mPuzzle = 0;
};

// The board the player plays on. Mouse input becomes reveal and mark actions
// along a straight line of cells, applied on release; each cell is judged
// against the solution, mistakes and remaining tiles are counted, the clue
// satisfied flags kept current, effects sent to the meters, and hint cells
// revealed as their effects land. The play screen reads the counters to end
// play. Drawing (clue numbers, highlights, cell and trail animations) is in
// PlayTileGridDraw.cpp.
//
// Play ends for good on the last tile or the last allowed mistake: from then
// on no line is applied and hint effects that still land reveal nothing.
class PlayTileGrid : public TileGrid {
public:
    static constexpr int kLineDelayStep = 11;

    explicit PlayTileGrid(const PuzzleRef& puzzle);
    ~PlayTileGrid() override;

    // The catalogue record of a reference, null when there is none.
    static const PuzzleRecord* FindPuzzle(const PuzzleRef& puzzle);
    // A board for the puzzle, or null (with the reason) when its data cannot
    // make one: no such puzzle, a bad layer, missing images.
    static PlayTileGrid* Create(const PuzzleRef& puzzle, std::string* error);

    // --- Widget ------------------------------------------------------------------------
    void Update() override;
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
    // "init-grid-holes".
    int HandleCommand(const AnimationCommand& command) override;

    // --- Hooks of boards with their own rules (the tutorial) ----------------------------
    virtual void BeginPlay() {}
    // Whether the current action allows `action` on the cell. Asked first by
    // every cell action, in the order ActOnCell asks.
    virtual bool MayActOnCell(int x, int y, int action);
    // Once per released line, before any of its cells.
    virtual void IncorrectAction(int pressX, int pressY, int endX, int endY, int stepX, int stepY) {}
    virtual void ActionDone() {}
    // kind 0 column clues, 1 row clues.
    virtual void DrawClueNumber(Graphics* g, int x, int y, int kind, int line, int index,
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
    void FadeNumbers() { mNumbersFading = true; }
    void UpdateCursorImage();
    // Applies the current action to one cell; `delay` moves on by 11 when
    // the cell changed.
    void ActOnCell(int x, int y, int& delay);
    // Recomputes the satisfied flags of one line (kind 0 column, 1 row).
    void UpdateSatisfied(int kind, int line);

    // --- What the play screen reads -------------------------------------------------------
    int GetRemainingTiles() const { return mRemaining; }
    int GetRunningCellAnimations() const { return static_cast<int>(mCellAnimations.size()); }
    int GetMistakesMade() const { return mMistakesMade; }
    int GetMistakesAllowed() const { return mMistakesAllowed; }
    int GetCurrentAction() const { return mAction; }
    int GetTrailsInFlight() const { return mTrailsInFlight; }
    int GetMistakeTrailsInFlight() const { return static_cast<int>(mMistakeTrails.size()); }
    bool IsEnded() const { return mEnded; }
    bool IsCellDone(int x, int y) const;
    Point GetPressCell() const { return Point(mPressX, mPressY); }
    Point GetEndCell() const { return Point(mEndX, mEndY); }
    float GetNumberAlpha() const { return mNumberAlpha; }
    // The "GridNumbers" cel a clue is drawn with, -1 when it cannot be drawn
    // (no sheet, a value beyond 25 or beyond the sheet).
    int ClueNumberCel(const Clue& clue, bool highlighted) const;
    // Where clue `index` of a line of `count` clues is drawn (board coordinates).
    Point ColumnCluePosition(int line, int index, int count) const;
    Point RowCluePosition(int line, int index, int count) const;
    // Whether the pointer's cell is highlighted (and the overlay drawn).
    bool HasHighlightedCell() const;
    AnimationWidget* GetCellWidget(int x, int y) const;

    // --- Fields ---------------------------------------------------------------------------
    std::vector<WeakHandle<Widget>> mCursors;  // 0 while revealing, 1 while marking
    int32_t mTool = 0;                         // 0 the tile tool, else the mark tool
    int32_t mAction = 0;                       // 0 none, 1 reveal, 2 mark
    int32_t mRemaining = 0;
    bool* mToggleMode = nullptr;               // the player's "toggle-mode"
    bool mRightButtonOff = false;
    bool mMouseInside = false;
    int32_t mPressX = 0, mPressY = 0;
    int32_t mEndX = 0, mEndY = 0;
    Image* mTileHighlight = nullptr;
    Image* mMarkHighlight = nullptr;
    Image* mCursorHighlight = nullptr;
    std::vector<std::vector<int32_t>> mDone;  // [x][y], 1 done
    std::vector<std::vector<WeakHandle<AnimationWidget>>> mCellWidgets;
    std::set<int> mCellAnimations;   // widget ids of cell animations still running
    std::set<int> mIntroAnimations;  // ... and of clue-number intros
    ListenerRef<HintMeterLink> mHintMeter;
    ListenerRef<MistakeMeterLink> mMistakeMeter;
    int32_t mMistakesMade = 0;
    int32_t mMistakesAllowed = 0;
    int32_t mTrailsInFlight = 0;  // sparkling effects in flight
    int32_t mMaxTrails = 0;
    std::set<int> mHintMeterTrails;
    std::set<int> mMistakeTrails;
    std::set<int> mSparklingTrails;     // the trails counted in mTrailsInFlight
    std::map<int, Point> mHintQueue;    // hint effect -> the cell it reveals
    bool mNumbersFading = false;
    float mNumberAlpha = 0.0f;
    Image* mNumbers = nullptr;  // "GridNumbers"
    std::vector<WeakHandle<AnimationWidget>> mIntroWidgets;
    int32_t mSlotWidth = 0;
    int32_t mSlotHeight = 0;
    Color mHighlightColor;
    // The explosion of a lost puzzle.
    WeakHandle<AnimationWidget> mExplosion;
    bool mExploding = false;
    int32_t mRestX = 0, mRestY = 0;
    double mVelocityX = 0.0, mVelocityY = 0.0, mSpringX = 0.0, mSpringY = 0.0, mDampening = 0.0;
    bool mEnded = false;

protected:
    void OnTileRevealed();
    void OnMistake();
    void EndPlay();
    void UpdateDragLine(int x, int y);
    void RepaintIfCellChanged(int oldX, int oldY);
    bool InBoard(int x, int y) const;
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
    int NumberStyleRow(int style) const;
    int NumberColumns() const;

    bool mBeingDestroyed = false;
};
