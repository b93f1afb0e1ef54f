#pragma once
#include <cstdint>
#include <vector>

// Line logic for picture-logic grids: every row and column is settled as far as
// its clue and the cells already known allow, over and over until nothing
// changes. A grid that ends with every cell known has exactly one solution and
// a player can reach it without guessing; that is what the catalogue checker
// demands of every puzzle we ship.
class LineSolver {
public:
    static constexpr int8_t kUnknown = -1;
    static constexpr int8_t kEmpty = 0;
    static constexpr int8_t kFilled = 1;

    using Clue = std::vector<int>;           // run lengths, empty for a blank line
    using Line = std::vector<int8_t>;        // kUnknown, kEmpty or kFilled per cell
    using Layer = std::vector<std::vector<int32_t>>;  // [x][y], non-zero = tile

    struct Result {
        bool mSolved = false;         // every cell known
        bool mContradiction = false;  // some line had no arrangement at all
        int mLineSolves = 0;          // line solves until the fixpoint (a difficulty hint)
        std::vector<Line> mCells;     // [x][y]
        int CountUnknown() const;
    };

    // The runs of tiles of a line.
    static Clue LineClue(const Line& line);
    static Clue ColumnClue(const Layer& layer, int x);
    static Clue RowClue(const Layer& layer, int y);

    // Settles every cell on which all arrangements of the clue that agree with
    // the known cells agree. False when no arrangement fits (the line is left
    // as it was then). `changed` (optional) tells whether a cell was settled.
    static bool SolveLine(const Clue& clue, Line& line, bool* changed = nullptr);

    // Solves a width x height grid from its clues (rowClues[y], columnClues[x]).
    static Result Solve(const std::vector<Clue>& rowClues, const std::vector<Clue>& columnClues);

    // Solves the grid whose clues come from the given square solution layer.
    static Result SolveLayer(const Layer& solution);

    // True when line logic alone reaches exactly this solution: the puzzle is
    // unique and fair. A ragged or non-square layer is never accepted.
    static bool IsLineSolvable(const Layer& solution, Result* out = nullptr);
};
