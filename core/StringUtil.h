#pragma once
#include <cstdarg>
#include <cstdint>
#include <string>
#include <vector>

// printf-style formatting into a new string, with no length limit.
std::string StrFormat(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string VStrFormat(const char* format, va_list args);
// Wide formatting: "%ls" takes a wide string argument, "%s" a narrow one.
std::wstring WStrFormat(const wchar_t* format, ...);
std::wstring VWStrFormat(const wchar_t* format, va_list args);

// Explicit UTF-8 conversions; never depend on the process locale. Invalid
// input bytes become U+FFFD.
std::string WStringToString(const std::wstring& text);
std::wstring StringToWString(const std::string& utf8);
// The one UTF-8 decoder: into an existing string (its capacity is reused).
// Overlong forms, surrogates, code points above U+10FFFF and cut-short or
// stray bytes each become one U+FFFD; false when there was any.
bool DecodeUtf8(const char* data, size_t size, std::wstring& out);
// One step of that decoder, for callers that walk the bytes themselves: reads
// the code point at p (p < end, *p not ASCII or ASCII alike) and moves past it.
uint32_t NextUtf8CodePoint(const char*& p, const char* end, bool* valid = nullptr);
bool IsValidUtf8(const char* data, size_t size);
// Appends one code point in UTF-8 (the caller has checked it is valid).
void AppendUtf8(std::string& out, uint32_t codePoint);

std::string Trim(const std::string& text);
std::wstring Trim(const std::wstring& text);
std::string ToLower(std::string text);   // ASCII only
std::wstring ToLower(std::wstring text);
std::string ToUpper(std::string text);
std::wstring ToUpper(std::wstring text);
bool EqualsIgnoreCase(const std::string& a, const std::string& b);

// A value as a message quotes it: between the quote marks, cut after its
// first kQuotedValueLimit characters with "..." when it is longer, so that
// whatever follows it in the message (the file and the line) still shows.
constexpr size_t kQuotedValueLimit = 60;
std::string QuoteValue(const std::string& utf8, char quote = '\'');
std::string QuoteValue(const std::wstring& text, char quote = '\'');

// Whole-string number parsing (leading and trailing white space allowed).
bool StringToInt(const std::string& text, int& out);
bool StringToInt(const std::wstring& text, int& out);
bool StringToDouble(const std::string& text, double& out);
bool StringToDouble(const std::wstring& text, double& out);

// 1234567 -> "1,234,567".
std::wstring CommaSeparate(long long value);

std::wstring StringReplaceAll(const std::wstring& text, const std::wstring& token,
                              const std::wstring& replacement);
std::string StringReplaceAll(const std::string& text, const std::string& token,
                             const std::string& replacement);

// Splits at the separator; empty parts are kept.
std::vector<std::wstring> SplitString(const std::wstring& text, wchar_t separator);
std::vector<std::string> SplitString(const std::string& text, char separator);

// &lt; &gt; &amp; &quot; &apos; and numeric references; unknown ones stay as they are.
std::wstring DecodeXmlEntities(const std::wstring& text);
std::string DecodeXmlEntities(const std::string& text);
// Escapes & < > " and line breaks and tabs, and drops characters XML cannot
// hold, so the text can stand in a double-quoted attribute or an element.
std::wstring EncodeXmlEntities(const std::wstring& text);
std::string EncodeXmlEntities(const std::string& text);
