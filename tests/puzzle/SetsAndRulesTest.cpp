#include <gtest/gtest.h>

#include "core/Log.h"
#include "puzzle/GameDataCheck.h"
#include "puzzle/GameStats.h"
#include "puzzle/MyLocalization.h"
#include "puzzle/PuzzleStats.h"
#include "puzzle/SetStats.h"

namespace {
// Loads and publishes a sets7.xml text; false (with the message) when refused.
bool LoadSets(const std::string& xml, std::string* error = nullptr) {
    SetStats stats(false);
    SetDebugOutputEnabled(false);
    bool ok = stats.LoadText(xml, "sets.xml");
    SetDebugOutputEnabled(true);
    if (ok) stats.Publish();
    if (error) *error = stats.GetErrorText();
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

TEST(SetCatalogue, ReadsSetsInFileOrderAndFallsBackToTheFirstGame) {
    ASSERT_TRUE(LoadSets(kTwoGames));
    ASSERT_EQ(gSetTable.Get()->size(), 3u);
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
    // An unknown name falls back to the first game; no table, to an empty record.
    EXPECT_EQ(&SetStats::FindGame(L"nope"), &first);
    EXPECT_EQ(&SetStats::FindGame(L"FIRST"), &first);
    EXPECT_TRUE(SetStats::FindGame(SetTable(), L"first").mModes[0].empty());
}

TEST(SetCatalogue, OutOfPlaceElementsFailTheFileAndPublishNothing) {
    ASSERT_TRUE(LoadSets(kTwoGames));
    const char* const broken[] = {"<sets><mode/></sets>", "<sets><game name=\"g\"><set name=\"early\"/></game></sets>",
                                  "<sets><game name=\"g\"><mode/><music name=\"m\"/></game></sets>",
                                  "<sets><game name=\"g\"><mode/><mode/><mode/></game></sets>",
                                  "<sets><game name=\"g\"><mode><set name=\"cut\"/>"};
    for (const char* xml : broken) {
        std::string error;
        EXPECT_FALSE(LoadSets(xml, &error)) << xml;
        EXPECT_NE(error.find("Line 1 in File 'sets.xml'"), std::string::npos) << error;
    }
    EXPECT_EQ(gSetTable.Get()->size(), 3u);
}

TEST(GridRules, ReadsRecordsAndAnUnknownSizeIsZeroWithoutAnEntry) {
    GameStats stats(false);
    ASSERT_TRUE(stats.LoadText("<game><grid size=\"5\" mistakes=\"3\" hints=\"5\" hint-reward=\"1\" offset-x=\"380\" "
                               "offset-y=\"100+20\"/><grid size=\"5\" mistakes=\"4\"/><other size=\"7\"/></game>",
                               "game.xml"));
    stats.Publish();
    ASSERT_EQ(gGridConfigs.Get()->size(), 1u);
    EXPECT_EQ(FindGridConfig(5).mMistakes, 4);  // the later record replaces the earlier
    EXPECT_EQ(FindGridConfig(5).mHints, 0);
    const GridConfig unknown = FindGridConfig(9);
    EXPECT_EQ(unknown.mMistakes + unknown.mHints + unknown.mHintReward + unknown.mOffsetX + unknown.mOffsetY, 0);
    EXPECT_EQ(gGridConfigs.Get()->size(), 1u);
    GameStats broken(false);
    EXPECT_FALSE(broken.LoadText("<game><grid size=\"5\"/>", "game.xml"));
    EXPECT_EQ(gGridConfigs.Get()->size(), 1u);
}

TEST(GameData, RefusesMissingOrZeroGridRulesAndMismatchedSets) {
    gGridConfigs.Publish({});
    PuzzleStats puzzles(false);
    const std::string set = "<set><puzzle><grid>10 01</grid></puzzle></set>";
    ASSERT_TRUE(puzzles.LoadText("<p><game name=\"quiltro7\"><mode>" + set + "</mode></game></p>", "p.xml"));
    puzzles.Publish();
    std::string message;
    EXPECT_FALSE(CheckGameData(message)) << "the story needs its tutorial set and one more";
    EXPECT_NE(message.find("two story sets"), std::string::npos) << message;
    ASSERT_TRUE(puzzles.LoadText("<p><game name=\"quiltro7\"><mode>" + set + set + "</mode></game></p>", "p.xml"));
    puzzles.Publish();
    ASSERT_TRUE(LoadSets("<s><game name=\"quiltro7\"><mode><set name=\"a\"/><set name=\"b\"/></mode></game></s>"));
    EXPECT_FALSE(CheckGameData(message));
    EXPECT_NE(message.find("game.xml"), std::string::npos) << message;
    EXPECT_TRUE(gGridConfigs.Get()->empty());  // the check itself inserts nothing

    gGridConfigs.Publish(GridConfigTable{{2, GridConfig{0, 0, 1, 1, 0}}});
    EXPECT_FALSE(CheckGameData(message));
    EXPECT_NE(message.find("mistakes"), std::string::npos) << message;
    gGridConfigs.Edit([](GridConfigTable& rules) { rules[2].mMistakes = 2; });
    EXPECT_TRUE(CheckGameData(message)) << message;

    ASSERT_TRUE(LoadSets("<s><game name=\"quiltro7\"><mode><set name=\"a\"/><set name=\"b\"/><set name=\"c\"/>"
                         "</mode></game></s>"));
    EXPECT_FALSE(CheckGameData(message));
    EXPECT_NE(message.find("sets7.xml"), std::string::npos) << message;

    gSetTable.Publish({});
    EXPECT_FALSE(CheckGameData(message));
    gPuzzleTable.Publish({});
    EXPECT_FALSE(CheckGameData(message));
    EXPECT_NE(message.find("puzzles_quiltro7.xml"), std::string::npos) << message;
}

// The puzzle page shows at most kPuzzlesPerPage puzzles and a set is finished
// there: a set with more, or with none, can never be finished.
TEST(GameData, RefusesASetWithNoPuzzleOrMoreThanThePageHolds) {
    gGridConfigs.Publish(GridConfigTable{{2, GridConfig{0, 0, 3, 1, 3}}});
    ASSERT_TRUE(LoadSets("<s><game name=\"quiltro7\"><mode><set name=\"meadow\"/><set name=\"harbor\"/></mode>"
                         "<mode><set name=\"extra\"/></mode></game></s>"));
    auto setOf = [](int count) {
        std::string xml = "<set>";
        for (int i = 0; i < count; ++i) xml += "<puzzle name=\"p" + std::to_string(i) + "\"><grid>10 01</grid></puzzle>";
        return xml + "</set>";
    };
    auto check = [&](int story2, int bonus1, std::string& message) {
        PuzzleStats puzzles(false);
        EXPECT_TRUE(puzzles.LoadText("<p><game name=\"quiltro7\"><mode>" + setOf(2) + setOf(story2) + "</mode><mode>" +
                                         setOf(bonus1) + "</mode></game></p>",
                                     "p.xml"));
        puzzles.Publish();
        return CheckGameData(message);
    };
    std::string message;
    EXPECT_TRUE(check(kPuzzlesPerPage, 1, message)) << message;
    EXPECT_EQ(kPuzzlesPerPage, 10);

    EXPECT_FALSE(check(kPuzzlesPerPage + 1, 1, message));
    EXPECT_EQ(message, "properties/puzzles_quiltro7.xml: story set 2 (\"harbor\") has 11 puzzles; a set needs 1 to 10, "
                       "as many as its page holds.");
    EXPECT_FALSE(check(40, 1, message));
    EXPECT_NE(message.find("story set 2 (\"harbor\") has 40 puzzles"), std::string::npos) << message;
    EXPECT_FALSE(check(0, 1, message));
    EXPECT_NE(message.find("story set 2 (\"harbor\") has 0 puzzles"), std::string::npos) << message;
    EXPECT_FALSE(check(3, 0, message));
    EXPECT_NE(message.find("bonus set 1 (\"extra\") has 0 puzzles"), std::string::npos) << message;
    EXPECT_FALSE(check(3, 12, message));
    EXPECT_NE(message.find("bonus set 1 (\"extra\") has 12 puzzles"), std::string::npos) << message;
}

TEST(PuzzleTitles, SetsCollectTitlesAndTheBaseGetsTheRest) {
    MyLocalization loc(false);
    ASSERT_TRUE(loc.LoadText("<localization><alps>The Alps</alps><id tag=\"p_heart\" value=\"Heart\"/>"
                             "<set name=\"alps\"><puzzle>Heart</puzzle><puzzle>Cross[br]Roads</puzzle></set>"
                             "<set name=\"fjord\"><puzzle>One</puzzle></set>"
                             "<set name=\"alps\"><puzzle>Third</puzzle></set></localization>",
                             "loc.xml"));
    EXPECT_EQ(FindPuzzleTitle(L"alps", 1), L"Cross\nRoads");
    EXPECT_EQ(FindPuzzleTitle(L"alps", 2), L"Third");
    EXPECT_EQ(FindPuzzleTitle(L"alps", 3), L"");
    EXPECT_EQ(FindPuzzleTitle(L"fjord", 0), L"One");
    EXPECT_EQ(gPuzzleTitles.Get()->count(L"nope"), 0u);
    EXPECT_EQ(GetLocalizedString(L"alps"), L"The Alps");
    EXPECT_EQ(GetLocalizedString(L"p_heart"), L"Heart");
    EXPECT_FALSE(HasLocalizedString(L"set"));

    // A reload (the developer code) gives the same lists, not doubled ones.
    MyLocalization again(false);
    ASSERT_TRUE(again.LoadText("<localization><set name=\"alps\"><puzzle>New</puzzle></set></localization>", "l"));
    EXPECT_EQ(FindPuzzleTitle(L"alps", 0), L"New");
    EXPECT_EQ(FindPuzzleTitle(L"alps", 1), L"");
}
