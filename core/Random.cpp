#include "core/Random.h"

#include <mutex>

void MTRand::Seed(uint32_t seed) {
    mState[0] = seed;
    for (int i = 1; i < N; ++i)
        mState[i] = 1812433253u * (mState[i - 1] ^ (mState[i - 1] >> 30)) + static_cast<uint32_t>(i);
    mIndex = N;
}

uint32_t MTRand::Next32() {
    static const uint32_t kMag01[2] = {0u, 0x9908b0dfu};
    constexpr uint32_t kUpper = 0x80000000u, kLower = 0x7fffffffu;
    if (mIndex >= N) {
        int k = 0;
        for (; k < N - M; ++k) {
            uint32_t y = (mState[k] & kUpper) | (mState[k + 1] & kLower);
            mState[k] = mState[k + M] ^ (y >> 1) ^ kMag01[y & 1u];
        }
        for (; k < N - 1; ++k) {
            uint32_t y = (mState[k] & kUpper) | (mState[k + 1] & kLower);
            mState[k] = mState[k + (M - N)] ^ (y >> 1) ^ kMag01[y & 1u];
        }
        uint32_t y = (mState[N - 1] & kUpper) | (mState[0] & kLower);
        mState[N - 1] = mState[M - 1] ^ (y >> 1) ^ kMag01[y & 1u];
        mIndex = 0;
    }
    uint32_t y = mState[mIndex++];
    y ^= (y >> 11);
    y ^= (y << 7) & 0x9d2c5680u;
    y ^= (y << 15) & 0xefc60000u;
    y ^= (y >> 18);
    return y;
}

namespace {
std::mutex gRandomLock;
uint32_t gShuffleState = 1;
ShuffleRandom gShuffleGenerator;
}  // namespace

MTRand& SharedRandom() {
    static MTRand rng;
    return rng;
}

void SeedRandom(uint32_t seed) {
    std::lock_guard<std::mutex> lock(gRandomLock);
    SharedRandom().Seed(seed);
}

unsigned Rand() {
    std::lock_guard<std::mutex> lock(gRandomLock);
    return SharedRandom().Next();
}

int Rand(int n) {
    if (n <= 0) return 0;
    return static_cast<int>(Rand() % static_cast<unsigned>(n));
}

float RandFloat(float range) {
    if (!(range > 0.0f) && !(range < 0.0f)) return 0.0f;
    float v = static_cast<float>(Rand()) / 2147483648.0f * range;
    // Rounding to float can reach the bound itself; keep the range half-open.
    return v == range ? 0.0f : v;
}

double RandDouble(double range) {
    if (range == 0.0) return 0.0;
    return static_cast<double>(Rand()) / 2147483648.0 * range;
}

int RandRange(int min, int max) { return min + Rand(max - min); }

float RandRangeFloat(float min, float max) { return min + RandFloat(max - min); }

void SetShuffleRandom(ShuffleRandom generator) {
    std::lock_guard<std::mutex> lock(gRandomLock);
    gShuffleGenerator = std::move(generator);
}

void SeedShuffleRandom(uint32_t seed) {
    std::lock_guard<std::mutex> lock(gRandomLock);
    gShuffleState = seed;
}

int ShuffleRand() {
    ShuffleRandom generator;
    {
        std::lock_guard<std::mutex> lock(gRandomLock);
        generator = gShuffleGenerator;
    }
    // Called outside the lock: a test generator may draw from Rand() itself.
    if (generator) return generator() & 0x7fff;
    std::lock_guard<std::mutex> lock(gRandomLock);
    gShuffleState = gShuffleState * 214013u + 2531011u;
    return static_cast<int>((gShuffleState >> 16) & 0x7fff);
}
