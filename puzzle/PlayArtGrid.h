#pragma once
#include <vector>

#include "puzzle/ArtGrid.h"

class PlayTileGrid;

// The picture of a solved puzzle laid over its board and revealed cell by
// cell in a shuffled order, each cell fading in over "art_reveal_speed"
// updates; when the last has appeared the board's tiles fade away.
class PlayArtGrid : public ArtGrid {
public:
    PlayArtGrid(const PuzzleRecord& record, PlayTileGrid* tileGrid);

    void Update() override;
    int StepsUntilDue() override;
    void Draw(Graphics* g) override;

    // False while the picture is still appearing; then fades the board's
    // tiles (once, however often it is asked) and answers true.
    bool StartReveal();

    int GetFrameCounter() const { return mFrameCounter; }
    int GetEndFrame() const { return mEndFrame; }
    int GetRevealTime(int x, int y) const;

private:
    int mFrameCounter = 0;
    int mEndFrame = 0;
    int mRevealSpeed = 1;
    WeakHandle<Widget> mTileGrid;
    std::vector<std::vector<int>> mRevealTimes;  // [x][y]
    bool mTilesFaded = false;
};
