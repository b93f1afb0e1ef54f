// The puzzle catalogue as a damaged file: every puzzle read must come out
// square, 1..25 a side, with cells the board and the art sheet can use.
#include <string>

#include "core/Log.h"
#include "puzzle/PuzzleStats.h"
#include "tests/fuzz/FuzzTarget.h"

FUZZ_TARGET(puzzles) {
    SetDebugOutputEnabled(false);
    gPuzzleTable.clear();
    {
        PuzzleStats stats(false);
        stats.LoadText(std::string(reinterpret_cast<const char*>(data), size), "puzzles.xml");
    }
    for (const auto& [name, game] : gPuzzleTable) {
        for (const auto& mode : game.mModes) {
            for (const PuzzleSet& set : mode) {
                for (const PuzzleRecord& p : set) {
                    size_t n = p.mSolution.size();
                    if (n < 1 || n > static_cast<size_t>(kMaxPuzzleSize) || p.mPicture.size() != n) __builtin_trap();
                    for (size_t x = 0; x < n; ++x) {
                        if (p.mSolution[x].size() != n || p.mPicture[x].size() != n) __builtin_trap();
                        for (size_t y = 0; y < n; ++y) {
                            if (p.mSolution[x][y] != 0 && p.mSolution[x][y] != 1) __builtin_trap();
                            if (p.mPicture[x][y] < -1 || p.mPicture[x][y] > 675) __builtin_trap();
                        }
                    }
                }
            }
        }
    }
    gPuzzleTable.clear();
    return 0;
}
