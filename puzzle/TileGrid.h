#pragma once
#include <cstdint>
#include <vector>

#include "puzzle/Grid.h"

struct PuzzleRecord;

// One run of tiles in a line and whether the play rules count it as found.
struct Clue {
    int32_t mLength = 0;
    uint8_t mSatisfied = 0;
};
using ClueLine = std::vector<Clue>;

// The board over a puzzle's solution layer (0 a hole, anything else a tile)
// with the run-length clues of every line: column clues top to bottom, row
// clues left to right. A line without tiles has no clue at all.
class TileGrid : public Grid {
public:
    explicit TileGrid(const PuzzleRecord& record);
    ~TileGrid() override;

    // Recomputes both clue tables from the layer (all unsatisfied).
    void BuildClues();
    // The runs of one layer's lines (the same rule, for checks and tools).
    static void ComputeClues(const PuzzleLayer& layer, std::vector<ClueLine>& columns,
                             std::vector<ClueLine>& rows);
    // The layer as the board keeps it: non-zero values made 1, so only a
    // hint's own mark (bit 1) can make a cell look claimed.
    static PuzzleLayer NormaliseSolution(const PuzzleLayer& layer);

    std::vector<ClueLine> mColumnClues;  // [x]
    std::vector<ClueLine> mRowClues;     // [y]
};
