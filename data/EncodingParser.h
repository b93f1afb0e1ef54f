#pragma once
#include <cstddef>
#include <string>

// Text decoding for data files: UTF-8 (with or without a byte order mark),
// UTF-16 in either byte order, told apart by the byte order mark (or, without
// one, by the zero bytes of an ASCII "<" at the start of an XML file), and
// Latin-1 for a file with neither a byte order mark nor an encoding in its XML
// declaration whose bytes are not valid UTF-8 and hold no valid multi-byte
// sequence either (single-byte text from older editors). A file that mixes
// valid UTF-8 with stray bytes is UTF-8 with damage in it, not Latin-1: read
// as Latin-1 its every accented letter would turn into two. UTF-8 itself is
// decoded by the string helpers (DecodeUtf8).
class EncodingParser {
public:
    enum Encoding { Utf8, Utf16LE, Utf16BE, Latin1 };

    // The encoding of the bytes and the length of their byte order mark.
    static Encoding Detect(const char* data, size_t size, size_t* bomLength = nullptr);

    // What bytes without a byte order mark hold of UTF-8.
    struct Utf8Survey {
        bool mMultiByte = false;        // at least one valid multi-byte sequence
        size_t mFirstBad = std::string::npos;  // offset of the first malformed byte
    };
    static Utf8Survey SurveyUtf8(const char* data, size_t size);
    // The bytes with every malformed sequence replaced by U+FFFD.
    static std::string RepairUtf8(const std::string& bytes);

    // Decodes the bytes to wide text; malformed sequences become U+FFFD.
    static std::wstring Decode(const std::string& bytes);
    // The same text as UTF-8 without a byte order mark (what expat reads).
    static std::string ToUtf8(const std::string& bytes);
};
