#include "crash/SafeFormat.h"

namespace {

struct Sink {
    char* out;
    size_t size;
    size_t len = 0;
    void Put(char c) {
        if (len + 1 < size) out[len] = c;
        ++len;
    }
};

void PutPadded(Sink& sink, const char* text, size_t n, int width, bool left, char pad) {
    size_t w = width > 0 ? static_cast<size_t>(width) : 0;
    if (!left)
        for (size_t i = n; i < w; ++i) sink.Put(pad);
    for (size_t i = 0; i < n; ++i) sink.Put(text[i]);
    if (left)
        for (size_t i = n; i < w; ++i) sink.Put(' ');
}

void PutNumber(Sink& sink, unsigned long long v, bool negative, unsigned base, bool upper, int width,
               bool left, bool zero) {
    char digits[24];
    size_t n = 0;
    const char* set = upper ? "0123456789ABCDEF" : "0123456789abcdef";
    do {
        digits[n++] = set[v % base];
        v /= base;
    } while (v);
    char text[26];
    size_t len = 0;
    if (negative && !zero) text[len++] = '-';
    while (n) text[len++] = digits[--n];
    if (negative && zero) {
        sink.Put('-');
        --width;
    }
    PutPadded(sink, text, len, width, left, zero && !left ? '0' : ' ');
}

}  // namespace

size_t SafeFormatV(char* out, size_t size, const char* format, va_list args) {
    Sink sink{out, size};
    for (const char* p = format; *p; ++p) {
        if (*p != '%') {
            sink.Put(*p);
            continue;
        }
        ++p;
        bool left = false, zero = false;
        for (;; ++p) {
            if (*p == '-') left = true;
            else if (*p == '0') zero = true;
            else break;
        }
        int width = 0;
        while (*p >= '0' && *p <= '9') width = width * 10 + (*p++ - '0');
        int longs = 0;
        bool shortArg = false;
        for (;; ++p) {
            if (*p == 'l') ++longs;
            else if (*p == 'h') shortArg = true;
            else break;
        }
        switch (*p) {
        case 's': {
            const char* s = va_arg(args, const char*);
            if (!s) s = "(null)";
            size_t n = 0;
            while (s[n]) ++n;
            PutPadded(sink, s, n, width, left, ' ');
            break;
        }
        case 'c': {
            char c = static_cast<char>(va_arg(args, int));
            PutPadded(sink, &c, 1, width, left, ' ');
            break;
        }
        case 'd': {
            long long v = longs >= 2 ? va_arg(args, long long) : longs == 1 ? va_arg(args, long) : va_arg(args, int);
            if (shortArg) v = static_cast<short>(v);
            unsigned long long mag = v < 0 ? 0ULL - static_cast<unsigned long long>(v) : static_cast<unsigned long long>(v);
            PutNumber(sink, mag, v < 0, 10, false, width, left, zero);
            break;
        }
        case 'u':
        case 'x':
        case 'X': {
            unsigned long long v = longs >= 2 ? va_arg(args, unsigned long long)
                                   : longs == 1 ? va_arg(args, unsigned long)
                                                : va_arg(args, unsigned);
            if (shortArg) v = static_cast<unsigned short>(v);
            PutNumber(sink, v, false, *p == 'u' ? 10 : 16, *p == 'X', width, left, zero);
            break;
        }
        case '%': sink.Put('%'); break;
        case 0: --p; break;
        default: sink.Put('%'); sink.Put(*p); break;
        }
    }
    if (size > 0) out[sink.len < size ? sink.len : size - 1] = 0;
    return sink.len < size ? sink.len : (size ? size - 1 : 0);
}

size_t SafeFormat(char* out, size_t size, const char* format, ...) {
    va_list args;
    va_start(args, format);
    size_t n = SafeFormatV(out, size, format, args);
    va_end(args);
    return n;
}

SafeText::SafeText(char* buffer, size_t size) : mBuffer(buffer), mSize(size) {
    if (mSize) mBuffer[0] = 0;
}

void SafeText::Append(const char* text) { Appendf("%s", text); }

void SafeText::Appendf(const char* format, ...) {
    if (mLength + 1 >= mSize) return;
    va_list args;
    va_start(args, format);
    mLength += SafeFormatV(mBuffer + mLength, mSize - mLength, format, args);
    va_end(args);
}
