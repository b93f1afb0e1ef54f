// Writes the game's own tracker music: a short 4-channel ProTracker module of
// generated waveforms (bass, arpeggio, lead, hi-hat).
//   musicgen <output.mod>
#include <cmath>
#include <cstdio>
#include <fstream>

#include "audio/ModuleWriter.h"

namespace {

using modwriter::Note;
using modwriter::Period;

std::vector<int8_t> Wave(int length, double (*shape)(double), int amplitude) {
    std::vector<int8_t> data(static_cast<size_t>(length));
    for (int i = 0; i < length; ++i) data[static_cast<size_t>(i)] = static_cast<int8_t>(amplitude * shape(static_cast<double>(i) / length));
    return data;
}

double Square(double t) { return t < 0.5 ? 1.0 : -1.0; }
double Triangle(double t) { return t < 0.5 ? 4 * t - 1 : 3 - 4 * t; }

std::vector<int8_t> Hat() {
    std::vector<int8_t> data(1024);
    unsigned seed = 12345;
    for (size_t i = 0; i < data.size(); ++i) {
        seed = seed * 1103515245u + 12345u;
        const double decay = std::exp(-static_cast<double>(i) / 120.0);
        data[i] = static_cast<int8_t>(static_cast<int>((seed >> 16) % 200 - 100) * decay);
    }
    return data;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: musicgen <output.mod>\n");
        return 2;
    }
    const std::vector<modwriter::Sample> samples = {
        {"bass", Wave(64, Triangle, 110), 60, true},
        {"arp", Wave(32, Square, 60), 30, true},
        {"lead", Wave(64, Triangle, 100), 48, true},
        {"hat", Hat(), 40, false},
    };
    // Four bars of a minor progression: Am F C G, root semitone within octave.
    const int roots[4] = {9, 5, 0, 7};
    const int thirds[4] = {3, 4, 4, 4};
    const int melody[4][8] = {{12, 0, 15, 0, 19, 17, 15, 12},
                              {12, 0, 9, 0, 12, 14, 12, 9},
                              {7, 0, 12, 0, 16, 14, 12, 7},
                              {11, 0, 14, 0, 19, 17, 14, 11}};
    std::vector<modwriter::Pattern> patterns(4);
    for (int bar = 0; bar < 4; ++bar) {
        modwriter::Pattern& p = patterns[static_cast<size_t>(bar)];
        const int root = roots[bar];
        for (int row = 0; row < 64; ++row) {
            if (row % 8 == 0) p[static_cast<size_t>(row)][0] = {Period(1, root), 1, 0, 0};
            if (row % 2 == 0) {
                const int chord[3] = {root, root + thirds[bar], root + 7};
                const int step = chord[(row / 2) % 3];
                p[static_cast<size_t>(row)][1] = {Period(2 + step / 12, step % 12), 2, 0, 0};
            }
            if (row % 8 == 0 && melody[bar][row / 8]) {
                const int n = melody[bar][row / 8] + root % 3;
                p[static_cast<size_t>(row)][2] = {Period(2 + std::min(n / 12, 1), n % 12), 3, 0, 0};
            }
            if (row % 4 == 2) p[static_cast<size_t>(row)][3] = {Period(3, 0), 4, 0, 0};
        }
        p[0][3].effect = 0xF;  // speed 5 ticks a row
        p[0][3].param = 5;
    }
    const std::vector<uint8_t> module = modwriter::Write("quiltro tune", samples, patterns, {0, 1, 2, 3, 0, 1, 2, 3});
    std::ofstream out(argv[1], std::ios::binary);
    out.write(reinterpret_cast<const char*>(module.data()), static_cast<std::streamsize>(module.size()));
    return out ? 0 : 1;
}
