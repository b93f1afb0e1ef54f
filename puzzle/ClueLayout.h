#pragma once
#include "core/Geometry.h"

// Where a board draws its clue numbers: in the clue room, offset-x wide left
// of the cells and offset-y high above them, each line has `count` slots of
// min(tile, offset / count) pixels, count = min(the slot limit, ceil(N / 2)),
// at least 1. Clue k of a line of L clues sits L - k slots (and 2 pixels)
// before the cells, so the last clue is next to them. Positions are the
// top-left corners of the number cels, in board coordinates ((0, 0) the
// top-left corner of the cells).
class ClueLayout {
public:
    ClueLayout() = default;
    ClueLayout(int size, int tile, int offsetX, int offsetY, int slotLimit, int celWidth, int celHeight);

    int GetSlotWidth() const { return mSlotWidth; }
    int GetSlotHeight() const { return mSlotHeight; }
    Point ColumnClue(int line, int index, int count) const;
    Point RowClue(int line, int index, int count) const;
    // Whether a line with the most clues its size allows (ceil(N / 2)) is
    // drawn inside the room, its numbers clear of each other.
    bool FitsTheMostClues() const;

private:
    int mSize = 0, mTile = 0, mOffsetX = 0, mOffsetY = 0;
    int mCelWidth = 0, mCelHeight = 0;
    int mSlotWidth = 0, mSlotHeight = 0;
};
