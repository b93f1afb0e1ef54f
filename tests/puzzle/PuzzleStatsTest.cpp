#include <gtest/gtest.h>

#include "core/Log.h"
#include "puzzle/PuzzleStats.h"

namespace {
// Loads a catalogue text with the debug output quiet.
struct Loaded {
    explicit Loaded(const std::string& xml) : mStats(false) {
        SetDebugOutputEnabled(false);
        mOk = mStats.LoadText(xml, "test.xml");
        SetDebugOutputEnabled(true);
    }
    const PuzzleRecord& Puzzle(int mode = 0, int set = 0, int index = 0) {
        return mStats.GetTable().at(L"g").mModes[mode].at(set).at(index);
    }
    PuzzleStats mStats;
    bool mOk = false;
};

std::string OnePuzzle(const std::string& attributes, const std::string& body) {
    return "<puzzles><game name=\"g\"><mode><set><puzzle " + attributes + ">" + body +
           "</puzzle></set></mode></game></puzzles>";
}
}  // namespace

TEST(PuzzleCatalogue, DecodesPictureCells) {
    struct Case { char c1, c2; bool ok; int32_t value; };
    const Case cases[] = {{'A', 'A', true, 0},   {'A', 'B', true, 1},   {'B', 'A', true, 26},
                          {'Z', 'Z', true, 675}, {'0', 'A', true, -1},  {'0', 'x', true, -1},
                          {'a', 'A', false, -1}, {'A', '[', false, -1}, {'1', 'A', false, -1}};
    for (const Case& c : cases) {
        int32_t v = 99;
        EXPECT_EQ(PuzzleStats::DecodePictureCell(c.c1, c.c2, v), c.ok) << c.c1 << c.c2;
        EXPECT_EQ(v, c.value) << c.c1 << c.c2;
    }
}

TEST(PuzzleCatalogue, WordsAreRowsAndCharactersColumnsInTheNarrowestCells) {
    Loaded l(OnePuzzle("name=\"p\"", "<grid>\n  0110\n  1001\n  0000 1111</grid><picture>AAABBAZZ 0x0A0ZAA "
                                      "AAAAAAAA</picture><picture>AAAAAAAA</picture>"));
    ASSERT_TRUE(l.mOk) << l.mStats.GetErrorText();
    const PuzzleRecord& p = l.Puzzle();
    ASSERT_EQ(p.GetSize(), 4);
    EXPECT_EQ(p.mSolution.ToColumns(), (PuzzleLayer{{0, 1, 0, 1}, {1, 0, 0, 1}, {1, 0, 0, 1}, {0, 1, 0, 1}}));
    EXPECT_EQ(p.mPicture.ToColumns()[3], (std::vector<int32_t>{675, 0, 0, 0}));
    EXPECT_EQ(p.mPicture.At(1, 1), -1);
    EXPECT_EQ(p.mPicture.At(2, 0), 26);
    // A 0/1 layer takes a bit a cell, a picture two bytes at most.
    EXPECT_EQ(p.mSolution.HeapBytes(), 2u);
    EXPECT_EQ(p.mPicture.HeapBytes(), 32u);
    // Without a picture every cell is without art.
    Loaded bare(OnePuzzle("", "<grid>01 10</grid>"));
    ASSERT_TRUE(bare.mOk);
    EXPECT_EQ(bare.Puzzle().mPicture.ToColumns(), (PuzzleLayer{{-1, -1}, {-1, -1}}));
}

