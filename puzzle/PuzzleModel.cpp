#include "puzzle/PuzzleModel.h"

#include <algorithm>

#include "core/Random.h"

namespace {

constexpr int32_t kTile = 1;
constexpr int32_t kClaimed = 2;  // the bit a hint sets on the tile it chose

int Sign(int v) { return (v > 0) - (v < 0); }

}  // namespace

PlayPolicy& PlayPolicy::Default() {
    static PlayPolicy ordinary;
    return ordinary;
}

PuzzleModel::PuzzleModel(const CellColumns& solution, int mistakesAllowed)
    : mSolution(solution), mMistakesAllowed(mistakesAllowed) {
    const size_t n = mSolution.size();
    for (auto& column : mSolution) {
        column.resize(n, 0);  // a ragged layer reads as holes, never out of range
        for (int32_t& value : column) {
            value = value != 0 ? kTile : 0;
            mRemaining += value;
        }
    }
    mCells.assign(n, std::vector<CellState>(n, CellState::Open));
    ComputeClues(mSolution, mColumnClues, mRowClues);
}

bool PuzzleModel::InBoard(int x, int y) const {
    const int n = GetSize();
    return x >= 0 && y >= 0 && x < n && y < n;
}

CellState PuzzleModel::GetCell(int x, int y) const {
    return InBoard(x, y) ? mCells[static_cast<size_t>(x)][static_cast<size_t>(y)] : CellState::Open;
}

bool PuzzleModel::IsTile(int x, int y) const {
    return InBoard(x, y) && mSolution[static_cast<size_t>(x)][static_cast<size_t>(y)] != 0;
}

bool PuzzleModel::IsClaimed(int x, int y) const {
    return InBoard(x, y) && (mSolution[static_cast<size_t>(x)][static_cast<size_t>(y)] & kClaimed) != 0;
}

Point PuzzleModel::LineStep(const Point& press, const Point& end) {
    if (end.mX != press.mX) return Point(Sign(end.mX - press.mX), 0);
    return Point(0, Sign(end.mY - press.mY));
}

CellOutcomes PuzzleModel::ApplyLine(const Point& press, const Point& end, CellAction action) {
    CellOutcomes outcomes;
    if (!AcceptsMoves() || action == CellAction::None) return outcomes;
    if (!InBoard(press.mX, press.mY) || !InBoard(end.mX, end.mY)) return outcomes;
    // Only rows and columns are lines; a slanted pair keeps the press row.
    const Point step = LineStep(press, end);
    const Point last = step.mX != 0 ? Point(end.mX, press.mY) : end;
    mPolicy->CheckLine(*this, LineMove{press.mX, press.mY, last.mX, last.mY, step.mX, step.mY, action});
    mCurrent = action;
    Point cell = press;
    for (;;) {
        CellOutcome out;
        if (ActOnCell(cell.mX, cell.mY, out)) outcomes.push_back(out);
        if (cell == last) break;
        cell = cell + step;
    }
    mCurrent = CellAction::None;
    mPolicy->LineDone(*this);
    return outcomes;
}

bool PuzzleModel::ActOnCell(int x, int y, CellOutcome& out) {
    CellState& state = Cell(x, y);
    const bool tile = IsTile(x, y);
    out.mX = x;
    out.mY = y;
    // The order of these questions is part of the rules: a policy may act on
    // being asked.
    if (state == CellState::Open && mPolicy->MayActOnCell(*this, x, y, mCurrent, CellAction::Reveal)) {
        mCurrent = CellAction::Reveal;
        if (tile) {
            state = CellState::Solid;
            out.mResult = CellResult::Solid;
            CountTileRevealed(out);
        } else {
            state = CellState::InvalidHole;
            out.mResult = CellResult::InvalidHole;
            CountMistake(out);
        }
    } else {
        if (state != CellState::Open || !mPolicy->MayActOnCell(*this, x, y, mCurrent, CellAction::Mark))
            return false;
        mCurrent = CellAction::Mark;
        if (tile) {
            state = CellState::InvalidSolid;
            out.mResult = CellResult::InvalidSolid;
            CountMistake(out);
            CountTileRevealed(out);
        } else {
            state = CellState::Hole;
            out.mResult = CellResult::Hole;
        }
    }
    if (IsEnded()) mCurrent = CellAction::None;
    UpdateSatisfied(LineKind::Column, x);
    UpdateSatisfied(LineKind::Row, y);
    return true;
}

void PuzzleModel::CountTileRevealed(CellOutcome& out) {
    out.mRevealed = true;
    --mRemaining;
    if (mRemaining <= 0) {
        mRemaining = 0;
        EndPlay(PlayEnd::Solved);
    }
}

