#include <gtest/gtest.h>

#include <initializer_list>

#include "core/NearestName.h"

namespace {

std::wstring Nearest(const wchar_t* name, std::initializer_list<const wchar_t*> known) {
    NearestName nearest(name);
    for (const wchar_t* k : known) nearest.Offer(k);
    return nearest.Get();
}

}  // namespace

TEST(NearestName, EditsAreCountedUpToTheLimit) {
    EXPECT_EQ(EditDistance(L"opacity", L"opacity", 2), 0u);
    EXPECT_EQ(EditDistance(L"opactiy", L"opacity", 2), 2u);  // a swap is two edits
    EXPECT_EQ(EditDistance(L"asign", L"assign", 2), 1u);
    EXPECT_EQ(EditDistance(L"", L"xyz", 5), 3u);
    EXPECT_EQ(EditDistance(L"abcdef", L"uvwxyz", 2), 3u) << "anything past the limit reads as limit + 1";
    EXPECT_EQ(EditDistance(L"a", L"abcdefgh", 2), 3u);
}

TEST(NearestName, SuggestsOnlyANearNameAndTheFirstOfATie) {
    EXPECT_EQ(Nearest(L"asign", {L"assign", L"define", L"sound"}), L"assign");
    EXPECT_EQ(Nearest(L"opactiy", {L"x", L"opacity", L"angle"}), L"opacity");
    EXPECT_EQ(Nearest(L"scale-x", {L"scale_y", L"scale_x"}), L"scale_x") << "the nearer, not the first offered";
    EXPECT_EQ(Nearest(L"stop-x", {L"stop-b", L"stop-a"}), L"stop-a") << "a tie goes to the first in text order";
    // Short names are corrected by fewer edits: a third of their letters.
    EXPECT_EQ(Nearest(L"xy", {L"x", L"y"}), L"");
    EXPECT_EQ(Nearest(L"alph", {L"alpha"}), L"alpha");
    EXPECT_EQ(Nearest(L"wdith", {L"width"}), L"") << "a swap is two edits, too many for five letters";
    EXPECT_EQ(Nearest(L"anything", {}), L"");
    EXPECT_EQ(Nearest(L"", {L"x", L""}), L"");
}
