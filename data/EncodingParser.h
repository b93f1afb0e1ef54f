#pragma once
#include <cstddef>
#include <string>

// Text decoding for data files: UTF-8 (with or without a byte order mark) and
// UTF-16 in either byte order, told apart by the byte order mark (or, without
// one, by the zero bytes of an ASCII "<" at the start of an XML file).
class EncodingParser {
public:
    enum Encoding { Utf8, Utf16LE, Utf16BE };

    // The encoding of the bytes and the length of their byte order mark.
    static Encoding Detect(const char* data, size_t size, size_t* bomLength = nullptr);

    // Decodes the bytes to wide text; malformed sequences become U+FFFD.
    static std::wstring Decode(const std::string& bytes);
    // The same text as UTF-8 without a byte order mark (what expat reads).
    static std::string ToUtf8(const std::string& bytes);

    // UTF-8 to wide into an existing string (its capacity is reused).
    static void Utf8ToWide(const char* data, size_t size, std::wstring& out);
};
