#include "widgets/Noise.h"

#include <cmath>
#include <utility>

#include "core/Random.h"

int gNoisePerm[kNoiseTableEntries];
float gNoiseGrad1[kNoiseTableEntries];

void InitNoise() {
    for (int i = 0; i < kNoiseTableSize; ++i) {
        gNoisePerm[i] = i;
        gNoiseGrad1[i] = RandRangeFloat(-1.0f, 1.0f);
        // The table layout once had room for more dimensions; these draws
        // keep the sequence (and so the tables) the same for a given seed.
        for (int k = 0; k < 5; ++k) RandRangeFloat(-1.0f, 1.0f);
    }
    for (int i = kNoiseTableSize - 1; i > 0; --i) {
        int j = Rand(kNoiseTableSize);
        std::swap(gNoisePerm[i], gNoisePerm[j]);
    }
    for (int i = 0; i < kNoiseTableSize + 2; ++i) {
        gNoisePerm[kNoiseTableSize + i] = gNoisePerm[i];
        gNoiseGrad1[kNoiseTableSize + i] = gNoiseGrad1[i];
    }
}

double Noise1D(double x) {
    // The offset keeps the phases the game feeds positive, so truncation is
    // floor; below it floor is used directly.
    float t = static_cast<float>(x + 4096.0);
    float whole = std::floor(t);
    int b0 = static_cast<int>(static_cast<long long>(whole) & 255);
    int b1 = (b0 + 1) & 255;
    float r = t - whole;
    float u = gNoiseGrad1[gNoisePerm[b0]] * r;
    float v = gNoiseGrad1[gNoisePerm[b1]] * (r - 1.0f);
    float s = r * r * (3.0f - 2.0f * r);
    return u + (v - u) * s;
}
