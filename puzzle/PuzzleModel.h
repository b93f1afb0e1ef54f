#pragma once
#include <cstdint>
#include <vector>

#include "core/Geometry.h"
#include "puzzle/Clues.h"
#include "puzzle/PlayPolicy.h"
#include "puzzle/PlayTypes.h"

// What one cell action did, in the order the cells were acted on. A board
// starts the cell's effects from it: the n-th outcome of a line plays n steps
// of the line delay late.
struct CellOutcome {
    int mX = 0, mY = 0;
    CellResult mResult = CellResult::Solid;
    bool mMistake = false;    // a mistake was counted
    bool mRevealed = false;   // a tile was counted as revealed
    int mMistakeNumber = -1;  // which mistake it was (0 the first), -1 none
};
using CellOutcomes = std::vector<CellOutcome>;

// The rules of one puzzle being played, apart from any widget: the solution
// (with the cells a hint has claimed), every cell's state, the clues and
// their satisfied flags, the counters and the end of play. A move is a
// released line; applying it returns what happened to each cell, and the
// board turns that into animations and effects.
//
// Play ends for good on the last tile or the last allowed mistake: no line
// is applied afterwards and a hint that lands reveals nothing. An empty
// model (size 0) applies nothing.
class PuzzleModel {
public:
    PuzzleModel() = default;
    // `solution`: N columns of N values (non-zero a tile).
    PuzzleModel(const CellColumns& solution, int mistakesAllowed);

    // Null restores the ordinary game. The policy must outlive the model's use.
    void SetPolicy(PlayPolicy* policy) { mPolicy = policy ? policy : &PlayPolicy::Default(); }

    int GetSize() const { return static_cast<int>(mSolution.size()); }
    bool InBoard(int x, int y) const;
    CellState GetCell(int x, int y) const;
    bool IsDone(int x, int y) const { return GetCell(x, y) != CellState::Open; }
    bool IsTile(int x, int y) const;
    // A tile that a hint has chosen and whose effect has not landed yet (or
    // has landed).
    bool IsClaimed(int x, int y) const;

    int GetRemainingTiles() const { return mRemaining; }
    int GetMistakesMade() const { return mMistakesMade; }
    int GetMistakesAllowed() const { return mMistakesAllowed; }
    PlayEnd GetEnd() const { return mEnd; }
    bool IsEnded() const { return mEnd != PlayEnd::Playing; }
    // Whether a press may start a line.
    bool AcceptsMoves() const { return !IsEnded() && mMistakesMade < mMistakesAllowed && GetSize() > 0; }

    const std::vector<ClueLine>& GetClues(LineKind kind) const {
        return kind == LineKind::Column ? mColumnClues : mRowClues;
    }

    // The step along a line from `press` to `end`: along the row when the
    // columns differ, else along the column; (0, 0) for one cell.
    static Point LineStep(const Point& press, const Point& end);
    // Applies a released line: the policy checks it, then every cell from the
    // press cell to the end cell is acted on in order. Cells after the end
    // of play are left alone. Nothing happens when the model accepts no
    // moves, the action is None or a cell lies outside the board.
    CellOutcomes ApplyLine(const Point& press, const Point& end, CellAction action);
    // Every line without clues becomes marked holes (no mistakes).
    CellOutcomes InitHoles();
    // Claims up to `count` open unclaimed tiles in random order (the shuffle
    // of the 15-bit generator) and returns them in that order.
    std::vector<Point> ChooseHintCells(int count);
    // A hint's effect has landed: the claimed cell is revealed as by a single
    // reveal, unless it is done already or play has ended.
    CellOutcomes LandHint(const Point& cell);
    // Recomputes the satisfied flags of one line from both of its ends.
    void UpdateSatisfied(LineKind kind, int line);

private:
    // Acts on one cell with the current action; false when nothing changed.
    bool ActOnCell(int x, int y, CellOutcome& out);
    void CountTileRevealed(CellOutcome& out);
    void CountMistake(CellOutcome& out);
    void EndPlay(PlayEnd end);
    CellState& Cell(int x, int y) { return mCells[static_cast<size_t>(x)][static_cast<size_t>(y)]; }

    CellColumns mSolution;  // [x][y]: 0 hole, 1 tile, 3 a tile a hint has claimed
    std::vector<std::vector<CellState>> mCells;
    std::vector<ClueLine> mColumnClues;  // [x]
    std::vector<ClueLine> mRowClues;     // [y]
    int32_t mRemaining = 0;
    int32_t mMistakesMade = 0;
    int32_t mMistakesAllowed = 0;
    PlayEnd mEnd = PlayEnd::Playing;
    CellAction mCurrent = CellAction::None;  // while a line is applied
    PlayPolicy* mPolicy = &PlayPolicy::Default();
};
