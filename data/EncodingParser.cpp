#include "data/EncodingParser.h"

#include <cstdint>
#include <string_view>

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

// True when the text starts with an XML declaration that names an encoding.
bool DeclaresEncoding(const char* data, size_t size) {
    const std::string_view text(data, size);
    if (!text.starts_with("<?xml")) return false;
    const size_t end = text.find("?>");
    return text.substr(0, end).find("encoding") != std::string_view::npos;
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
    } else if (!DeclaresEncoding(data, size) && !IsValidUtf8(data, size) && !SurveyUtf8(data, size).mMultiByte) {
        enc = Latin1;
    }
    if (bomLength) *bomLength = bom;
    return enc;
}

EncodingParser::Utf8Survey EncodingParser::SurveyUtf8(const char* data, size_t size) {
    Utf8Survey survey;
    const char* p = data;
    const char* end = data + size;
    while (p < end) {
        if (static_cast<unsigned char>(*p) < 0x80) {
            ++p;
            continue;
        }
        const char* start = p;
        bool valid = false;
        NextUtf8CodePoint(p, end, &valid);
        if (valid)
            survey.mMultiByte = true;
        else if (survey.mFirstBad == std::string::npos)
            survey.mFirstBad = static_cast<size_t>(start - data);
        if (survey.mMultiByte && survey.mFirstBad != std::string::npos) break;
    }
    return survey;
}

std::string EncodingParser::RepairUtf8(const std::string& bytes) {
    std::string out;
    out.reserve(bytes.size());
    const char* p = bytes.data();
    const char* end = p + bytes.size();
    while (p < end) {
        if (static_cast<unsigned char>(*p) < 0x80) {
            out += *p++;
            continue;
        }
        const char* start = p;
        bool valid = false;
        NextUtf8CodePoint(p, end, &valid);
        if (valid)
            out.append(start, p);
        else
            AppendUtf8(out, 0xFFFD);
    }
    return out;
}

std::wstring EncodingParser::Decode(const std::string& bytes) {
    size_t bom = 0;
    Encoding enc = Detect(bytes.data(), bytes.size(), &bom);
    std::wstring out;
    if (enc == Utf8) {
        DecodeUtf8(bytes.data() + bom, bytes.size() - bom, out);
        return out;
    }
    if (enc == Latin1) {
        for (unsigned char c : bytes) out += static_cast<wchar_t>(c);
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
    if (enc == Latin1) {
        for (unsigned char c : bytes) AppendUtf8(out, c);
        return out;
    }
    DecodeUtf16(reinterpret_cast<const unsigned char*>(bytes.data()) + bom, bytes.size() - bom,
                enc == Utf16BE, [&](uint32_t cp) { AppendUtf8(out, cp); });
    return out;
}
