#pragma once
#include <cstdint>
#include <vector>

// A puzzle layer as the boards and the play rules take it: N columns of N
// values, indexed [x][y] with x the column from the left and y the row from
// the top. In a solution 0 is a hole and anything else a tile.
using CellColumns = std::vector<std::vector<int32_t>>;

// One run of tiles in a line and whether the play rules count it as found.
struct Clue {
    int32_t mLength = 0;
    uint8_t mSatisfied = 0;
};
using ClueLine = std::vector<Clue>;

// The runs of every line of a layer: columns top to bottom, rows left to
// right; a line without tiles has no clue at all. All start unsatisfied.
void ComputeClues(const CellColumns& layer, std::vector<ClueLine>& columns, std::vector<ClueLine>& rows);
