#include "puzzle/GameDataCheck.h"

#include <set>

#include "core/StringUtil.h"
#include "puzzle/GameStats.h"
#include "puzzle/PuzzleRecord.h"
#include "puzzle/SetStats.h"

bool CheckGameData(std::string& message) {
    const GamePuzzles* game = FindGamePuzzles(gGameId);
    // The story begins with its tutorial set and goes on in the next one.
    if (!game || game->mModes[0].size() < 2) {
        message = "properties/puzzles_quiltro7.xml needs at least two story sets for game \"" +
                  WStringToString(gGameId) + "\".";
        return false;
    }
    std::shared_ptr<const SetTable> setTable = gSetTable.Get();
    if (setTable->empty()) {
        message = "properties/sets7.xml holds no game.";
        return false;
    }
    const GameSets& sets = SetStats::FindGame(*setTable, gGameId);
    for (int mode = 0; mode < GamePuzzles::kModeCount; ++mode) {
        size_t puzzleSets = game->mModes[mode].size();
        size_t setRecords = sets.mModes[mode].size();
        if (puzzleSets != setRecords) {
            message = StrFormat("properties/sets7.xml lists %zu %s sets but properties/puzzles_quiltro7.xml "
                                "has %zu; both must list the same sets in the same order.",
                                setRecords, mode == 0 ? "story" : "bonus", puzzleSets);
            return false;
        }
    }
    // A set is finished on its page: one the page cannot show whole, or one
    // with nothing on it, stops the story there.
    for (int mode = 0; mode < GamePuzzles::kModeCount; ++mode) {
        for (size_t set = 0; set < game->mModes[mode].size(); ++set) {
            const size_t count = game->mModes[mode][set].size();
            if (count >= 1 && count <= static_cast<size_t>(kPuzzlesPerPage)) continue;
            message = StrFormat("properties/puzzles_quiltro7.xml: %s set %zu (\"%s\") has %zu puzzles; a set needs 1 "
                                "to %d, as many as its page holds.",
                                mode == 0 ? "story" : "bonus", set + 1,
                                WStringToString(sets.mModes[mode][set].mName).c_str(), count, kPuzzlesPerPage);
            return false;
        }
    }
    std::set<int> sizes;
    for (const auto& mode : game->mModes)
        for (const PuzzleSet& set : mode)
            for (const PuzzleRecord& puzzle : set) sizes.insert(puzzle.GetSize());
    std::shared_ptr<const GridConfigTable> rules = gGridConfigs.Get();
    for (int size : sizes) {
        auto config = rules->find(size);
        if (config == rules->end()) {
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
