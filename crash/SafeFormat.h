#pragma once
#include <cstdarg>
#include <cstddef>

// A printf subset that is safe inside a signal handler: no allocation, no
// locale, no locks. Conversions: %s %c %d %u %x %X with the flags '0' and '-',
// a width, and the length modifiers l, ll and h (%hs reads as %s); %%.
// Always ends the output with a NUL within `size`; returns the length written.
size_t SafeFormat(char* out, size_t size, const char* format, ...)
    __attribute__((format(printf, 3, 4)));
size_t SafeFormatV(char* out, size_t size, const char* format, va_list args);

// A fixed buffer that report text is appended to; output past its end is cut.
class SafeText {
public:
    SafeText(char* buffer, size_t size);
    void Append(const char* text);
    void Appendf(const char* format, ...) __attribute__((format(printf, 2, 3)));
    const char* Text() const { return mBuffer; }
    size_t Length() const { return mLength; }

private:
    char* mBuffer;
    size_t mSize;
    size_t mLength = 0;
};
