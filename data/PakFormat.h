#pragma once
#include <cstddef>
#include <cstdint>
#include <cstring>

// Layout of main.pak. Every byte of the file, header included, is stored XORed
// with kPakScrambleKey; the values below are the unscrambled form, little-endian.
//
//   header     magic "Q7PK", uint32 version, uint32 entry count, uint32 directory size
//   directory  per entry: uint16 name length, name (UTF-8, '/' separated, relative),
//              uint64 data offset (from the start of the file), uint64 size,
//              int64 last-write time (seconds since the epoch)
//   data       the entries' bytes, at their offsets
namespace pakformat {

constexpr uint8_t kPakScrambleKey = 0xB5;
constexpr char kPakMagic[4] = {'Q', '7', 'P', 'K'};
constexpr uint32_t kPakVersion = 1;
constexpr size_t kPakHeaderSize = 16;
// Smallest possible directory entry: a one-byte name.
constexpr size_t kPakMinEntrySize = 2 + 1 + 8 + 8 + 8;
constexpr size_t kPakMaxNameLength = 1024;

// Copies count bytes from the scrambled source into dest, unscrambling them.
// Works a word at a time: entries are read at memory speed.
inline void UnscrambleCopy(uint8_t* dest, const uint8_t* src, size_t count) {
    constexpr uint64_t kWordKey = 0x0101010101010101ULL * kPakScrambleKey;
    size_t i = 0;
    for (; i + 32 <= count; i += 32) {
        uint64_t w[4];
        std::memcpy(w, src + i, 32);
        w[0] ^= kWordKey;
        w[1] ^= kWordKey;
        w[2] ^= kWordKey;
        w[3] ^= kWordKey;
        std::memcpy(dest + i, w, 32);
    }
    for (; i < count; ++i) dest[i] = static_cast<uint8_t>(src[i] ^ kPakScrambleKey);
}

}  // namespace pakformat
