#pragma once
#include <cstdint>
#include <string>

#include "puzzle/PuzzleRecord.h"
#include "widgets/AnimationWidget.h"

class Graphics;

// The base of every puzzle board: an N x N layer of a puzzle drawn over the
// size's background picture, which also holds the room for the clue numbers
// above and left of the cells. The widget covers the cells only (N x tile
// square); its background is drawn shifted up and left by the size's offsets,
// so (0, 0) is the top-left corner of cell (0, 0) and the clue room lies at
// negative coordinates.
//
// A layer that is not square with 1 <= N <= 25, or a missing background or
// tile image, makes the board unusable (N = 0, GetDataError() says why): the
// screen that made it must refuse it. CheckBoard tells before building.
class Grid : public AnimationWidget {
public:
    explicit Grid(const PuzzleLayer& layer);
    ~Grid() override;

    void Draw(Graphics* g) override;

    // Whether a layer can make a board, and the images of its size exist.
    static bool ValidateLayer(const PuzzleLayer& layer, std::string* error);
    static bool CheckBoard(const PuzzleLayer& layer, std::string* error);
    // The layout device of the current player ("ipad"); empty without one.
    static std::wstring DeviceName();
    static std::wstring BackgroundImageName(int size);
    static std::wstring TileImageName(int size);
    // The clue numbers of a size: values 1..N in the four number styles.
    static std::wstring NumbersImageName(int size);

    bool IsUsable() const { return mDataError.empty(); }
    const std::string& GetDataError() const { return mDataError; }
    int GetSize() const { return static_cast<int>(mLayer.size()); }
    int GetTileSize() const { return mTileSize; }
    int GetOffsetX() const { return mOffsetX; }
    int GetOffsetY() const { return mOffsetY; }
    const PuzzleLayer& GetLayer() const { return mLayer; }

protected:
    PuzzleLayer mLayer;     // [x][y]
    int32_t mTileSize = 0;  // pixels per cell
    int32_t mOffsetX = 0;   // the clue room left of the cells
    int32_t mOffsetY = 0;   // ... and above them
    std::string mDataError;
};
