#pragma once
#include "puzzle/Grid.h"

struct PuzzleRecord;

// The board over a puzzle's picture layer (-1 no art, else a colour cel and
// shade); the reveal that shows it comes with the finished puzzle.
class ArtGrid : public Grid {
public:
    explicit ArtGrid(const PuzzleRecord& record);
    ~ArtGrid() override;
};
