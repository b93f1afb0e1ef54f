#pragma once
#include <string>
#include <vector>

#include "data/Parser.h"
#include "puzzle/PuzzleRecord.h"

// Reads properties/puzzles_quiltro7.xml. Each puzzle holds a "grid" element
// with its solution (one word per row, one character 0 or 1 per column) and
// one other element with its picture (two letters per cell). The table is
// built privately and published only when the whole file is sound: any fault
// (broken XML, a grid that is not N x N with 1 <= N <= 25, a character that is
// not 0 or 1, a puzzle without a tile, a picture cell that is not two letters
// or a picture of another shape) fails the load with the file, the line and
// the reason, and nothing is published.
class PuzzleStats : public Parser {
public:
    static constexpr const char* kFileName = "puzzles_quiltro7.xml";

    PuzzleStats();                      // loads the catalogue file and publishes it when sound
    explicit PuzzleStats(bool loadNow);  // false: the caller loads (tests, tools)

    // Reads a catalogue text into this reader's table (replacing it). False,
    // with GetErrorText(), at the first fault; the table is then empty.
    bool LoadText(const std::string& bytes, const std::string& nameForErrors);
    bool Succeeded() const { return mLoaded; }

    const PuzzleTable& GetTable() const { return mTable; }
    PuzzleTable TakeTable() { return std::move(mTable); }
    // Hands the table to gPuzzleTable (the reader is empty afterwards).
    void Publish();

    // Decodes one picture cell ("0x" = -1, "AA".."ZZ" = 0..675). Letters
    // outside A-Z give -1 and return false.
    static bool DecodePictureCell(char c1, char c2, int32_t& out);

protected:
    bool OnElementStart(const XMLElement& element) override;
    bool OnElementEnd(const XMLElement& element) override;
    bool OnTextUtf8(const char* text, size_t size) override;

private:
    // One layer of the puzzle being read, row by row as the file gives it.
    struct PendingLayer {
        std::vector<int32_t> mCells;  // kMaxPuzzleSize cells per row, row-major
        int mRows = 0;
        int mWidth = 0;               // of the first row
        int mWidest = 0;
        int mOddRow = -1;             // the first row whose width is not the first's
        int mOddWidth = 0;
        int32_t mLow = 0;             // the range of the values read
        int32_t mHigh = 0;
        void Clear();
        int32_t* NextRow();  // where the next row's cells go; null past the largest size
        void EndRow(int width);
        void CloseUpRows(int size);
    };

    bool Fail(const std::string& what);
    bool FailPuzzle(const std::string& what);
    bool AppendSolution(const char* text, size_t size);
    bool AppendPicture(const char* text, size_t size);
    bool FinishPuzzle();
    bool CheckShape(const PendingLayer& layer, const char* what, int size);

    PuzzleTable mTable;
    bool mLoaded = false;
    bool mInGrid = false;  // the element most recently started is a "grid"
    GamePuzzles* mGame = nullptr;
    int mMode = -1;
    bool mHaveSet = false;
    PuzzleRecord* mPuzzle = nullptr;  // the puzzle being read
    PendingLayer mSolution;
    PendingLayer mPicture;
};
