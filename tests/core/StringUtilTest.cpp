#include <gtest/gtest.h>

#include <clocale>

#include "core/StringUtil.h"

TEST(StrFormat, ShortOutputAndNoLengthLimit) {
    EXPECT_EQ(StrFormat("%d of %s", 3, "five"), "3 of five");
    std::string big(5000, 'x');
    std::string s = StrFormat("[%s]%d", big.c_str(), 42);
    EXPECT_EQ(s.size(), 5000u + 4u);
    EXPECT_EQ(s.substr(s.size() - 3), "]42");
}

TEST(WStrFormat, LongerThanAnyFixedBufferWithWideAndNarrowArguments) {
    std::wstring wide(3000, L'\x00e9');  // é
    std::string narrow(3000, 'n');
    std::wstring s = WStrFormat(L"%ls|%s|%d|%05.1f", wide.c_str(), narrow.c_str(), -7, 2.25);
    ASSERT_EQ(s.size(), 3000u + 1 + 3000u + 1 + 2 + 1 + 5);
    EXPECT_EQ(s.substr(0, 3000), wide);
    EXPECT_EQ(s.substr(3001, 3000), std::wstring(3000, L'n'));
    EXPECT_EQ(s.substr(6002), L"-7|002.2");
}

TEST(Utf8, RoundTripsNonAsciiText) {
    const std::wstring samples[] = {
        L"", L"plain", L"Grüße, Ñandú", L"\x65e5\x672c\x8a9e", L"emoji \x1F600 end",
        std::wstring(1, static_cast<wchar_t>(0x10FFFF)),
    };
    for (const std::wstring& w : samples) EXPECT_EQ(StringToWString(WStringToString(w)), w);
    EXPECT_EQ(WStringToString(L"\x00e9"), "\xc3\xa9");
    EXPECT_EQ(WStringToString(L"\x1F600"), "\xf0\x9f\x98\x80");
}

TEST(Utf8, DoesNotDependOnTheLocale) {
    // The C locale can't convert é; explicit UTF-8 must still work.
    std::setlocale(LC_ALL, "C");
    EXPECT_EQ(WStringToString(L"caf\x00e9"), "caf\xc3\xa9");
}

// The one decoder at every edge of what UTF-8 allows: the shortest form of
// each length, the surrogates and the last code point.
TEST(Utf8, DecoderKeepsEveryEdgeAndRefusesWhatUtf8Forbids) {
    struct Case { const char* bytes; std::wstring text; };
    const Case cases[] = {
        {"\x7f", L"\x7f"},
        {"\xc2\x80", L"\x80"},                    {"\xc1\xbf", L"\xFFFD"},          // overlong 2-byte
        {"\xe0\xa0\x80", L"\x800"},                {"\xe0\x9f\xbf", L"\xFFFD"},      // overlong 3-byte
        {"\xf0\x90\x80\x80", std::wstring(1, static_cast<wchar_t>(0x10000))},
        {"\xf0\x8f\xbf\xbf", L"\xFFFD"},                                            // overlong 4-byte
        {"\xed\x9f\xbf", L"\xd7ff"},               {"\xed\xa0\x80", L"\xFFFD"},      // first surrogate
        {"\xed\xbf\xbf", L"\xFFFD"},               {"\xee\x80\x80", L"\xe000"},      // last surrogate
        {"\xf4\x8f\xbf\xbf", std::wstring(1, static_cast<wchar_t>(0x10FFFF))},
        {"\xf4\x90\x80\x80", L"\xFFFD"},                                            // beyond U+10FFFF
        {"a\xff" "b", L"a\xFFFD" L"b"},           {"\xc3", L"\xFFFD"},               // stray, cut short
        {"\xe2\x82" "x", L"\xFFFD" L"x"},
    };
    for (const Case& c : cases) {
        const std::string bytes = c.bytes;
        std::wstring out = L"old text is replaced";
        const bool valid = c.text.find(L'\xFFFD') == std::wstring::npos;
        EXPECT_EQ(DecodeUtf8(bytes.data(), bytes.size(), out), valid) << bytes;
        EXPECT_EQ(out, c.text) << bytes;
        EXPECT_EQ(IsValidUtf8(bytes.data(), bytes.size()), valid) << bytes;
        EXPECT_EQ(StringToWString(bytes), c.text) << bytes;
    }
    EXPECT_EQ(WStringToString(std::wstring(1, static_cast<wchar_t>(0xD800))), "\xef\xbf\xbd");
}

