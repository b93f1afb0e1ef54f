#include <gtest/gtest.h>

#include "core/Log.h"
#include "puzzle/PuzzleStats.h"

namespace {
// Loads a catalogue text with the debug output quiet; the reader is kept for
// its problem list.
struct Loaded {
    explicit Loaded(const std::string& xml) : mStats(false) {
        gPuzzleTable.clear();
        SetDebugOutputEnabled(false);
        mOk = mStats.LoadText(xml, "test.xml");
        SetDebugOutputEnabled(true);
    }
    const PuzzleRecord& Puzzle(int mode = 0, int set = 0, int index = 0) {
        return gPuzzleTable[L"g"].mModes[mode].at(set).at(index);
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
    int32_t v = 99;
    EXPECT_TRUE(PuzzleStats::DecodePictureCell(L'A', L'A', v)); EXPECT_EQ(v, 0);
    EXPECT_TRUE(PuzzleStats::DecodePictureCell(L'A', L'B', v)); EXPECT_EQ(v, 1);
    EXPECT_TRUE(PuzzleStats::DecodePictureCell(L'B', L'A', v)); EXPECT_EQ(v, 26);
    EXPECT_TRUE(PuzzleStats::DecodePictureCell(L'Z', L'Z', v)); EXPECT_EQ(v, 675);
    EXPECT_TRUE(PuzzleStats::DecodePictureCell(L'0', L'A', v)); EXPECT_EQ(v, -1);
    EXPECT_TRUE(PuzzleStats::DecodePictureCell(L'0', L'x', v)); EXPECT_EQ(v, -1);
    // Letters outside A-Z would become cel indexes outside the art sheet.
    EXPECT_FALSE(PuzzleStats::DecodePictureCell(L'a', L'A', v)); EXPECT_EQ(v, -1);
    EXPECT_FALSE(PuzzleStats::DecodePictureCell(L'A', L'[', v)); EXPECT_EQ(v, -1);
    EXPECT_FALSE(PuzzleStats::DecodePictureCell(L'1', L'A', v)); EXPECT_EQ(v, -1);
}

TEST(PuzzleCatalogue, WordsAreRowsAndCharactersColumns) {
    Loaded l(OnePuzzle("name=\"p\"", "<grid>0110 1001 0000 1111</grid><picture>AAABBAZZ 0x0A0ZAA AAAAAAAA AAAAAAAA</picture>"));
    ASSERT_TRUE(l.mOk);
    const PuzzleRecord& p = l.Puzzle();
    ASSERT_EQ(p.GetSize(), 4);
    EXPECT_EQ(p.mSolution[0], (std::vector<int32_t>{0, 1, 0, 1}));
    EXPECT_EQ(p.mSolution[1], (std::vector<int32_t>{1, 0, 0, 1}));
    EXPECT_EQ(p.mSolution[2], (std::vector<int32_t>{1, 0, 0, 1}));
    EXPECT_EQ(p.mSolution[3], (std::vector<int32_t>{0, 1, 0, 1}));
    EXPECT_EQ(p.mPicture[0][0], 0);
    EXPECT_EQ(p.mPicture[1][0], 1);
    EXPECT_EQ(p.mPicture[2][0], 26);
    EXPECT_EQ(p.mPicture[3][0], 675);
    EXPECT_EQ(p.mPicture[0][1], -1);
    EXPECT_EQ(p.mPicture[1][1], -1);
    EXPECT_EQ(p.mPicture[2][1], -1);
    EXPECT_EQ(p.mPicture[3][1], 0);
    EXPECT_TRUE(l.mStats.GetProblems().Empty());
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
    EXPECT_TRUE(l.Puzzle(0, 0, 0).mTested);
    EXPECT_TRUE(l.Puzzle(0, 0, 1).mTested);
    EXPECT_FALSE(l.Puzzle(0, 0, 2).mTested);
    EXPECT_FALSE(l.Puzzle(0, 0, 3).mTested);
    EXPECT_FALSE(l.Puzzle(0, 0, 4).mTested);
    EXPECT_EQ(l.Puzzle(0, 0, 4).mSteps, 0);
    EXPECT_EQ(l.Puzzle(0, 0, 4).mName, L"");
}

TEST(PuzzleCatalogue, ASecondGridAppendsRows) {
    Loaded l(OnePuzzle("", "<grid>0110 1001</grid><grid>1111 0000</grid>"));
    const PuzzleRecord& p = l.Puzzle();
    ASSERT_EQ(p.GetSize(), 4);
    EXPECT_EQ(p.mSolution[0], (std::vector<int32_t>{0, 1, 1, 0}));
    EXPECT_EQ(p.mSolution[3], (std::vector<int32_t>{0, 1, 1, 0}));
    // No picture: every cell without art.
    EXPECT_EQ(p.mPicture[2], (std::vector<int32_t>{-1, -1, -1, -1}));
}

TEST(PuzzleCatalogue, RowsMayStandOnTheirOwnLines) {
    Loaded l(OnePuzzle("", "<grid>\n   10\n   01\n</grid>\n<art>\n AAAB\n ACAD\n</art>"));
    const PuzzleRecord& p = l.Puzzle();
    ASSERT_EQ(p.GetSize(), 2);
    EXPECT_EQ(p.mSolution[0], (std::vector<int32_t>{1, 0}));
    EXPECT_EQ(p.mPicture[1], (std::vector<int32_t>{1, 3}));
}

TEST(PuzzleCatalogue, ARepeatedGameStartsAfresh) {
    Loaded l("<puzzles><game name=\"g\"><mode><set><puzzle name=\"old\"><grid>1</grid></puzzle></set></mode></game>"
             "<game name=\"g\"><mode><set><puzzle name=\"new\"><grid>0</grid>"
             "<picture>AA</picture></puzzle></set></mode></game></puzzles>");
    ASSERT_TRUE(l.mOk);
    ASSERT_EQ(gPuzzleTable[L"g"].mModes[0].size(), 1u);
    ASSERT_EQ(gPuzzleTable[L"g"].mModes[0][0].size(), 1u);
    EXPECT_EQ(l.Puzzle().mName, L"new");
    EXPECT_EQ(l.Puzzle().mPicture[0][0], 0);
}

TEST(PuzzleCatalogue, StrayTextIsIgnored) {
    Loaded l("<puzzles>loose<game name=\"g\">words<mode><set>here<puzzle><grid>1</grid></puzzle></set></mode></game></puzzles>");
    ASSERT_TRUE(l.mOk);
    EXPECT_EQ(l.Puzzle().GetSize(), 1);
    EXPECT_EQ(l.Puzzle().mPicture[0][0], -1);
}

TEST(PuzzleCatalogue, AnUnknownTableEntryIsEmpty) {
    gPuzzleTable.clear();
    GamePuzzles& none = gPuzzleTable[L"nope"];
    EXPECT_TRUE(none.mModes[0].empty());
    EXPECT_TRUE(none.mModes[1].empty());
}

TEST(PuzzleCatalogue, RaggedGridsArePaddedAndReportedWithTheLine) {
    Loaded l("<puzzles><game name=\"g\"><mode><set>\n\n<puzzle name=\"rag\"><grid>11 1 111</grid>"
             "<picture>AAAA</picture></puzzle></set></mode></game></puzzles>");
    ASSERT_TRUE(l.mOk);
    const PuzzleRecord& p = l.Puzzle();
    ASSERT_EQ(p.GetSize(), 3);
    for (const auto& column : p.mSolution) EXPECT_EQ(column.size(), 3u);
    EXPECT_EQ(p.mSolution[2], (std::vector<int32_t>{0, 0, 1}));
    EXPECT_EQ(p.mSolution[1], (std::vector<int32_t>{1, 0, 1}));
    EXPECT_EQ(p.mPicture[1], (std::vector<int32_t>{0, -1, -1}));
    ASSERT_FALSE(l.mStats.GetProblems().Empty());
    EXPECT_NE(l.mStats.GetProblems().Lines()[0].find("test.xml, line 3"), std::string::npos)
        << l.mStats.GetProblems().Lines()[0];
}

TEST(PuzzleCatalogue, SolutionValuesBecomeZeroOrOne) {
    Loaded l(OnePuzzle("", "<grid>09 x0</grid>"));
    const PuzzleRecord& p = l.Puzzle();
    EXPECT_EQ(p.mSolution[0], (std::vector<int32_t>{0, 1}));
    EXPECT_EQ(p.mSolution[1], (std::vector<int32_t>{1, 0}));
}

TEST(PuzzleCatalogue, BadPictureWordsNeverGiveOutOfRangeCells) {
    Loaded l(OnePuzzle("", "<grid>11 11</grid><picture>aAA ZZB</picture>"));
    const PuzzleRecord& p = l.Puzzle();
    EXPECT_EQ(p.mPicture[0][0], -1);   // "aA": not a letter pair
    EXPECT_EQ(p.mPicture[1][0], -1);   // "A" alone: odd word, ignored, padded
    EXPECT_EQ(p.mPicture[0][1], 675);
    EXPECT_EQ(p.mPicture[1][1], -1);
    EXPECT_GE(l.mStats.GetProblems().Lines().size(), 2u);
}

TEST(PuzzleCatalogue, OversizedAndEmptyGridsAreFitted) {
    std::string row(30, '1');
    std::string rows;
    for (int i = 0; i < 30; ++i) rows += row + " ";
    Loaded big(OnePuzzle("", "<grid>" + rows + "</grid>"));
    EXPECT_EQ(big.Puzzle().GetSize(), kMaxPuzzleSize);
    for (const auto& column : big.Puzzle().mPicture) EXPECT_EQ(column.size(), 25u);

    Loaded none(OnePuzzle("", ""));
    EXPECT_EQ(none.Puzzle().GetSize(), 1);
    EXPECT_FALSE(none.mStats.GetProblems().Empty());
}

TEST(PuzzleCatalogue, ElementsOutOfPlaceAreSkipped) {
    Loaded l("<puzzles><game name=\"g\">"
             "<set><puzzle name=\"early\"><grid>1</grid></puzzle></set>"  // before a mode
             "<mode><puzzle name=\"noset\"><grid>1</grid></puzzle>"       // before a set
             "<set><puzzle name=\"story\"><grid>1</grid></puzzle></set></mode>"
             "<mode><set><puzzle name=\"bonus\"><grid>1</grid></puzzle></set></mode>"
             "<mode><set><puzzle name=\"third\"><grid>1</grid></puzzle></set></mode>"
             "</game></puzzles>");
    ASSERT_TRUE(l.mOk);
    const GamePuzzles& g = gPuzzleTable[L"g"];
    ASSERT_EQ(g.mModes[0].size(), 1u);
    ASSERT_EQ(g.mModes[0][0].size(), 1u);
    EXPECT_EQ(g.mModes[0][0][0].mName, L"story");
    ASSERT_EQ(g.mModes[1].size(), 1u);
    EXPECT_EQ(g.mModes[1][0][0].mName, L"bonus");
    EXPECT_EQ(l.mStats.GetProblems().Lines().size(), 6u);
}

TEST(PuzzleCatalogue, BrokenXmlKeepsWhatWasRead) {
    Loaded l("<puzzles><game name=\"g\"><mode><set><puzzle name=\"a\"><grid>1</grid></puzzle><puzzle name=\"b\"><grid>1");
    EXPECT_FALSE(l.mOk);
    ASSERT_GE(gPuzzleTable[L"g"].mModes[0][0].size(), 1u);
    EXPECT_EQ(l.Puzzle().mName, L"a");
    for (const PuzzleRecord& p : gPuzzleTable[L"g"].mModes[0][0]) EXPECT_GE(p.GetSize(), 1);
}
