#pragma once
#include <string>
#include <vector>

#include "data/Parser.h"
#include "puzzle/DataProblems.h"
#include "puzzle/PuzzleRecord.h"

// Reads properties/puzzles_quiltro7.xml into gPuzzleTable. Each puzzle holds a
// "grid" element with its solution (one word per row, one digit per column) and
// one other element with its picture (two letters per cell). After reading,
// every puzzle is made square (N x N, 1 <= N <= 25) and problems are reported
// with file and line; a puzzle is never dropped, since progress is kept by index.
class PuzzleStats : public Parser {
public:
    static constexpr const char* kFileName = "puzzles_quiltro7.xml";

    PuzzleStats();                      // loads the catalogue file
    explicit PuzzleStats(bool loadNow);  // false: the caller loads (tests, tools)

    // Loads a catalogue text in place of the file (tests, fuzzing); the table
    // entries it names are replaced. False when the XML itself is broken.
    bool LoadText(const std::string& bytes, const std::string& nameForErrors);

    const DataProblems& GetProblems() const { return mProblems; }

    // Decodes one picture cell ("0x" = -1, "AA".."ZZ" = 0..675). Letters
    // outside A-Z give -1 and return false.
    static bool DecodePictureCell(wchar_t c1, wchar_t c2, int32_t& out);

protected:
    bool OnElementStart(const XMLElement& element) override;
    bool OnText(const std::wstring& text) override;

private:
    // Rows and cells beyond this are dropped at once (the grid is cut to 25
    // later anyway), so a hostile file cannot make a layer of millions of cells.
    static constexpr size_t kMaxReadWidth = 64;

    struct PendingCheck {
        std::wstring mGame;
        int mMode, mSet, mPuzzle, mLine;
    };

    void ResetReader();
    void AppendSolution(const std::wstring& text);
    void AppendPicture(const std::wstring& text);
    void Finish();
    void SquareUp(PuzzleRecord& record, int line);
    PuzzleRecord* CurrentPuzzle();
    void Problem(const std::string& what);

    std::string mFile = std::string("properties/") + kFileName;
    std::wstring mElementName;
    bool mHaveGame = false;
    std::wstring mGame;
    int mMode = -1;
    int mSet = -1;
    int mPuzzle = -1;
    size_t mSolutionRows = 0;  // words read so far into the current puzzle's layers
    size_t mPictureRows = 0;
    std::vector<PendingCheck> mChecks;
    DataProblems mProblems;
};
