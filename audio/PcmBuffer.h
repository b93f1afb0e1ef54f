#pragma once
#include <cstdint>
#include <memory>
#include <vector>

// The format of a decoded sound: integer PCM, 8-bit unsigned or 16-bit signed.
struct PcmFormat {
    int channels = 1;
    int bits = 16;
    int rate = 22050;

    int BlockAlign() const { return channels * bits / 8; }
    // Only what the mixer can play: 1-2 channels, 8 or 16 bits, 100-100000 Hz.
    bool IsPlayable() const;
};

// Sample bytes of one loaded sound, written while it loads and then shared,
// read-only, by every voice that plays it.
struct PcmBuffer {
    PcmFormat format;
    std::vector<uint8_t> bytes;

    int64_t Frames() const { return static_cast<int64_t>(bytes.size()) / format.BlockAlign(); }
};

using SharedPcm = std::shared_ptr<const PcmBuffer>;
