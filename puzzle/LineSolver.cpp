#include "puzzle/LineSolver.h"

#include <cstddef>
#include <deque>

int LineSolver::Result::CountUnknown() const {
    int count = 0;
    for (const Line& column : mCells)
        for (int8_t cell : column)
            if (cell == kUnknown) ++count;
    return count;
}

LineSolver::Clue LineSolver::LineClue(const Line& line) {
    Clue clue;
    int run = 0;
    for (int8_t cell : line) {
        if (cell == kFilled) {
            ++run;
        } else if (run > 0) {
            clue.push_back(run);
            run = 0;
        }
    }
    if (run > 0) clue.push_back(run);
    return clue;
}

LineSolver::Clue LineSolver::ColumnClue(const Layer& layer, int x) {
    Line line;
    for (int32_t v : layer[x]) line.push_back(v != 0 ? kFilled : kEmpty);
    return LineClue(line);
}

LineSolver::Clue LineSolver::RowClue(const Layer& layer, int y) {
    Line line;
    for (const auto& column : layer)
        line.push_back(y < static_cast<int>(column.size()) && column[y] != 0 ? kFilled : kEmpty);
    return LineClue(line);
}

// Two passes of reachability over (cell, runs placed): `head[i][j]` says the
// first i cells can hold the first j runs with cell i free to start the next;
// `tail[i][j]` says the cells from i on can hold runs j and later. A cell may be
// empty, or part of a run, when some arrangement through it joins both halves.
bool LineSolver::SolveLine(const Clue& clue, Line& line, bool* changed) {
    if (changed) *changed = false;
    const int length = static_cast<int>(line.size());
    const int runs = static_cast<int>(clue.size());
    const int width = runs + 1;

    // emptyBefore[i]: cells known empty among the first i.
    std::vector<int> emptyBefore(length + 1, 0);
    for (int i = 0; i < length; ++i)
        emptyBefore[i + 1] = emptyBefore[i] + (line[i] == kEmpty ? 1 : 0);
    auto canEmpty = [&](int i) { return line[i] != kFilled; };
    auto canRun = [&](int start, int size) {
        return start + size <= length && emptyBefore[start + size] - emptyBefore[start] == 0;
    };

    std::vector<uint8_t> head((length + 1) * width, 0);
    std::vector<uint8_t> tail((length + 2) * width, 0);
    auto H = [&](int i, int j) -> uint8_t& { return head[i * width + j]; };
    auto T = [&](int i, int j) -> uint8_t& { return tail[i * width + j]; };

    H(0, 0) = 1;
    for (int i = 0; i < length; ++i) {
        for (int j = 0; j <= runs; ++j) {
            if (!H(i, j)) continue;
            if (canEmpty(i)) H(i + 1, j) = 1;
            if (j < runs && canRun(i, clue[j])) {
                int end = i + clue[j];
                if (end == length) H(length, j + 1) = 1;
                else if (canEmpty(end)) H(end + 1, j + 1) = 1;
            }
        }
    }
    if (!H(length, runs)) return false;

    T(length, runs) = 1;
    for (int i = length - 1; i >= 0; --i) {
        for (int j = 0; j <= runs; ++j) {
            bool ok = canEmpty(i) && T(i + 1, j);
            if (!ok && j < runs && canRun(i, clue[j])) {
                int end = i + clue[j];
                ok = end == length ? (j + 1 == runs) : (canEmpty(end) && T(end + 1, j + 1));
            }
            T(i, j) = ok ? 1 : 0;
        }
    }

    std::vector<uint8_t> mayEmpty(length, 0);
    std::vector<int> fillMarks(length + 1, 0);  // difference array of "may be a tile"
    for (int i = 0; i < length; ++i) {
        for (int j = 0; j <= runs; ++j) {
            if (!H(i, j)) continue;
            if (canEmpty(i) && T(i + 1, j)) mayEmpty[i] = 1;
            if (j < runs && canRun(i, clue[j])) {
                int end = i + clue[j];
                bool ok = end == length ? (j + 1 == runs) : (canEmpty(end) && T(end + 1, j + 1));
                if (ok) {
                    ++fillMarks[i];
                    --fillMarks[end];
                    if (end < length) mayEmpty[end] = 1;  // the gap after the run
                }
            }
        }
    }

    int covering = 0;
    for (int i = 0; i < length; ++i) {
        covering += fillMarks[i];
        bool mayFill = covering > 0;
        if (line[i] != kUnknown) continue;
        if (mayFill && !mayEmpty[i]) {
            line[i] = kFilled;
            if (changed) *changed = true;
        } else if (!mayFill && mayEmpty[i]) {
            line[i] = kEmpty;
            if (changed) *changed = true;
        }
    }
    return true;
}

LineSolver::Result LineSolver::Solve(const std::vector<Clue>& rowClues,
                                     const std::vector<Clue>& columnClues) {
    Result result;
    const int width = static_cast<int>(columnClues.size());
    const int height = static_cast<int>(rowClues.size());
    result.mCells.assign(width, Line(height, kUnknown));

    // Lines wait in a queue; a line is queued again when a crossing line
    // settles one of its cells. Rows are 0..height-1, columns height.. .
    std::deque<int> queue;
    std::vector<uint8_t> queued(height + width, 1);
    for (int i = 0; i < height + width; ++i) queue.push_back(i);

    Line line;
    while (!queue.empty()) {
        int id = queue.front();
        queue.pop_front();
        queued[id] = 0;
        bool isRow = id < height;
        int index = isRow ? id : id - height;
        int length = isRow ? width : height;
        line.resize(length);
        for (int k = 0; k < length; ++k)
            line[k] = isRow ? result.mCells[k][index] : result.mCells[index][k];
        Line before = line;
        bool changed = false;
        ++result.mLineSolves;
        if (!SolveLine(isRow ? rowClues[index] : columnClues[index], line, &changed)) {
            result.mContradiction = true;
            return result;
        }
        if (!changed) continue;
        for (int k = 0; k < length; ++k) {
            if (line[k] == before[k]) continue;
            if (isRow) {
                result.mCells[k][index] = line[k];
                int cross = height + k;
                if (!queued[cross]) { queued[cross] = 1; queue.push_back(cross); }
            } else {
                result.mCells[index][k] = line[k];
                if (!queued[k]) { queued[k] = 1; queue.push_back(k); }
            }
        }
    }
    result.mSolved = result.CountUnknown() == 0;
    return result;
}

LineSolver::Result LineSolver::SolveLayer(const Layer& solution) {
    const int size = static_cast<int>(solution.size());
    std::vector<Clue> rows(size), columns(size);
    for (int i = 0; i < size; ++i) {
        columns[i] = ColumnClue(solution, i);
        rows[i] = RowClue(solution, i);
    }
    return Solve(rows, columns);
}

bool LineSolver::IsLineSolvable(const Layer& solution, Result* out) {
    const size_t size = solution.size();
    bool square = size > 0;
    for (const auto& column : solution)
        if (column.size() != size) square = false;
    if (!square) {
        if (out) *out = Result{};
        return false;
    }
    Result result = SolveLayer(solution);
    bool ok = result.mSolved && !result.mContradiction;
    for (size_t x = 0; ok && x < size; ++x)
        for (size_t y = 0; ok && y < size; ++y)
            if (result.mCells[x][y] != (solution[x][y] != 0 ? kFilled : kEmpty)) ok = false;
    if (out) *out = std::move(result);
    return ok;
}
