#include <gtest/gtest.h>

#include "core/Log.h"
#include "puzzle/GameDataCheck.h"
#include "puzzle/GameStats.h"
#include "puzzle/MyLocalization.h"
#include "puzzle/PuzzleStats.h"
#include "puzzle/SetStats.h"

namespace {
bool LoadSets(const std::string& xml, SetStats* keep = nullptr) {
    gSetTable.clear();
    SetStats local(false);
    SetStats& stats = keep ? *keep : local;
    SetDebugOutputEnabled(false);
    bool ok = stats.LoadText(xml, "sets.xml");
    SetDebugOutputEnabled(true);
    return ok;
}

const char* kTwoGames =
    "<sets><game name=\"first\"><mode>"
    "<set name=\"alps\" wing=\"w\" background=\"bg\" x=\"200\" y=\"100+50\" unlock=\"2*3\" separate=\"1\">"
    "<music name=\"no_such_track\"/><music name=\"another_missing\"/></set>"
    "<set name=\"plain\"/></mode><mode><set name=\"bonus\" separate=\"true\"/></mode></game>"
    "<game name=\"second\"><mode><set name=\"s2\"/></mode></game>"
    "<game name=\"first\"><mode><set name=\"dup\"/></mode></game></sets>";
}  // namespace

TEST(SetCatalogue, ReadsSetsInFileOrder) {
    ASSERT_TRUE(LoadSets(kTwoGames));
    ASSERT_EQ(gSetTable.size(), 3u);
    const GameSets& first = SetStats::FindGame(L"first");
    ASSERT_EQ(first.mModes[0].size(), 3u);  // the duplicate game's set lands in the first record
    const SetRecord& alps = first.mModes[0][0];
    EXPECT_EQ(alps.mName, L"alps");
    EXPECT_EQ(alps.mWing, L"w");
    EXPECT_EQ(alps.mBackground, L"bg");
    EXPECT_EQ(alps.mX, 200);
    EXPECT_EQ(alps.mY, 150);
    EXPECT_EQ(alps.mUnlock, 6);
    EXPECT_TRUE(alps.mSeparate);
    ASSERT_EQ(alps.mMusicIds.size(), 2u);
    EXPECT_EQ(alps.mMusicIds[0], -1);
    EXPECT_EQ(alps.mMusicNames[1], L"another_missing");
    const SetRecord& plain = first.mModes[0][1];
    EXPECT_EQ(plain.mX, 0);
    EXPECT_EQ(plain.mY, 0);
    EXPECT_EQ(plain.mUnlock, 0);
    EXPECT_FALSE(plain.mSeparate);
    EXPECT_TRUE(plain.mMusicIds.empty());
    EXPECT_EQ(first.mModes[0][2].mName, L"dup");
    EXPECT_TRUE(first.mModes[1][0].mSeparate);
    EXPECT_EQ(SetStats::FindGame(L"second").mModes[0][0].mName, L"s2");
}

TEST(SetCatalogue, FindGameFallsBackToTheFirstGame) {
    ASSERT_TRUE(LoadSets(kTwoGames));
    EXPECT_EQ(&SetStats::FindGame(L"nope"), &gSetTable[0]);
    EXPECT_EQ(&SetStats::FindGame(L"FIRST"), &gSetTable[0]);
    gSetTable.clear();
    const GameSets& none = SetStats::FindGame(L"first");  // no table: an empty record, no crash
    EXPECT_TRUE(none.mModes[0].empty());
}

TEST(SetCatalogue, OutOfPlaceElementsAreSkipped) {
    SetStats stats(false);
    ASSERT_TRUE(LoadSets("<sets><mode/><game name=\"g\"><set name=\"early\"/><music name=\"m\"/>"
                         "<mode/><mode/><mode><set name=\"third\"/></mode></game></sets>", &stats));
    ASSERT_EQ(gSetTable.size(), 1u);
    EXPECT_TRUE(gSetTable[0].mModes[0].empty());
    EXPECT_TRUE(gSetTable[0].mModes[1].empty());
    EXPECT_EQ(stats.GetProblems().Lines().size(), 5u);
}

