#pragma once
#include "widgets/DynamicWidget.h"

struct PuzzleRecord;

// The small picture on a completed puzzle's button: the puzzle's picture
// drawn once into a 46 x 46 surface of its own (3 pixels of margin, 40 for
// the cells). A new one (the puzzle just won) sparkles ("new_puzzle_sparkles").
class PuzzleIcon : public DynamicWidget {
public:
    static constexpr int kSize = 46;
    static constexpr int kMargin = 3;
    static constexpr double kPictureSize = 40.0;

    PuzzleIcon(float centreX, float centreY, const PuzzleRecord& record, bool isNew);

    bool IsNew() const { return mNew; }

private:
    bool mNew = false;
};
