#pragma once
#include <vector>

#include "puzzle/Clues.h"
#include "puzzle/Grid.h"
#include "puzzle/PlayTypes.h"

struct PuzzleRecord;

// The board over a puzzle's solution layer (0 a hole, anything else a tile)
// with the run-length clues of every line: column clues top to bottom, row
// clues left to right. A line without tiles has no clue at all.
class TileGrid : public Grid {
public:
    explicit TileGrid(const PuzzleRecord& record);
    ~TileGrid() override;

    // Recomputes both clue tables from the layer (all unsatisfied).
    void BuildClues();
    // The layer as the board keeps it: non-zero values made 1, so only a
    // hint's own mark (bit 1) can make a cell look claimed.
    static PuzzleLayer NormaliseSolution(const PuzzleLayer& layer);

    // The clues of one table with their satisfied flags. A board that plays
    // gives those of its rules.
    virtual const std::vector<ClueLine>& GetClues(LineKind kind) const {
        return kind == LineKind::Column ? mColumnClues : mRowClues;
    }

protected:
    std::vector<ClueLine> mColumnClues;  // [x]
    std::vector<ClueLine> mRowClues;     // [y]
};
