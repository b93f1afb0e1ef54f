#pragma once
#include <cstdint>
#include <map>
#include <string>
#include <vector>

// The name of this game in every catalogue ("quiltro7").
extern const std::wstring gGameId;

// A puzzle layer: N columns of N cells, indexed [x][y] with x the column from
// the left and y the row from the top.
using PuzzleLayer = std::vector<std::vector<int32_t>>;

// Largest grid side the board can show.
constexpr int kMaxPuzzleSize = 25;

struct PuzzleRecord {
    std::wstring mName;        // also the key other data refers to it by
    int32_t mDifficulty = 0;
    int32_t mSteps = 0;
    bool mTested = false;
    PuzzleLayer mSolution;     // 0 hole, 1 tile (normalised at load)
    PuzzleLayer mPicture;      // -1 no art, else 0..675 (cel * shades + shade)

    int GetSize() const { return static_cast<int>(mSolution.size()); }
};

using PuzzleSet = std::vector<PuzzleRecord>;

// Index 0 the story mode, 1 the bonus mode; sets and puzzles in file order.
struct GamePuzzles {
    static constexpr int kModeCount = 2;
    std::vector<PuzzleSet> mModes[kModeCount];
};

// Game name -> its puzzles. The subscript of an unknown name inserts an
// empty entry, which readers rely on.
extern std::map<std::wstring, GamePuzzles> gPuzzleTable;