TEST(PuzzleCatalogue, AttributesAreRawBooleanAndExpressions) {
    Loaded l("<puzzles><game name=\"g\"><mode><set>"
             "<puzzle name=\"a b&amp;c\" tested=\"1\" steps=\"2+3\" difficulty=\"4*2\"><grid>1</grid></puzzle>"
             "<puzzle tested=\"true\"><grid>1</grid></puzzle>"
             "<puzzle tested=\"yes\"><grid>1</grid></puzzle>"
             "<puzzle tested=\"TRUE\"><grid>1</grid></puzzle>"
             "<puzzle><grid>1</grid></puzzle>"
             "</set></mode></game></puzzles>");
    ASSERT_TRUE(l.mOk);
    EXPECT_EQ(l.Puzzle(0, 0, 0).mName, L"a b&c");
    EXPECT_EQ(l.Puzzle(0, 0, 0).mSteps, 5);
    EXPECT_EQ(l.Puzzle(0, 0, 0).mDifficulty, 8);
    const bool tested[] = {true, true, false, false, false};
    for (int i = 0; i < 5; ++i) EXPECT_EQ(l.Puzzle(0, 0, i).mTested, tested[i]) << i;
    EXPECT_EQ(l.Puzzle(0, 0, 4).mSteps, 0);
    EXPECT_EQ(l.Puzzle(0, 0, 4).mName, L"");
    // A catalogue saved in a single-byte encoding reads as Latin-1.
    Loaded latin(OnePuzzle("name=\"Ni\xF1o\"", "<grid>1</grid>"));
    ASSERT_TRUE(latin.mOk) << latin.mStats.GetErrorText();
    EXPECT_EQ(latin.Puzzle().mName, L"Ni\u00f1o");
}

TEST(PuzzleCatalogue, ARepeatedGameStartsAfreshAndStrayTextIsIgnored) {
    testing::internal::CaptureStdout();
    Loaded l("<puzzles>loose<game name=\"g\"><mode><set><puzzle name=\"old\"><grid>1</grid></puzzle></set></mode>"
             "</game><game name=\"g\">words<mode><set>here<puzzle name=\"new\"><grid>1</grid>"
             "<picture>AB</picture></puzzle>after</set></mode></game></puzzles>");
    const std::string out = testing::internal::GetCapturedStdout();
    ASSERT_TRUE(l.mOk);
    ASSERT_EQ(l.mStats.GetTable().at(L"g").mModes[0].size(), 1u);
    ASSERT_EQ(l.mStats.GetTable().at(L"g").mModes[0][0].size(), 1u);
    EXPECT_EQ(l.Puzzle().mName, L"new");
    EXPECT_EQ(l.Puzzle().mPicture.At(0, 0), 1);
    // Text with no puzzle to take it is named on standard output, debug output or not.
    EXPECT_NE(out.find("TextBlock cannot resume, mPuzzle == NULL \n Text: after"), std::string::npos) << out;
}

