#include "core/StringUtil.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <cwctype>

std::string VStrFormat(const char* format, va_list args) {
    va_list copy;
    va_copy(copy, args);
    char small[256];
    int n = std::vsnprintf(small, sizeof(small), format, copy);
    va_end(copy);
    if (n < 0) return std::string();
    if (static_cast<size_t>(n) < sizeof(small)) return std::string(small, static_cast<size_t>(n));
    std::string out(static_cast<size_t>(n) + 1, '\0');
    std::vsnprintf(out.data(), out.size(), format, args);
    out.resize(static_cast<size_t>(n));
    return out;
}

std::string StrFormat(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::string s = VStrFormat(format, args);
    va_end(args);
    return s;
}

std::wstring VWStrFormat(const wchar_t* format, va_list args) {
    // vswprintf reports overflow only as failure, so grow until it fits. A
    // format error also fails; stop growing at a sane bound then.
    std::wstring out(256, L'\0');
    for (;;) {
        va_list copy;
        va_copy(copy, args);
        int n = std::vswprintf(out.data(), out.size(), format, copy);
        va_end(copy);
        if (n >= 0 && static_cast<size_t>(n) < out.size()) {
            out.resize(static_cast<size_t>(n));
            return out;
        }
        if (out.size() >= (size_t(1) << 26)) return std::wstring();
        out.assign(out.size() * 4, L'\0');
    }
}

std::wstring WStrFormat(const wchar_t* format, ...) {
    va_list args;
    va_start(args, format);
    std::wstring s = VWStrFormat(format, args);
    va_end(args);
    return s;
}

std::string WStringToString(const std::wstring& text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        uint32_t cp = static_cast<uint32_t>(text[i]);
        // Accept UTF-16 surrogate pairs too, in case text came from such a source.
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < text.size()) {
            uint32_t lo = static_cast<uint32_t>(text[i + 1]);
            if (lo >= 0xDC00 && lo <= 0xDFFF) {
                cp = 0x10000 + ((cp - 0xD800) << 10) + (lo - 0xDC00);
                ++i;
            }
        }
        if (cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) cp = 0xFFFD;
        AppendUtf8(out, cp);
    }
    return out;
}

