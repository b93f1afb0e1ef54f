#pragma once
#include "puzzle/PuzzleRecord.h"
#include "widgets/ActiveWidget.h"

// A small preview of a board: the picture "SmallGrid<N>_<game>", cells
// inside its 3-pixel border. A missing picture or N = 0 gives a widget of
// no size that draws nothing.
class SmallGrid : public ActiveWidget {
public:
    static constexpr int kBorder = 3;

    explicit SmallGrid(int size, float x = 0.0f, float y = 0.0f);
    void Draw(Graphics* g) override;

    double GetCellSize() const { return mCellSize; }
    // Drawn `scale` times its picture's size (a larger preview), frame and
    // cells alike; the widget's size follows.
    void SetDrawScale(float scale);
    float GetDrawScale() const { return mDrawScale; }

protected:
    double mCellSize = 0.0;
    float mDrawScale = 1.0f;
};

// A finished puzzle's picture in a small frame (shown), or the empty small
// frame of one not yet solved.
class SmallArtGrid : public SmallGrid {
public:
    SmallArtGrid(const PuzzleLayer& picture, float x, float y, bool show);
    void Draw(Graphics* g) override;

private:
    PuzzleLayer mPicture;  // [x][y]; empty when not shown
    bool mDrawFrame = true;
};
