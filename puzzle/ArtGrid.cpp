#include "puzzle/ArtGrid.h"

ArtGrid::ArtGrid(const PuzzleRecord& record) : Grid(record.mPicture.ToColumns()) {}

ArtGrid::~ArtGrid() = default;