// Each fault fails the whole file with its line and reason; nothing is kept.
TEST(PuzzleCatalogue, FaultsFailTheWholeFileWithLineAndReason) {
    const std::string good = "<puzzle name=\"ok\"><grid>1</grid></puzzle>\n";
    std::string wide, tall;
    for (int i = 0; i < 30; ++i) wide += std::string(30, '1') + " ";
    for (int i = 0; i < 26; ++i) tall += std::string(26, '1') + " ";
    struct Case { std::string body; std::vector<std::string> parts; };
    const std::vector<Case> cases = {
        {good + "<puzzle name=\"cut\"><grid>1", {"XML error", "Line 3", "test.xml"}},
        {good + "<puzzle name=\"hash\"><grid>1#</grid></puzzle>", {"\"hash\"", "\"#\" is not 0 or 1", "Line 3"}},
        {good + "<puzzle name=\"dot\"><grid>\n1.\n01</grid></puzzle>", {"grid row 1: character \".\" is not 0 or 1", "Line 5"}},
        {good + "<puzzle name=\"nine\"><grid>19 11</grid></puzzle>", {"\"9\" is not 0 or 1"}},
        {good + "<puzzle name=\"wide\"><grid>1\xC3\xA9 11</grid></puzzle>", {"\"\xC3\xA9\" is not 0 or 1"}},
        {good + "<puzzle name=\"mid\"><grid>111 11 111</grid></puzzle>", {"\"mid\"", "grid row 2 has 2 cells where row 1 has 3"}},
        {good + "<puzzle name=\"last\"><grid>111 111 11</grid></puzzle>", {"grid row 3 has 2 cells"}},
        {good + "<puzzle name=\"wide\"><grid>" + wide + "</grid></puzzle>", {"grid is 30 x 30", "at most 25 x 25"}},
        {good + "<puzzle name=\"tall\"><grid>" + tall + "</grid></puzzle>", {"grid is 26 x 26"}},
        {good + "<puzzle name=\"oblong\"><grid>111 111</grid></puzzle>", {"grid is 3 x 2; it must be 3 x 3"}},
        {good + "<puzzle name=\"blank\"><grid>00 00</grid></puzzle>", {"\"blank\"", "has no tile"}},
        {good + "<puzzle name=\"none\"></puzzle>", {"\"none\"", "has no grid"}},
        {good + "<puzzle name=\"art\"><grid>11 11</grid><picture>aAAA AAAA</picture></puzzle>", {"\"aA\" is not two letters"}},
        {good + "<puzzle name=\"odd\"><grid>11 11</grid><picture>AAA AAAA</picture></puzzle>", {"picture row 1 has an odd"}},
        {good + "<puzzle name=\"fit\"><grid>11 11</grid><picture>AA AA</picture></puzzle>", {"picture is 1 x 2; it must be 2 x 2"}},
        {good + "<puzzle name=\"in\"><grid>1</grid><puzzle/></puzzle>", {"\"puzzle\" inside a puzzle"}},
        {"</set><set>" + good + "</set></mode><mode><set/></mode><mode>", {"a third \"mode\""}},
    };
    for (const Case& c : cases) {
        Loaded l("<puzzles><game name=\"g\"><mode><set>\n" + c.body + "</set></mode></game></puzzles>");
        SCOPED_TRACE(c.body.substr(0, 120));
        EXPECT_FALSE(l.mOk);
        EXPECT_TRUE(l.mStats.GetTable().empty());
        for (const std::string& part : c.parts) EXPECT_NE(l.mStats.GetErrorText().find(part), std::string::npos)
            << part << " not in: " << l.mStats.GetErrorText();
    }
    for (const char* outside : {"<mode/>", "<game name=\"g\"><set/></game>", "<game name=\"g\"><mode><puzzle/></mode></game>"}) {
        Loaded l(std::string("<puzzles>") + outside + "</puzzles>");
        EXPECT_FALSE(l.mOk) << outside;
        EXPECT_NE(l.mStats.GetErrorText().find("outside"), std::string::npos) << l.mStats.GetErrorText();
    }
}

// What is published is what the game reads; a failed load publishes nothing.
TEST(PuzzleCatalogue, OnlyASoundCatalogueIsPublished) {
    Loaded sound(OnePuzzle("name=\"kept\"", "<grid>1</grid>"));
    ASSERT_TRUE(sound.mOk);
    sound.mStats.Publish();
    Loaded broken(OnePuzzle("name=\"bad\"", "<grid>2</grid>"));
    ASSERT_FALSE(broken.mOk);
    ASSERT_NE(FindPuzzleRecord(L"g", 0, 0, 0), nullptr);
    EXPECT_EQ(FindPuzzleRecord(L"g", 0, 0, 0)->mName, L"kept");
    const size_t games = gPuzzleTable.Get()->size();
    EXPECT_EQ(FindGamePuzzles(L"nope"), nullptr);
    EXPECT_EQ(FindPuzzleRecord(L"g", 0, 0, 1), nullptr);
    EXPECT_EQ(FindPuzzleRecord(L"g", 2, 0, 0), nullptr);
    EXPECT_EQ(gPuzzleTable.Get()->size(), games);  // lookups add nothing
}
