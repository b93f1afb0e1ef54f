#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <vector>

// Writes 4-channel ProTracker modules ("M.K."), the format our own tracker
// music is made in (by tools/musicgen and by the tests).
namespace modwriter {

struct Sample {
    std::string name;
    std::vector<int8_t> data;  // an even number of bytes
    int volume = 64;
    bool loop = true;          // loops the whole sample
};

struct Note {
    int period = 0;  // 0: no note (428 is C-2)
    int sample = 0;  // 1-based; 0: none
    int effect = 0;
    int param = 0;
};

using Row = std::array<Note, 4>;
using Pattern = std::array<Row, 64>;

std::vector<uint8_t> Write(const std::string& title, const std::vector<Sample>& samples,
                           const std::vector<Pattern>& patterns, const std::vector<int>& order);

// The period of a note: octave 1..3, semitone 0..11.
int Period(int octave, int semitone);

}  // namespace modwriter
