#include <algorithm>
#include <cstring>
#include <vector>

#include "audio/SoundFiles.h"
#include "audio/SoundFileBytes.h"
#include "data/PakInterface.h"
#include "platform/FileSystem.h"

namespace soundfiles {

uint64_t DependencyTime(const std::string& path) {
    std::string name = path;
    std::replace(name.begin(), name.end(), '\\', '/');
    const int64_t seconds = gPakInterfaceP ? gPakInterfaceP->FileModifiedTime(name) : 0;
    if (seconds <= 0) return 0;
    return (static_cast<uint64_t>(seconds) + 11644473600ull) * 10000000ull;
}

bool ReadWav(const std::string& path, PcmBuffer& out) {
    std::vector<uint8_t> file;
    out = PcmBuffer();
    return ReadFileBytes(path, file) && ParseWav(file, out);
}

bool ParseWav(const std::vector<uint8_t>& file, PcmBuffer& out) {
    out = PcmBuffer();
    if (file.size() < 12 || std::memcmp(file.data(), "RIFF", 4) != 0 ||
        std::memcmp(file.data() + 8, "WAVE", 4) != 0)
        return false;
    ByteReader r(file);
    r.Skip(12);
    PcmFormat format;  // 16-bit mono 22050 unless a "fmt " chunk says otherwise
    uint8_t key = 0;
    for (;;) {
        char tag[4];
        uint32_t size = 0;
        if (!r.Bytes(tag, 4) || !r.U32le(size)) return false;
        const size_t start = r.Position();
        if (std::memcmp(tag, "data", 4) == 0) {
            // A size past the end of the file keeps the bytes that are there.
            int64_t bytes = std::min<int64_t>(size, static_cast<int64_t>(file.size() - start));
            bytes = std::min(bytes, kMaxSoundBytes);
            if (!format.IsPlayable()) return false;
            bytes -= bytes % format.BlockAlign();
            out.format = format;
            out.bytes.assign(file.begin() + static_cast<long>(start), file.begin() + static_cast<long>(start + bytes));
            if (key != 0)
                for (uint8_t& b : out.bytes) b ^= key;
            return true;
        }
        if (std::memcmp(tag, "fmt ", 4) == 0) {
            uint16_t formatTag = 0, channels = 0, align = 0, bits = 0;
            uint32_t rate = 0, average = 0;
            if (!r.U16le(formatTag) || !r.U16le(channels) || !r.U32le(rate) || !r.U32le(average) ||
                !r.U16le(align) || !r.U16le(bits) || formatTag != 1)
                return false;
            format = {channels, bits, static_cast<int>(std::min<uint32_t>(rate, 1u << 30))};
        } else if (std::memcmp(tag, "dep ", 4) == 0) {
            uint16_t length = 0;
            uint32_t low = 0, high = 0;
            if (!r.U16le(length)) return false;
            std::string name(std::min<uint16_t>(length, 255), '\0');
            if (!r.Bytes(name.data(), name.size()) || !r.U32le(low) || !r.U32le(high)) return false;
            if (DependencyTime(name) != ((static_cast<uint64_t>(high) << 32) | low)) return false;
        } else if (std::memcmp(tag, "xor ", 4) == 0) {
            if (!r.Bytes(&key, 1)) return false;
        }
        // No pad byte is skipped after an odd-sized chunk: files written for
        // this reader rely on it.
        if (!r.Seek(start + static_cast<uint64_t>(size))) return false;
    }
}

bool WriteCachedWav(const std::string& path, const PcmBuffer& pcm, const std::string& source) {
    if (path.empty() || !pcm.format.IsPlayable() || pcm.bytes.size() > static_cast<size_t>(kMaxSoundBytes))
        return false;
    ByteWriter w;
    const std::string name = source.substr(0, 255);
    const uint32_t depSize = static_cast<uint32_t>(2 + name.size() + 8 + (name.size() % 2));
    const uint32_t dataSize = static_cast<uint32_t>(pcm.bytes.size());
    const PcmFormat& f = pcm.format;
    w.Tag("RIFF").U32le(4 + 24 + 8 + depSize + 8 + dataSize).Tag("WAVE");
    w.Tag("fmt ").U32le(16).U16le(1).U16le(static_cast<uint16_t>(f.channels)).U32le(static_cast<uint32_t>(f.rate));
    w.U32le(static_cast<uint32_t>(f.BlockAlign() * f.rate)).U16le(static_cast<uint16_t>(f.BlockAlign()));
    w.U16le(static_cast<uint16_t>(f.bits));
    const uint64_t time = DependencyTime(source);
    w.Tag("dep ").U32le(depSize).U16le(static_cast<uint16_t>(name.size())).Raw(name.data(), name.size());
    w.U32le(static_cast<uint32_t>(time)).U32le(static_cast<uint32_t>(time >> 32));
    if (name.size() % 2) w.Raw("", 1);  // inside the chunk, so any reader finds "data" next
    w.Tag("data").U32le(dataSize).Raw(pcm.bytes.data(), pcm.bytes.size());
    std::string error;
    return PlatformAtomicWrite(path, w.Data().data(), w.Data().size(), &error);
}

}  // namespace soundfiles
