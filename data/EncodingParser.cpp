#include "data/EncodingParser.h"

#include <cstdint>

#include "core/StringUtil.h"

namespace {

// Walks UTF-16 code units and hands each code point to the sink.
template <typename Sink>
void DecodeUtf16(const unsigned char* p, size_t size, bool bigEndian, Sink sink) {
    auto unit = [&](size_t i) -> uint32_t {
        return bigEndian ? (uint32_t(p[i]) << 8) | p[i + 1] : (uint32_t(p[i + 1]) << 8) | p[i];
    };
    size_t i = 0;
    for (; i + 1 < size; i += 2) {
        uint32_t u = unit(i);
        if (u >= 0xD800 && u <= 0xDBFF && i + 3 < size) {
            uint32_t low = unit(i + 2);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                sink(0x10000 + ((u - 0xD800) << 10) + (low - 0xDC00));
                i += 2;
                continue;
            }
        }
        sink((u >= 0xD800 && u <= 0xDFFF) ? 0xFFFD : u);
    }
    if (i < size) sink(0xFFFD);  // an odd last byte
}

}  // namespace

EncodingParser::Encoding EncodingParser::Detect(const char* data, size_t size, size_t* bomLength) {
    const unsigned char* p = reinterpret_cast<const unsigned char*>(data);
    size_t bom = 0;
    Encoding enc = Utf8;
    if (size >= 3 && p[0] == 0xEF && p[1] == 0xBB && p[2] == 0xBF) {
        bom = 3;
    } else if (size >= 2 && p[0] == 0xFF && p[1] == 0xFE) {
        enc = Utf16LE;
        bom = 2;
    } else if (size >= 2 && p[0] == 0xFE && p[1] == 0xFF) {
        enc = Utf16BE;
        bom = 2;
    } else if (size >= 2 && p[0] == '<' && p[1] == 0) {
        enc = Utf16LE;
    } else if (size >= 2 && p[0] == 0 && p[1] == '<') {
        enc = Utf16BE;
    }
    if (bomLength) *bomLength = bom;
    return enc;
}

void EncodingParser::Utf8ToWide(const char* data, size_t size, std::wstring& out) {
    out.resize(size);  // never more code points than bytes
    const unsigned char* p = reinterpret_cast<const unsigned char*>(data);
    const unsigned char* end = p + size;
    wchar_t* w = out.data();
    while (p < end) {
        unsigned char c = *p;
        if (c < 0x80) {
            *w++ = static_cast<wchar_t>(c);
            ++p;
            continue;
        }
        uint32_t cp;
        int extra;
        uint32_t min;
        if ((c & 0xE0) == 0xC0) { cp = c & 0x1F; extra = 1; min = 0x80; }
        else if ((c & 0xF0) == 0xE0) { cp = c & 0x0F; extra = 2; min = 0x800; }
        else if ((c & 0xF8) == 0xF0) { cp = c & 0x07; extra = 3; min = 0x10000; }
        else { *w++ = L'\xFFFD'; ++p; continue; }
        ++p;
        int got = 0;
        while (got < extra && p < end && (*p & 0xC0) == 0x80) {
            cp = (cp << 6) | (*p & 0x3F);
            ++p;
            ++got;
        }
        bool bad = got < extra || cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF);
        *w++ = bad ? L'\xFFFD' : static_cast<wchar_t>(cp);
    }
    out.resize(static_cast<size_t>(w - out.data()));
}

std::wstring EncodingParser::Decode(const std::string& bytes) {
    size_t bom = 0;
    Encoding enc = Detect(bytes.data(), bytes.size(), &bom);
    std::wstring out;
    if (enc == Utf8) {
        Utf8ToWide(bytes.data() + bom, bytes.size() - bom, out);
        return out;
    }
    out.reserve((bytes.size() - bom) / 2);
    DecodeUtf16(reinterpret_cast<const unsigned char*>(bytes.data()) + bom, bytes.size() - bom,
                enc == Utf16BE, [&](uint32_t cp) { out += static_cast<wchar_t>(cp); });
    return out;
}

std::string EncodingParser::ToUtf8(const std::string& bytes) {
    size_t bom = 0;
    Encoding enc = Detect(bytes.data(), bytes.size(), &bom);
    if (enc == Utf8) return bytes.substr(bom);
    std::string out;
    out.reserve(bytes.size() - bom);
    DecodeUtf16(reinterpret_cast<const unsigned char*>(bytes.data()) + bom, bytes.size() - bom,
                enc == Utf16BE, [&](uint32_t cp) { AppendUtf8(out, cp); });
    return out;
}