TEST(GridRules, ReadsRecordsAndInsertsZeroForUnknownSizes) {
    gGridConfigs.clear();
    GameStats stats(false);
    ASSERT_TRUE(stats.LoadText("<game><grid size=\"5\" mistakes=\"3\" hints=\"5\" hint-reward=\"1\" offset-x=\"380\" "
                               "offset-y=\"100+20\"/><grid size=\"5\" mistakes=\"4\"/><other size=\"7\"/></game>",
                               "game.xml"));
    ASSERT_EQ(gGridConfigs.size(), 1u);
    EXPECT_EQ(gGridConfigs[5].mMistakes, 4);  // the later record replaces the earlier
    EXPECT_EQ(gGridConfigs[5].mHints, 0);
    const GridConfig& unknown = gGridConfigs[9];
    EXPECT_EQ(unknown.mMistakes + unknown.mHints + unknown.mHintReward + unknown.mOffsetX + unknown.mOffsetY, 0);
    EXPECT_EQ(gGridConfigs.size(), 2u);
}

TEST(GameData, RefusesMissingOrZeroGridRulesAndMismatchedSets) {
    gPuzzleTable.clear();
    gGridConfigs.clear();
    PuzzleStats puzzles(false);
    ASSERT_TRUE(puzzles.LoadText("<p><game name=\"quiltro7\"><mode><set><puzzle><grid>10 01</grid></puzzle>"
                                 "</set></mode></game></p>", "p.xml"));
    ASSERT_TRUE(LoadSets("<s><game name=\"quiltro7\"><mode><set name=\"a\"/></mode></game></s>"));
    std::string message;
    EXPECT_FALSE(CheckGameData(message));
    EXPECT_NE(message.find("game.xml"), std::string::npos) << message;
    EXPECT_TRUE(gGridConfigs.empty());  // the check itself inserts nothing

    gGridConfigs[2] = GridConfig{0, 0, 1, 1, 0};
    EXPECT_FALSE(CheckGameData(message));
    EXPECT_NE(message.find("mistakes"), std::string::npos) << message;
    gGridConfigs[2].mMistakes = 2;
    EXPECT_TRUE(CheckGameData(message)) << message;

    ASSERT_TRUE(LoadSets("<s><game name=\"quiltro7\"><mode><set name=\"a\"/><set name=\"b\"/></mode></game></s>"));
    EXPECT_FALSE(CheckGameData(message));
    EXPECT_NE(message.find("sets7.xml"), std::string::npos) << message;

    gSetTable.clear();
    EXPECT_FALSE(CheckGameData(message));
    gPuzzleTable.clear();
    EXPECT_FALSE(CheckGameData(message));
    EXPECT_NE(message.find("puzzles_quiltro7.xml"), std::string::npos) << message;
}

TEST(PuzzleTitles, SetsCollectTitlesAndTheBaseGetsTheRest) {
    MyLocalization loc(false);
    ASSERT_TRUE(loc.LoadText("<localization><alps>The Alps</alps><id tag=\"p_heart\" value=\"Heart\"/>"
                             "<set name=\"alps\"><puzzle>Heart</puzzle><puzzle>Cross[br]Roads</puzzle></set>"
                             "<set name=\"fjord\"><puzzle>One</puzzle></set>"
                             "<set name=\"alps\"><puzzle>Third</puzzle></set></localization>",
                             "loc.xml"));
    ASSERT_EQ(gPuzzleTitles[L"alps"].size(), 3u);
    EXPECT_EQ(gPuzzleTitles[L"alps"][1], L"Cross\nRoads");
    EXPECT_EQ(gPuzzleTitles[L"alps"][2], L"Third");
    EXPECT_EQ(gPuzzleTitles[L"fjord"].size(), 1u);
    EXPECT_EQ(GetLocalizedString(L"alps"), L"The Alps");
    EXPECT_EQ(GetLocalizedString(L"p_heart"), L"Heart");
    EXPECT_FALSE(HasLocalizedString(L"set"));

    // A reload (the developer code) gives the same lists, not doubled ones.
    MyLocalization again(false);
    ASSERT_TRUE(again.LoadText("<localization><set name=\"alps\"><puzzle>New</puzzle></set></localization>", "l"));
    ASSERT_EQ(gPuzzleTitles[L"alps"].size(), 1u);
    EXPECT_EQ(gPuzzleTitles[L"alps"][0], L"New");
}
