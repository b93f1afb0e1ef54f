// The puzzle catalogue as a damaged file: either the load fails, or every
// puzzle read is square, 1..25 a side, with cells the board and the art sheet
// can use.
#include <string>

#include "core/Log.h"
#include "puzzle/PuzzleStats.h"
#include "tests/fuzz/FuzzTarget.h"

FUZZ_TARGET(puzzles) {
    SetDebugOutputEnabled(false);
    PuzzleStats stats(false);
    const bool loaded = stats.LoadText(std::string(reinterpret_cast<const char*>(data), size), "puzzles.xml");
    if (!loaded && !stats.GetTable().empty()) __builtin_trap();
    for (const auto& [name, game] : stats.GetTable()) {
        for (const auto& mode : game.mModes) {
            for (const PuzzleSet& set : mode) {
                for (const PuzzleRecord& p : set) {
                    const int n = p.GetSize();
                    if (n < 1 || n > kMaxPuzzleSize || p.mPicture.GetSize() != n) __builtin_trap();
                    bool anyTile = false;
                    for (int x = 0; x < n; ++x) {
                        for (int y = 0; y < n; ++y) {
                            const int32_t tile = p.mSolution.At(x, y), art = p.mPicture.At(x, y);
                            if (tile != 0 && tile != 1) __builtin_trap();
                            if (art < -1 || art > 675) __builtin_trap();
                            anyTile |= tile != 0;
                        }
                    }
                    if (!anyTile) __builtin_trap();
                }
            }
        }
    }
    return 0;
}
