#include "puzzle/TileGrid.h"

#include "puzzle/PuzzleRecord.h"

TileGrid::TileGrid(const PuzzleRecord& record) : Grid(NormaliseSolution(record.mSolution.ToColumns())) {
    BuildClues();
}

TileGrid::~TileGrid() {
    mColumnClues.clear();
    mRowClues.clear();
}

void TileGrid::BuildClues() { ComputeClues(mLayer, mColumnClues, mRowClues); }

PuzzleLayer TileGrid::NormaliseSolution(const PuzzleLayer& layer) {
    PuzzleLayer out = layer;
    for (auto& column : out)
        for (int32_t& value : column) value = value != 0 ? 1 : 0;
    return out;
}
