#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "audio/PcmBuffer.h"

// The readers of sound effect files, all through the file access layer. Each
// fills the buffer and returns true, or returns false and leaves it empty so
// that the loader tries the next form. Sizes in headers are never trusted:
// they are clamped to the bytes present and capped.
namespace soundfiles {

constexpr int64_t kMaxSoundBytes = 256ll << 20;

// RIFF WAVE, PCM only; a "dep " record naming a file whose write time has
// changed makes the file stale (false); an "xor " key unscrambles the data.
bool ReadWav(const std::string& path, PcmBuffer& out);
// Ogg Vorbis through Tremor, decoded whole to 16 bits.
bool ReadOgg(const std::string& path, PcmBuffer& out);
// Sun AU: mu-law (to 16 bits) or signed linear 8-bit (to unsigned).
bool ReadAu(const std::string& path, PcmBuffer& out);

// The same two readers over a file already in memory.
bool ParseWav(const std::vector<uint8_t>& file, PcmBuffer& out);
bool ParseAu(const std::vector<uint8_t>& file, PcmBuffer& out);

// Writes the decoded copy of a sound with a "dep " record of its source
// (replacing the file atomically). False when it cannot be written.
bool WriteCachedWav(const std::string& path, const PcmBuffer& pcm, const std::string& source);

// The last write time of a file in 100 ns steps since 1601, as the "dep "
// record stores it; 0 when the file is absent.
uint64_t DependencyTime(const std::string& path);

// One G.711 mu-law byte as a 16-bit sample.
int16_t DecodeMuLaw(uint8_t byte);

}  // namespace soundfiles
