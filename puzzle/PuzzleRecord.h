#pragma once
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "data/PublishedTable.h"
#include "puzzle/CompactLayer.h"

// The name of this game in every catalogue ("quiltro7").
extern const std::wstring gGameId;

// Largest grid side the board can show.
constexpr int kMaxPuzzleSize = 25;

struct PuzzleRecord {
    std::wstring mName;        // also the key other data refers to it by
    int32_t mDifficulty = 0;
    int32_t mSteps = 0;
    bool mTested = false;
    CompactLayer mSolution;    // 0 hole, 1 tile
    CompactLayer mPicture;     // -1 no art, else 0..675 (cel * shades + shade)

    int GetSize() const { return mSolution.GetSize(); }
};

using PuzzleSet = std::vector<PuzzleRecord>;

// The puzzle choice lays a set's puzzles out on one page, in rows of this
// many; the page has room for two rows and no way to turn it, so a set holds
// at most a page of puzzles.
constexpr int kPuzzlePageColumns = 5;
constexpr int kPuzzlesPerPage = 2 * kPuzzlePageColumns;

// Index 0 the story mode, 1 the bonus mode; sets and puzzles in file order.
struct GamePuzzles {
    static constexpr int kModeCount = 2;
    std::vector<PuzzleSet> mModes[kModeCount];
};

// Game name -> its puzzles.
using PuzzleTable = std::map<std::wstring, GamePuzzles>;

// The catalogue the game plays, published whole by the catalogue loader.
extern PublishedTable<PuzzleTable> gPuzzleTable;

// Lookups in the published catalogue; they never add an entry. Records stay
// valid for the rest of the run (see PublishedTable).
const GamePuzzles* FindGamePuzzles(const std::wstring& game);  // null when absent
const PuzzleRecord* FindPuzzleRecord(const std::wstring& game, int mode, int set, int puzzle);
// Puzzles of a set in the catalogue (0 for a set it lacks).
int CountCatalogPuzzles(const std::wstring& game, int mode, int set);
