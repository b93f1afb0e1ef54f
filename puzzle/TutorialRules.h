#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "puzzle/PlayPolicy.h"

// The rules of a tutorial board: its script names the cells the player must
// reveal or mark next (in flash groups that light one after the other), and
// while cells are named a line may act only on them with their action. Once
// the script has ended (free play) every cell is open to the ordinary rules.
class TutorialRules : public PlayPolicy {
public:
    // What a released line met first that it should not have.
    enum class Verdict { None, IncorrectTile, BlankTile };
    static constexpr int kMaxGroup = 31;

    explicit TutorialRules(int size = 0);

    // Names the cells from (x1, y1) to (x2, y2), 1-based (x the column); 0
    // for x2 or y2 is the same as x1 or y1. Each axis stops at its target and
    // cells outside the board are skipped, so a slanted pair ends. False (and
    // nothing named) for a group outside 0..31 or no action.
    bool NameCells(CellAction action, int group, int x1, int y1, int x2, int y2);
    // Forgets the named cells the model has done already: they can never be
    // acted on, so a step that required them would wait for ever.
    void SkipDone(const PuzzleModel& model);
    // No cell named, nothing required, two flash groups.
    void Clear();
    // False (nothing changed) for a count of 0 or less.
    bool SetFlashGroupCount(int count);
    int GetFlashGroupCount() const { return mFlashGroups; }
    void SetRevealModeAll(bool on) { mRevealModeAll = on; }
    void SetFreePlay(bool on) { mFreePlay = on; }
    bool IsFreePlay() const { return mFreePlay; }
    int GetRequired() const { return mRequired; }
    CellAction Expected(int x, int y) const;
    uint32_t Groups(int x, int y) const;

    // One update step of the flashing; true when another group lights.
    bool StepFlash();
    int LitGroup() const { return mFlashCounter / 100; }
    // The action a cell shows now: its expected one while cells are required
    // and its groups hold the lit group, else None.
    CellAction Lit(int x, int y) const;

    // The verdict of the last line checked (None when it passed), and
    // whether the named cells are all done by accepted lines: each is
    // reported once.
    Verdict TakeVerdict();
    bool TakeAllDone();

    // PlayPolicy.
    bool MayActOnCell(const PuzzleModel& model, int x, int y, CellAction current, CellAction wanted) override;
    void CheckLine(const PuzzleModel& model, const LineMove& line) override;
    void LineDone(const PuzzleModel& model) override;

private:
    struct Record {
        CellAction mAction = CellAction::None;
        uint32_t mGroups = 0;
    };
    bool InBoard(int x, int y) const { return x >= 0 && y >= 0 && x < mSize && y < mSize; }
    Record& At(int x, int y) { return mCells[static_cast<size_t>(x) * mSize + y]; }
    const Record& At(int x, int y) const { return mCells[static_cast<size_t>(x) * mSize + y]; }

    int mSize = 0;
    std::vector<Record> mCells;  // [x][y]
    int mRequired = 0;
    bool mFreePlay = false;
    bool mRevealModeAll = false;
    int mFlashCounter = 0;
    int mFlashGroups = 2;
    bool mLineAccepted = false;  // kept through failing lines
    Verdict mVerdict = Verdict::None;
    bool mAllDone = false;
};
