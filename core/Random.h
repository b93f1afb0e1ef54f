#pragma once
#include <cstdint>
#include <functional>
#include <utility>
#include <vector>

// The Mersenne Twister MT19937 (Matsumoto and Nishimura), seeded the standard
// way (init_genrand), giving 31-bit results (the 32-bit output shifted right).
class MTRand {
public:
    static constexpr uint32_t kDefaultSeed = 4357;
    explicit MTRand(uint32_t seed = kDefaultSeed) { Seed(seed); }
    void Seed(uint32_t seed);
    uint32_t Next32();
    uint32_t Next() { return Next32() >> 1; }

private:
    static constexpr int N = 624;
    static constexpr int M = 397;
    uint32_t mState[N];
    int mIndex = N + 1;
};

// The one shared generator behind every effect.
MTRand& SharedRandom();
void SeedRandom(uint32_t seed);

unsigned Rand();                        // 31-bit value
int Rand(int n);                        // [0, n); 0 when n <= 0
float RandFloat(float range);           // [0, range); 0 for an empty range
double RandDouble(double range);        // [0, range)
int RandRange(int min, int max);        // min + Rand(max - min)
float RandRangeFloat(float min, float max);  // min + [0, max - min)

// The 15-bit generator behind the shuffles (hint cells, picture reveal order),
// a C library rand() in behaviour. Tests replace it to fix the order.
using ShuffleRandom = std::function<int()>;  // returns 0..32767
void SetShuffleRandom(ShuffleRandom generator);
void SeedShuffleRandom(uint32_t seed);
int ShuffleRand();

// For i from 1 up: swap element i with element ShuffleRand() % (i + 1).
template <class T>
void RandomShuffle(std::vector<T>& items) {
    for (size_t i = 1; i < items.size(); ++i) {
        size_t j = static_cast<size_t>(ShuffleRand()) % (i + 1);
        std::swap(items[i], items[j]);
    }
}
