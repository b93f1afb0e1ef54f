#include <algorithm>
#include <cstring>
#include <vector>

#include "audio/SoundFileBytes.h"
#include "audio/SoundFiles.h"

namespace soundfiles {

int16_t DecodeMuLaw(uint8_t byte) {
    // The segments of G.711, each a straight line in the complemented code;
    // the loudest code (128) follows its segment's line like the others.
    const int c = byte | 128;
    int m;
    if (c >= 240) m = (255 - c) * 2;
    else if (c >= 224) m = (247 - c) * 4;
    else if (c >= 208) m = (235 - c) * 8;
    else if (c >= 192) m = (221 - c) * 16;
    else if (c >= 176) m = (206 - c) * 32;
    else if (c >= 160) m = 12192 - 64 * c;
    else if (c >= 144) m = 22368 - 128 * c;
    else m = 40672 - 256 * c;
    return static_cast<int16_t>(byte < 128 ? -m * 4 : m * 4);
}

bool ReadAu(const std::string& path, PcmBuffer& out) {
    std::vector<uint8_t> file;
    out = PcmBuffer();
    return ReadFileBytes(path, file) && ParseAu(file, out);
}

bool ParseAu(const std::vector<uint8_t>& file, PcmBuffer& out) {
    out = PcmBuffer();
    if (file.size() < 24 || std::memcmp(file.data(), ".snd", 4) != 0) return false;
    ByteReader r(file);
    r.Skip(4);
    uint32_t offset = 0, size = 0, encoding = 0, rate = 0, channels = 0;
    if (!r.U32be(offset) || !r.U32be(size) || !r.U32be(encoding) || !r.U32be(rate) || !r.U32be(channels) ||
        !r.Seek(offset) || (encoding != 1 && encoding != 2) || channels > 2 || rate > 100000)
        return false;
    // 0xFFFFFFFF means "unknown": the rest of the file.
    const int64_t bytes = std::min<int64_t>({size, static_cast<int64_t>(r.Remaining()), kMaxSoundBytes / 2});
    const int bits = encoding == 1 ? 16 : 8;
    PcmBuffer pcm;
    pcm.format = {static_cast<int>(channels), bits, static_cast<int>(rate)};
    if (!pcm.format.IsPlayable()) return false;
    const int64_t samples = bytes - bytes % static_cast<int64_t>(channels);
    const uint8_t* src = file.data() + r.Position();
    if (encoding == 1) {
        pcm.bytes.resize(static_cast<size_t>(samples) * 2);
        auto* dst = reinterpret_cast<int16_t*>(pcm.bytes.data());
        for (int64_t i = 0; i < samples; ++i) dst[i] = DecodeMuLaw(src[i]);
    } else {
        // AU's linear 8-bit is signed; the mixer's 8-bit is unsigned.
        pcm.bytes.resize(static_cast<size_t>(samples));
        for (int64_t i = 0; i < samples; ++i) pcm.bytes[static_cast<size_t>(i)] = src[i] ^ 0x80;
    }
    out = std::move(pcm);
    return true;
}

}  // namespace soundfiles
