#include "data/ScriptNumber.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace {
bool IsDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }
bool IsSpace(wchar_t c) { return c == L' ' || c == L'\t' || c == L'\n' || c == L'\r'; }
}  // namespace

size_t ScanScriptNumber(const wchar_t* text, const wchar_t* end) {
    const wchar_t* p = text;
    while (p < end && IsDigit(*p)) ++p;
    bool intDigits = p > text;
    if (p + 1 < end && *p == L'.' && IsDigit(p[1])) {
        p += 2;
        while (p < end && IsDigit(*p)) ++p;
    } else if (!intDigits) {
        return 0;
    }
    if (p < end && (*p == L'e' || *p == L'E')) {
        const wchar_t* q = p + 1;
        if (q < end && (*q == L'+' || *q == L'-')) ++q;
        if (q < end && IsDigit(*q)) {
            while (q < end && IsDigit(*q)) ++q;
            p = q;
        }
    }
    return static_cast<size_t>(p - text);
}

ScriptNumber ConvertScriptNumber(const wchar_t* text, size_t length) {
    ScriptNumber result;
    int64_t whole = 0;
    bool fits = true;
    for (size_t i = 0; i < length; ++i) {
        if (!IsDigit(text[i])) {
            result.mIsInt = false;
            break;
        }
        if (fits) {
            whole = whole * 10 + (text[i] - L'0');
            if (whole > std::numeric_limits<int32_t>::max()) fits = false;
        }
    }
    if (result.mIsInt && fits) {
        result.mInt = static_cast<int32_t>(whole);
        result.mDouble = static_cast<double>(whole);
        return result;
    }
    result.mIsInt = false;
    // The literal is plain ASCII by construction; narrow it for from_chars.
    char small[64];
    std::string large;
    char* buffer = small;
    if (length >= sizeof(small)) {
        large.resize(length);
        buffer = large.data();
    }
    for (size_t i = 0; i < length; ++i) buffer[i] = static_cast<char>(text[i]);
    double value = 0.0;
    auto [ptr, ec] = std::from_chars(buffer, buffer + length, value);
    if (ec == std::errc::result_out_of_range) {
        // Too large becomes infinity, too small 0, as the C library does.
        bool tiny = false;
        for (size_t i = 0; i < length; ++i)
            if (buffer[i] == 'e' || buffer[i] == 'E') tiny = i + 1 < length && buffer[i + 1] == '-';
        value = tiny ? 0.0 : std::numeric_limits<double>::infinity();
    } else if (ec != std::errc()) {
        value = 0.0;
    }
    (void)ptr;
    result.mDouble = value;
    return result;
}

bool ParseScriptNumber(const std::wstring& text, ScriptNumber& out) {
    const wchar_t* p = text.data();
    const wchar_t* end = p + text.size();
    while (p < end && IsSpace(*p)) ++p;
    while (end > p && IsSpace(end[-1])) --end;
    bool negative = false;
    if (p < end && (*p == L'-' || *p == L'+')) {
        negative = *p == L'-';
        ++p;
    }
    size_t length = ScanScriptNumber(p, end);
    if (length == 0 || p + length != end) return false;
    out = ConvertScriptNumber(p, length);
    if (negative) {
        out.mInt = static_cast<int32_t>(0u - static_cast<uint32_t>(out.mInt));
        out.mDouble = -out.mDouble;
    }
    return true;
}

int32_t SaturatingFloatToInt(double value) {
    if (std::isnan(value)) return 0;
    if (value >= 2147483647.0) return std::numeric_limits<int32_t>::max();
    if (value <= -2147483648.0) return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(value);
}