TEST(StringUtil, TrimCaseReplaceAndSplit) {
    EXPECT_EQ(Trim(std::string(" \t a b \r\n")), "a b");
    EXPECT_EQ(Trim(std::wstring(L"   ")), L"");
    EXPECT_EQ(ToLower(std::string("MiXeD")), "mixed");
    EXPECT_TRUE(EqualsIgnoreCase("Properties/A.XML", "properties/a.xml"));
}

TEST(StringUtil, NumberParsingIsWholeString) {
    int i = 0;
    EXPECT_TRUE(StringToInt(std::string(" 42 "), i));
    EXPECT_EQ(i, 42);
    EXPECT_FALSE(StringToInt(std::string("42x"), i));
    EXPECT_FALSE(StringToInt(std::string("99999999999"), i));
    EXPECT_FALSE(StringToInt(std::string(""), i));
    double d = 0;
    EXPECT_TRUE(StringToDouble(std::wstring(L"0.25"), d));
    EXPECT_DOUBLE_EQ(d, 0.25);
    EXPECT_FALSE(StringToDouble(std::string("1e999"), d));
}

TEST(StringUtil, ThousandsSeparators) {
    EXPECT_EQ(CommaSeparate(0), L"0");
    EXPECT_EQ(CommaSeparate(999), L"999");
    EXPECT_EQ(CommaSeparate(1000), L"1,000");
    EXPECT_EQ(CommaSeparate(-1234567), L"-1,234,567");
    EXPECT_EQ(CommaSeparate(INT64_MIN), L"-9,223,372,036,854,775,808");
}

TEST(StringUtil, ReplaceAllAndSplit) {
    EXPECT_EQ(StringReplaceAll(std::wstring(L"a[br]b[br]"), L"[br]", L"\n"), L"a\nb\n");
    EXPECT_EQ(StringReplaceAll(std::wstring(L"aaa"), L"", L"x"), L"aaa");
    EXPECT_EQ(StringReplaceAll(std::string("aaa"), "a", "aa"), "aaaaaa");
    auto parts = SplitString(std::wstring(L"a,,b"), L',');
    ASSERT_EQ(parts.size(), 3u);
    EXPECT_EQ(parts[1], L"");
}

TEST(XmlEntities, DecodeKnownAndNumericReferences) {
    EXPECT_EQ(DecodeXmlEntities(std::wstring(L"&lt;a&gt; &amp;&amp; &quot;q&quot; &apos;")),
              L"<a> && \"q\" '");
    EXPECT_EQ(DecodeXmlEntities(std::wstring(L"&#65;&#x42;&#x1F600;")), L"AB\x1F600");
    // Unknown, unterminated and out-of-range references stay as they are.
    EXPECT_EQ(DecodeXmlEntities(std::wstring(L"&nbsp; & &#xFFFFFFFF; &#;")),
              L"&nbsp; & &#xFFFFFFFF; &#;");
}

TEST(XmlEntities, EncodeRoundTrips) {
    std::wstring name = L"Tom & \"Jerry\" <3 'x'\tline\nbreak";
    std::wstring encoded = EncodeXmlEntities(name);
    EXPECT_EQ(encoded.find_first_of(L"<>\"\t\n"), std::wstring::npos);
    EXPECT_EQ(DecodeXmlEntities(encoded), name);
    // Characters XML cannot hold are dropped rather than written broken.
    EXPECT_EQ(EncodeXmlEntities(std::wstring(L"a\x01" L"b\xFFFE")), L"ab");
}
