#include "puzzle/PuzzleRecord.h"

const std::wstring gGameId = L"quiltro7";
PublishedTable<PuzzleTable> gPuzzleTable;

const GamePuzzles* FindGamePuzzles(const std::wstring& game) {
    std::shared_ptr<const PuzzleTable> table = gPuzzleTable.Get();
    auto found = table->find(game);
    return found == table->end() ? nullptr : &found->second;
}

int CountCatalogPuzzles(const std::wstring& game, int mode, int set) {
    const GamePuzzles* puzzles = FindGamePuzzles(game);
    if (!puzzles || mode < 0 || mode >= GamePuzzles::kModeCount) return 0;
    const std::vector<PuzzleSet>& sets = puzzles->mModes[mode];
    return set >= 0 && set < static_cast<int>(sets.size()) ? static_cast<int>(sets[static_cast<size_t>(set)].size()) : 0;
}

const PuzzleRecord* FindPuzzleRecord(const std::wstring& game, int mode, int set, int puzzle) {
    const GamePuzzles* puzzles = FindGamePuzzles(game);
    if (!puzzles || mode < 0 || mode >= GamePuzzles::kModeCount) return nullptr;
    const std::vector<PuzzleSet>& sets = puzzles->mModes[mode];
    if (set < 0 || set >= static_cast<int>(sets.size())) return nullptr;
    const PuzzleSet& records = sets[static_cast<size_t>(set)];
    if (puzzle < 0 || puzzle >= static_cast<int>(records.size())) return nullptr;
    return &records[static_cast<size_t>(puzzle)];
}
