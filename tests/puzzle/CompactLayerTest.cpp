#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "puzzle/PuzzleRecord.h"

// Each layer keeps the narrowest cells its values fit and gives back exactly
// what it was given.
TEST(CompactLayer, KeepsTheNarrowestCellsAndEveryValue) {
    struct Case { PuzzleLayer columns; size_t bytes; };
    const std::vector<Case> cases = {
        {{{0, 1, 1}, {1, 0, 0}, {0, 0, 1}}, 2},                 // 9 bits
        {{{-1, 127}, {-128, 0}}, 4},                              // bytes
        {{{-1, 675}, {128, -129}}, 8},                            // two bytes
        {{{70000, -1}, {0, -70000}}, 16},                         // four bytes
        {{}, 0},
    };
    for (const Case& c : cases) {
        const CompactLayer layer = CompactLayer::FromColumns(c.columns);
        EXPECT_EQ(layer.GetSize(), static_cast<int>(c.columns.size()));
        EXPECT_EQ(layer.HeapBytes(), c.bytes);
        EXPECT_EQ(layer.ToColumns(), c.columns);
    }
    // Rows given apart (a wider row room) pack the same as rows given together.
    const int32_t apart[] = {1, 0, 9, 0, 1, 9};
    EXPECT_EQ(CompactLayer(2, apart, 3, 0, 1), CompactLayer::FromColumns({{1, 0}, {0, 1}}));
}

// Readers on another thread see a whole table at every moment while tables
// are published, and the records they found stay valid.
TEST(PublishedTable, ReadersOnAnotherThreadSeeWholeTables) {
    auto table = [](int puzzles) {
        PuzzleTable t;
        t[L"g"].mModes[0].resize(1);
        for (int i = 0; i < puzzles; ++i) t[L"g"].mModes[0][0].emplace_back().mName = std::to_wstring(puzzles);
        return t;
    };
    gPuzzleTable.Publish(table(1));
    std::atomic<bool> done{false};
    std::atomic<int> torn{0};
    std::thread reader([&] {
        while (!done) {
            const GamePuzzles* game = FindGamePuzzles(L"g");
            const PuzzleSet& set = game->mModes[0][0];
            for (const PuzzleRecord& p : set)
                if (p.mName != std::to_wstring(set.size())) ++torn;
        }
    });
    for (int i = 2; i < 200; ++i) gPuzzleTable.Publish(table(i));
    done = true;
    reader.join();
    EXPECT_EQ(torn, 0);
    gPuzzleTable.Publish({});
}
