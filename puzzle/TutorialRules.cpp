#include "puzzle/TutorialRules.h"

#include <algorithm>
#include <utility>

#include "puzzle/PuzzleModel.h"

namespace {
int Sign(int v) { return (v > 0) - (v < 0); }
}  // namespace

TutorialRules::TutorialRules(int size) : mSize(std::max(0, size)), mCells(static_cast<size_t>(mSize) * mSize) {}

bool TutorialRules::NameCells(CellAction action, int group, int x1, int y1, int x2, int y2) {
    if (group < 0 || group > kMaxGroup || action == CellAction::None) return false;
    mFlashGroups = std::max(mFlashGroups, group + 1);
    if (x2 == 0) x2 = x1;
    if (y2 == 0) y2 = y1;
    const int stepX = Sign(x2 - x1), stepY = Sign(y2 - y1);
    for (int x = x1, y = y1;; x += x == x2 ? 0 : stepX, y += y == y2 ? 0 : stepY) {
        if (InBoard(x - 1, y - 1)) {
            Record& record = At(x - 1, y - 1);
            if (record.mAction == CellAction::None) ++mRequired;
            record.mAction = action;
            record.mGroups |= 1u << group;
        }
        if (x == x2 && y == y2) break;
    }
    return true;
}

void TutorialRules::SkipDone(const PuzzleModel& model) {
    for (int x = 0; x < mSize; ++x)
        for (int y = 0; y < mSize; ++y)
            if (At(x, y).mAction != CellAction::None && model.IsDone(x, y)) {
                At(x, y) = Record();
                mRequired = std::max(0, mRequired - 1);
            }
}

void TutorialRules::Clear() {
    std::fill(mCells.begin(), mCells.end(), Record());
    mRequired = 0;
    mFlashGroups = 2;
}

bool TutorialRules::SetFlashGroupCount(int count) {
    if (count <= 0) return false;
    mFlashGroups = count;
    mFlashCounter %= count * 100;
    return true;
}

CellAction TutorialRules::Expected(int x, int y) const {
    return InBoard(x, y) ? At(x, y).mAction : CellAction::None;
}

uint32_t TutorialRules::Groups(int x, int y) const { return InBoard(x, y) ? At(x, y).mGroups : 0; }

bool TutorialRules::StepFlash() {
    mFlashCounter = (mFlashCounter + 1) % (mFlashGroups * 100);
    return mFlashCounter % 100 == 0;
}

CellAction TutorialRules::Lit(int x, int y) const {
    if (mRequired <= 0 || !InBoard(x, y)) return CellAction::None;
    const Record& record = At(x, y);
    return (record.mGroups >> LitGroup()) & 1u ? record.mAction : CellAction::None;
}

TutorialRules::Verdict TutorialRules::TakeVerdict() {
    return std::exchange(mVerdict, Verdict::None);
}

bool TutorialRules::TakeAllDone() { return std::exchange(mAllDone, false); }

bool TutorialRules::MayActOnCell(const PuzzleModel&, int x, int y, CellAction current, CellAction wanted) {
    if (!SharesAction(current, wanted) || !InBoard(x, y)) return false;
    Record& record = At(x, y);
    if (!mFreePlay && !SharesAction(record.mAction, wanted)) return false;
    mRequired = std::max(0, mRequired - 1);  // free play takes cells that were never named
    record = Record();
    return true;
}

void TutorialRules::CheckLine(const PuzzleModel& model, const LineMove& line) {
    int walked = 0;
    for (int x = line.mPressX, y = line.mPressY;; x += line.mStepX, y += line.mStepY) {
        ++walked;
        const CellAction expected = Expected(x, y);
        if (!model.IsDone(x, y) && !mFreePlay && !SharesAction(expected, line.mAction)) {
            mVerdict = expected == CellAction::None ? Verdict::BlankTile : Verdict::IncorrectTile;
            return;
        }
        if ((x == line.mEndX && y == line.mEndY) || (line.mStepX == 0 && line.mStepY == 0)) break;
    }
    if (mRevealModeAll && walked < mRequired) return;
    mLineAccepted = mRequired > 0;
}

void TutorialRules::LineDone(const PuzzleModel&) {
    if (mLineAccepted && mRequired == 0) mAllDone = true;
}