void AppendUtf8(std::string& out, uint32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

namespace {
// Reads one code point at p (p < end) and moves past it. Returns false, with
// U+FFFD, for a sequence UTF-8 does not allow.
bool NextCodePoint(const unsigned char*& p, const unsigned char* end, uint32_t& cp) {
    const unsigned char c = *p++;
    if (c < 0x80) {
        cp = c;
        return true;
    }
    int extra;
    uint32_t min;
    if ((c & 0xE0) == 0xC0) { cp = c & 0x1F; extra = 1; min = 0x80; }
    else if ((c & 0xF0) == 0xE0) { cp = c & 0x0F; extra = 2; min = 0x800; }
    else if ((c & 0xF8) == 0xF0) { cp = c & 0x07; extra = 3; min = 0x10000; }
    else { cp = 0xFFFD; return false; }
    int got = 0;
    while (got < extra && p < end && (*p & 0xC0) == 0x80) {
        cp = (cp << 6) | (*p & 0x3F);
        ++p;
        ++got;
    }
    if (got < extra || cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
        cp = 0xFFFD;
        return false;
    }
    return true;
}
}  // namespace

uint32_t NextUtf8CodePoint(const char*& p, const char* end, bool* valid) {
    const unsigned char* u = reinterpret_cast<const unsigned char*>(p);
    uint32_t cp;
    bool ok = NextCodePoint(u, reinterpret_cast<const unsigned char*>(end), cp);
    p = reinterpret_cast<const char*>(u);
    if (valid) *valid = ok;
    return cp;
}

bool DecodeUtf8(const char* data, size_t size, std::wstring& out) {
    out.resize(size);  // never more code points than bytes
    const unsigned char* p = reinterpret_cast<const unsigned char*>(data);
    const unsigned char* end = p + size;
    wchar_t* w = out.data();
    bool valid = true;
    while (p < end) {
        if (*p < 0x80) {  // the common case, without the call
            *w++ = static_cast<wchar_t>(*p++);
            continue;
        }
        uint32_t cp;
        valid &= NextCodePoint(p, end, cp);
        *w++ = static_cast<wchar_t>(cp);
    }
    out.resize(static_cast<size_t>(w - out.data()));
    return valid;
}

bool IsValidUtf8(const char* data, size_t size) {
    const unsigned char* p = reinterpret_cast<const unsigned char*>(data);
    const unsigned char* end = p + size;
    uint32_t cp;
    while (p < end) {
        uint64_t eight;
        if (end - p >= 8 && (std::memcpy(&eight, p, 8), (eight & 0x8080808080808080ull) == 0)) {
            p += 8;  // plain ASCII, most of every data file
        } else if (*p < 0x80) {
            ++p;
        } else if (!NextCodePoint(p, end, cp)) {
            return false;
        }
    }
    return true;
}

std::wstring StringToWString(const std::string& utf8) {
    std::wstring out;
    DecodeUtf8(utf8.data(), utf8.size(), out);
    return out;
}

namespace {
template <class S>
S TrimImpl(const S& text) {
    auto isSpace = [](auto ch) { return ch == ' ' || ch == '\t' || ch == '\n' || ch == '\r'; };
    size_t b = 0, e = text.size();
    while (b < e && isSpace(text[b])) ++b;
    while (e > b && isSpace(text[e - 1])) --e;
    return text.substr(b, e - b);
}
}  // namespace

std::string Trim(const std::string& text) { return TrimImpl(text); }
std::wstring Trim(const std::wstring& text) { return TrimImpl(text); }

std::string ToLower(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return text;
}
std::wstring ToLower(std::wstring text) {
    for (wchar_t& c : text) c = static_cast<wchar_t>(std::towlower(static_cast<wint_t>(c)));
    return text;
}
std::string ToUpper(std::string text) {
    for (char& c : text)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return text;
}
std::wstring ToUpper(std::wstring text) {
    for (wchar_t& c : text) c = static_cast<wchar_t>(std::towupper(static_cast<wint_t>(c)));
    return text;
}

bool EqualsIgnoreCase(const std::string& a, const std::string& b) {
    return a.size() == b.size() && ToLower(a) == ToLower(b);
}

std::string QuoteValue(const std::string& utf8, char quote) {
    const char* p = utf8.data();
    const char* end = p + utf8.size();
    size_t characters = 0;
    while (p < end && characters < kQuotedValueLimit) {
        if (static_cast<unsigned char>(*p) < 0x80) ++p;
        else NextUtf8CodePoint(p, end);
        ++characters;
    }
    std::string out(1, quote);
    out.append(utf8.data(), static_cast<size_t>(p - utf8.data()));
    if (p < end) out += "...";
    out += quote;
    return out;
}

std::string QuoteValue(const std::wstring& text, char quote) {
    if (text.size() <= kQuotedValueLimit) return quote + WStringToString(text) + quote;
    return quote + WStringToString(text.substr(0, kQuotedValueLimit)) + "..." + quote;
}

bool StringToInt(const std::string& text, int& out) {
    std::string t = Trim(text);
    if (t.empty()) return false;
    errno = 0;
    char* end = nullptr;
    long long v = std::strtoll(t.c_str(), &end, 10);
    if (errno != 0 || *end != '\0' || v < INT32_MIN || v > INT32_MAX) return false;
    out = static_cast<int>(v);
    return true;
}

bool StringToInt(const std::wstring& text, int& out) { return StringToInt(WStringToString(text), out); }

bool StringToDouble(const std::string& text, double& out) {
    std::string t = Trim(text);
    if (t.empty()) return false;
    // Parse with a fixed '.' regardless of locale.
    errno = 0;
    char* end = nullptr;
    double v = std::strtod(t.c_str(), &end);
    if (errno == ERANGE || *end != '\0') return false;
    out = v;
    return true;
}

bool StringToDouble(const std::wstring& text, double& out) {
    return StringToDouble(WStringToString(text), out);
}

std::wstring CommaSeparate(long long value) {
    bool negative = value < 0;
    unsigned long long mag = negative ? 0ull - static_cast<unsigned long long>(value)
                                      : static_cast<unsigned long long>(value);
    std::wstring digits = std::to_wstring(mag);
    std::wstring out;
    int count = 0;
    for (size_t i = digits.size(); i-- > 0;) {
        out += digits[i];
        if (++count % 3 == 0 && i > 0) out += L',';
    }
    if (negative) out += L'-';
    std::reverse(out.begin(), out.end());
    return out;
}

namespace {
template <class S>
S ReplaceAllImpl(const S& text, const S& token, const S& replacement) {
    if (token.empty()) return text;
    S out;
    size_t pos = 0;
    for (;;) {
        size_t hit = text.find(token, pos);
        if (hit == S::npos) break;
        out.append(text, pos, hit - pos);
        out += replacement;
        pos = hit + token.size();
    }
    out.append(text, pos, S::npos);
    return out;
}

template <class S, class C>
std::vector<S> SplitImpl(const S& text, C sep) {
    std::vector<S> parts;
    size_t start = 0;
    for (;;) {
        size_t hit = text.find(sep, start);
        if (hit == S::npos) {
            parts.push_back(text.substr(start));
            return parts;
        }
        parts.push_back(text.substr(start, hit - start));
        start = hit + 1;
    }
}
}  // namespace

std::wstring StringReplaceAll(const std::wstring& text, const std::wstring& token,
                              const std::wstring& replacement) {
    return ReplaceAllImpl(text, token, replacement);
}
std::string StringReplaceAll(const std::string& text, const std::string& token,
                             const std::string& replacement) {
    return ReplaceAllImpl(text, token, replacement);
}

std::vector<std::wstring> SplitString(const std::wstring& text, wchar_t separator) {
    return SplitImpl(text, separator);
}
std::vector<std::string> SplitString(const std::string& text, char separator) {
    return SplitImpl(text, separator);
}

std::wstring DecodeXmlEntities(const std::wstring& text) {
    std::wstring out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != L'&') {
            out += text[i];
            continue;
        }
        size_t semi = text.find(L';', i);
        if (semi == std::wstring::npos || semi - i > 12) {
            out += text[i];
            continue;
        }
        std::wstring name = text.substr(i + 1, semi - i - 1);
        wchar_t ch = 0;
        if (name == L"lt") ch = L'<';
        else if (name == L"gt") ch = L'>';
        else if (name == L"amp") ch = L'&';
        else if (name == L"quot") ch = L'"';
        else if (name == L"apos") ch = L'\'';
        else if (name.size() > 1 && name[0] == L'#') {
            unsigned long cp = 0;
            bool hex = name[1] == L'x' || name[1] == L'X';
            size_t start = hex ? 2 : 1;
            bool ok = start < name.size();
            for (size_t k = start; k < name.size() && ok; ++k) {
                wchar_t d = name[k];
                int v = (d >= L'0' && d <= L'9') ? d - L'0'
                        : hex && d >= L'a' && d <= L'f' ? d - L'a' + 10
                        : hex && d >= L'A' && d <= L'F' ? d - L'A' + 10
                                                        : -1;
                if (v < 0) ok = false;
                else cp = cp * (hex ? 16 : 10) + static_cast<unsigned long>(v);
                if (cp > 0x10FFFF) ok = false;
            }
            if (ok && cp != 0) ch = static_cast<wchar_t>(cp);
        }
        if (ch == 0) {
            out += text[i];
            continue;
        }
        out += ch;
        i = semi;
    }
    return out;
}

std::string DecodeXmlEntities(const std::string& text) {
    return WStringToString(DecodeXmlEntities(StringToWString(text)));
}

std::wstring EncodeXmlEntities(const std::wstring& text) {
    std::wstring out;
    out.reserve(text.size());
    for (wchar_t c : text) {
        switch (c) {
        case L'&': out += L"&amp;"; break;
        case L'<': out += L"&lt;"; break;
        case L'>': out += L"&gt;"; break;
        case L'"': out += L"&quot;"; break;
        // Raw line breaks and tabs in an attribute would come back as spaces.
        case L'\t': out += L"&#9;"; break;
        case L'\n': out += L"&#10;"; break;
        case L'\r': out += L"&#13;"; break;
        default:
            // Characters XML cannot hold at all are dropped.
            if (c >= 0x20 && c != 0xFFFE && c != 0xFFFF) out += c;
            break;
        }
    }
    return out;
}

std::string EncodeXmlEntities(const std::string& text) {
    return WStringToString(EncodeXmlEntities(StringToWString(text)));
}
