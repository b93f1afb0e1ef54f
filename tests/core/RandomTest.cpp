#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <atomic>
#include <thread>

#include "core/Random.h"

// std::mt19937 is an independent implementation of the same generator with the
// same standard seeding, so it serves as the reference sequence.
TEST(Random, MatchesReferenceMersenneTwisterAndReseedingRestartsIt) {
    MTRand ours;
    std::mt19937 reference(4357);
    for (int i = 0; i < 5000; ++i) ASSERT_EQ(ours.Next(), reference() >> 1) << "at draw " << i;
    SeedRandom(4357);
    std::vector<unsigned> first;
    for (int i = 0; i < 10; ++i) first.push_back(Rand());
    SeedRandom(4357);
    for (int i = 0; i < 10; ++i) EXPECT_EQ(Rand(), first[i]);
    EXPECT_EQ(first[0], std::mt19937(4357)() >> 1);
}

TEST(Random, ResultsStayInsideTheirRangesAndEmptyRangesGiveTheLowerBound) {
    EXPECT_EQ(Rand(0), 0);
    EXPECT_EQ(Rand(-3), 0);
    EXPECT_EQ(RandRange(5, 5), 5);
    EXPECT_EQ(RandFloat(0.0f), 0.0f);
    EXPECT_EQ(RandDouble(0.0), 0.0);
    EXPECT_EQ(RandRangeFloat(2.5f, 2.5f), 2.5f);
    SeedRandom(1);
    for (int i = 0; i < 20000; ++i) {
        const int r = Rand(7), rr = RandRange(-3, 4);
        const float f = RandFloat(1.0f);
        const double d = RandDouble(10.0);
        ASSERT_TRUE(r >= 0 && r < 7 && rr >= -3 && rr < 4 && f >= 0.0f && f < 1.0f && d >= 0.0 && d < 10.0)
            << r << " " << rr << " " << f << " " << d;
        ASSERT_LE(Rand(), 0x7fffffffu);
    }
}

TEST(Random, ShuffleUsesTheInjectedFifteenBitGenerator) {
    int calls = 0;
    SetShuffleRandom([&] {
        ++calls;
        return 0;  // always pick index 0: a rotation of the list
    });
    std::vector<int> items = {1, 2, 3, 4};
    RandomShuffle(items);
    SetShuffleRandom(nullptr);
    EXPECT_EQ(calls, 3);
    // i=1 swaps with 0: 2 1 3 4; i=2: 3 1 2 4; i=3: 4 1 2 3
    EXPECT_EQ(items, (std::vector<int>{4, 1, 2, 3}));
}

TEST(Random, DefaultShuffleGeneratorIsFifteenBitsAndSeedable) {
    SeedShuffleRandom(7);
    std::vector<int> a;
    for (int i = 0; i < 100; ++i) {
        int v = ShuffleRand();
        ASSERT_GE(v, 0);
        ASSERT_LE(v, 32767);
        a.push_back(v);
    }
    SeedShuffleRandom(7);
    for (int i = 0; i < 100; ++i) EXPECT_EQ(ShuffleRand(), a[i]);
}

TEST(Random, SharedGeneratorIsSafeAcrossThreads) {
    SeedRandom(99);
    std::vector<std::thread> threads;
    std::atomic<int> bad{0};
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&] {
            for (int i = 0; i < 10000; ++i)
                if (Rand(10) >= 10) ++bad;
        });
    for (auto& t : threads) t.join();
    EXPECT_EQ(bad.load(), 0);
}
