#pragma once
#include "puzzle/PlayTypes.h"

class PuzzleModel;

// One released line: from the press cell to the end cell along a row or a
// column, one step at a time, with the action the press chose.
struct LineMove {
    int mPressX = 0, mPressY = 0;
    int mEndX = 0, mEndY = 0;
    int mStepX = 0, mStepY = 0;
    CellAction mAction = CellAction::None;
};

// The rules a board adds to the ordinary ones (the tutorial names the cells
// the player must act on next). The model consults its policy at fixed
// points, in a fixed order, so a policy may keep its own state as it is asked.
// The default is the ordinary game.
class PlayPolicy {
public:
    virtual ~PlayPolicy() = default;

    // Whether `wanted` may act on the cell while `current` is the line's
    // action; asked before every cell action, a reveal first, then a mark.
    virtual bool MayActOnCell(const PuzzleModel& /*model*/, int /*x*/, int /*y*/, CellAction current,
                              CellAction wanted) {
        return SharesAction(current, wanted);
    }
    // Once per released line, before any of its cells.
    virtual void CheckLine(const PuzzleModel& /*model*/, const LineMove& /*line*/) {}
    // Once per released line, after all of its cells.
    virtual void LineDone(const PuzzleModel& /*model*/) {}

    // The ordinary game, shared by every model without a policy of its own.
    static PlayPolicy& Default();
};
