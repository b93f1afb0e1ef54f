#include "puzzle/GameDataCheck.h"

#include <set>

#include "core/StringUtil.h"
#include "puzzle/GameStats.h"
#include "puzzle/PuzzleRecord.h"
#include "puzzle/SetStats.h"

bool CheckGameData(std::string& message) {
    auto game = gPuzzleTable.find(gGameId);
    if (game == gPuzzleTable.end() || game->second.mModes[0].empty()) {
        message = "properties/puzzles_quiltro7.xml holds no story puzzles for game \"" +
                  WStringToString(gGameId) + "\".";
        return false;
    }
    if (gSetTable.empty()) {
        message = "properties/sets7.xml holds no game.";
        return false;
    }
    const GameSets& sets = SetStats::FindGame(gGameId);
    for (int mode = 0; mode < GamePuzzles::kModeCount; ++mode) {
        size_t puzzleSets = game->second.mModes[mode].size();
        size_t setRecords = sets.mModes[mode].size();
        if (puzzleSets != setRecords) {
            message = StrFormat("properties/sets7.xml lists %zu %s sets but properties/puzzles_quiltro7.xml "
                                "has %zu; both must list the same sets in the same order.",
                                setRecords, mode == 0 ? "story" : "bonus", puzzleSets);
            return false;
        }
    }
    std::set<int> sizes;
    for (const auto& mode : game->second.mModes)
        for (const PuzzleSet& set : mode)
            for (const PuzzleRecord& puzzle : set) sizes.insert(puzzle.GetSize());
    for (int size : sizes) {
        auto config = gGridConfigs.find(size);
        if (config == gGridConfigs.end()) {
            message = StrFormat("properties/game.xml has no <grid size=\"%d\"> record for the %d x %d puzzles.",
                                size, size, size);
            return false;
        }
        if (config->second.mMistakes <= 0 || config->second.mHints <= 0) {
            message = StrFormat("properties/game.xml: <grid size=\"%d\"> needs mistakes and hints above 0.", size);
            return false;
        }
    }
    return true;
}
