#include <gtest/gtest.h>

#include <climits>

#include "data/CheckedFormat.h"

namespace {

TEST(CheckedFormatTest, AcceptedConversions) {
    EXPECT_EQ(FormatChecked(L"%d of %d", {3, 10}), L"3 of 10");
    EXPECT_EQ(FormatChecked(L"[%5d]", {42}), L"[   42]");
    EXPECT_EQ(FormatChecked(L"[%05d]", {-42}), L"[-0042]");
    EXPECT_EQ(FormatChecked(L"%02d:%02d", {5, 7}), L"05:07");
    EXPECT_EQ(FormatChecked(L"[%2d]", {12345}), L"[12345]");
    EXPECT_EQ(FormatChecked(L"%d", {LLONG_MIN}), L"-9223372036854775808");
    EXPECT_EQ(FormatChecked(L"Hello, %s!", {L"Ana"}), L"Hello, Ana!");
    EXPECT_EQ(FormatChecked(L"%s", {std::string("caf\xC3\xA9")}), L"caf\u00e9");
    EXPECT_EQ(FormatChecked(L"%c%c", {L'o', L'k'}), L"ok");
    EXPECT_EQ(FormatChecked(L"100%% %d%%", {5}), L"100% 5%");
}

TEST(CheckedFormatTest, EverythingElseIsLiteral) {
    // Unknown conversions and flags take no argument.
    EXPECT_EQ(FormatChecked(L"%x %f %-5d %ls %n %p", {}), L"%x %f %-5d %ls %n %p");
    EXPECT_EQ(FormatChecked(L"%x then %d", {7}), L"%x then 7");
    // A type that does not fit stays literal and leaves the argument for later.
    EXPECT_EQ(FormatChecked(L"%s has %d", {5}), L"%s has 5");
    EXPECT_EQ(FormatChecked(L"%d", {L"text"}), L"%d");
    EXPECT_EQ(FormatChecked(L"%c", {65}), L"%c");
    // Missing arguments, widths on text, silly widths and a trailing '%'.
    EXPECT_EQ(FormatChecked(L"%d and %s", {}), L"%d and %s");
    EXPECT_EQ(FormatChecked(L"%5s", {L"a"}), L"%5s");
    EXPECT_EQ(FormatChecked(L"%999999999d", {1}), L"%999999999d");
    EXPECT_EQ(FormatChecked(L"50%", {1}), L"50%");
    EXPECT_EQ(FormatChecked(L"", {1}), L"");
}

}  // namespace
