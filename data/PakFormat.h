#pragma once
#include <cstddef>
#include <cstdint>

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
inline void UnscrambleCopy(uint8_t* dest, const uint8_t* src, size_t count) {
    for (size_t i = 0; i < count; ++i) dest[i] = static_cast<uint8_t>(src[i] ^ kPakScrambleKey);
}

}  // namespace pakformat