void PuzzleModel::CountMistake(CellOutcome& out) {
    out.mMistake = true;
    out.mMistakeNumber = mMistakesMade++;
    if (mMistakesMade >= mMistakesAllowed) EndPlay(PlayEnd::Lost);
}

void PuzzleModel::EndPlay(PlayEnd end) {
    if (mEnd == PlayEnd::Playing) mEnd = end;
}

CellOutcomes PuzzleModel::InitHoles() {
    CellOutcomes outcomes;
    const int n = GetSize();
    auto mark = [&](int x, int y) {
        CellState& state = Cell(x, y);
        if (state != CellState::Open) return;
        state = CellState::Hole;
        CellOutcome out;
        out.mX = x;
        out.mY = y;
        out.mResult = CellResult::InitHole;
        outcomes.push_back(out);
    };
    for (int i = 0; i < n; ++i) {
        if (mColumnClues[static_cast<size_t>(i)].empty())
            for (int y = 0; y < n; ++y) mark(i, y);
        if (mRowClues[static_cast<size_t>(i)].empty())
            for (int x = 0; x < n; ++x) mark(x, i);
    }
    return outcomes;
}

std::vector<Point> PuzzleModel::ChooseHintCells(int count) {
    const int n = GetSize();
    std::vector<Point> cells;
    for (int x = 0; x < n; ++x)
        for (int y = 0; y < n; ++y)
            if (mSolution[x][y] == kTile && !IsDone(x, y)) cells.emplace_back(x, y);
    RandomShuffle(cells);
    cells.resize(static_cast<size_t>(std::clamp(count, 0, static_cast<int>(cells.size()))));
    for (const Point& cell : cells) mSolution[cell.mX][cell.mY] |= kClaimed;
    return cells;
}

CellOutcomes PuzzleModel::LandHint(const Point& cell) {
    CellOutcomes outcomes;
    if (IsEnded() || !InBoard(cell.mX, cell.mY)) return outcomes;
    mCurrent = CellAction::Reveal;
    CellOutcome out;
    if (ActOnCell(cell.mX, cell.mY, out)) outcomes.push_back(out);
    mCurrent = CellAction::None;
    return outcomes;
}

void PuzzleModel::UpdateSatisfied(LineKind kind, int line) {
    const int n = GetSize();
    if (line < 0 || line >= n) return;
    const bool column = kind == LineKind::Column;
    ClueLine& clues = (column ? mColumnClues : mRowClues)[static_cast<size_t>(line)];
    const int count = static_cast<int>(clues.size());
    const size_t at = static_cast<size_t>(line);
    auto solid = [&](int i) {
        return (column ? mSolution[at][static_cast<size_t>(i)] : mSolution[static_cast<size_t>(i)][at]) != 0;
    };
    auto done = [&](int i) {
        return (column ? mCells[at][static_cast<size_t>(i)] : mCells[static_cast<size_t>(i)][at]) != CellState::Open;
    };
    auto revealed = [&](int i) { return solid(i) && done(i); };

    bool allFound = true;
    for (int i = 0; i < n && allFound; ++i)
        if (solid(i) && !done(i)) allFound = false;
    for (Clue& clue : clues) clue.mSatisfied = allFound ? 1 : 0;
    if (allFound) return;

    auto satisfy = [&](int k, int run) {
        if (k >= 0 && k < count && clues[static_cast<size_t>(k)].mLength == run) {
            clues[static_cast<size_t>(k)].mSatisfied = 1;
            return true;
        }
        return false;
    };

    // From the start over the unbroken done cells.
    int stop = n;
    int k = -1, run = 0;
    bool broke = false;
    for (int i = 0; i < n; ++i) {
        if (!done(i)) {
            stop = i;
            broke = true;
            break;
        }
        if (solid(i)) {
            if (i == 0 || !revealed(i - 1)) ++k;
            ++run;
        } else if (run > 0) {
            if (!satisfy(k, run)) {
                stop = i - run;
                broke = true;
                break;
            }
            run = 0;
        }
    }
    if (!broke && run > 0) satisfy(k, run);

    // From the end, with the clues counted from the last.
    k = count;
    run = 0;
    broke = false;
    for (int i = n - 1; i >= stop; --i) {
        if (!done(i)) {
            broke = true;
            break;
        }
        if (solid(i)) {
            if (i == n - 1 || !revealed(i + 1)) --k;
            ++run;
        } else if (run > 0) {
            if (!satisfy(k, run)) {
                broke = true;
                break;
            }
            run = 0;
        }
    }
    if (!broke && run > 0) satisfy(k, run);
}
