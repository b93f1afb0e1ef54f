#pragma once
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace soundfiles {

// Reads a whole file through the file access layer (at most the sound cap and
// a header's worth more). False when it cannot be opened or read.
bool ReadFileBytes(const std::string& path, std::vector<uint8_t>& out);

// Bounds-checked reads over a file held in memory.
class ByteReader {
public:
    explicit ByteReader(const std::vector<uint8_t>& bytes) : mBytes(bytes) {}
    size_t Position() const { return mPos; }
    size_t Remaining() const { return mBytes.size() - mPos; }
    bool Seek(uint64_t pos) {
        if (pos > mBytes.size()) return false;
        mPos = static_cast<size_t>(pos);
        return true;
    }
    void Skip(size_t n) { Seek(mPos + n); }
    bool Bytes(void* dst, size_t n) {
        if (n > Remaining()) return false;
        std::memcpy(dst, mBytes.data() + mPos, n);
        mPos += n;
        return true;
    }
    bool U16le(uint16_t& v) { return Int(v, false); }
    bool U32le(uint32_t& v) { return Int(v, false); }
    bool U32be(uint32_t& v) { return Int(v, true); }

private:
    template <typename T>
    bool Int(T& v, bool bigEndian) {
        uint8_t b[sizeof(T)];
        if (!Bytes(b, sizeof(T))) return false;
        v = 0;
        for (size_t i = 0; i < sizeof(T); ++i) v |= static_cast<T>(b[bigEndian ? sizeof(T) - 1 - i : i]) << (8 * i);
        return true;
    }
    const std::vector<uint8_t>& mBytes;
    size_t mPos = 0;
};

// Little-endian writes into a growing buffer.
class ByteWriter {
public:
    ByteWriter& Tag(const char* four) { return Raw(four, 4); }
    ByteWriter& U16le(uint16_t v) { return Int(v); }
    ByteWriter& U32le(uint32_t v) { return Int(v); }
    ByteWriter& Raw(const void* p, size_t n) {
        const auto* b = static_cast<const uint8_t*>(p);
        mBytes.insert(mBytes.end(), b, b + n);
        return *this;
    }
    const std::vector<uint8_t>& Data() const { return mBytes; }

private:
    template <typename T>
    ByteWriter& Int(T v) {
        for (size_t i = 0; i < sizeof(T); ++i) mBytes.push_back(static_cast<uint8_t>(v >> (8 * i)));
        return *this;
    }
    std::vector<uint8_t> mBytes;
};

}  // namespace soundfiles
