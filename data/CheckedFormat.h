#pragma once
#include <cstdint>
#include <initializer_list>
#include <string>

// One argument of FormatChecked: an integer, a character or a text.
class FormatArg {
public:
    enum Kind { Integer, Character, Text };
    FormatArg(int value) : mKind(Integer), mInteger(value) {}             // NOLINT
    FormatArg(long value) : mKind(Integer), mInteger(value) {}            // NOLINT
    FormatArg(long long value) : mKind(Integer), mInteger(value) {}       // NOLINT
    FormatArg(unsigned value) : mKind(Integer), mInteger(value) {}        // NOLINT
    FormatArg(unsigned long value) : mKind(Integer), mInteger(static_cast<long long>(value)) {}  // NOLINT
    FormatArg(wchar_t value) : mKind(Character), mInteger(value) {}       // NOLINT
    FormatArg(const wchar_t* text) : mKind(Text), mText(text ? text : L"") {}  // NOLINT
    FormatArg(const std::wstring& text) : mKind(Text), mText(text) {}     // NOLINT
    FormatArg(const std::string& utf8);                                   // NOLINT
    FormatArg(const char* utf8);                                          // NOLINT

    Kind GetKind() const { return mKind; }
    long long GetInteger() const { return mInteger; }
    const std::wstring& GetText() const { return mText; }

private:
    Kind mKind;
    long long mInteger = 0;
    std::wstring mText;
};

// printf-like formatting for formats that come from data (localized texts).
// Accepted: %d, %Nd, %0Nd (N up to 99), %s, %c and %%, each taking the next
// argument when its type fits (%d an integer, %s a text, %c a character).
// Anything else -- other conversions, a type that does not fit, a missing
// argument -- is copied to the output as literal text and takes no argument.
std::wstring FormatChecked(const std::wstring& format, std::initializer_list<FormatArg> args);
std::wstring FormatChecked(const std::wstring& format, const FormatArg* args, size_t count);

// True when the format takes exactly one integer (%d, %Nd or %0Nd) and has
// no other conversion than "%%": the form of a counter's template.
bool HasOneIntegerConversion(const std::wstring& format);
