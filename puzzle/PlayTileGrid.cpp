#include "puzzle/PlayTileGrid.h"

#include <algorithm>
#include <cstdlib>

#include "app/Log.h"
#include "app/PomoAppBase.h"
#include "app/Random.h"
#include "app/StringUtil.h"
#include "data/AssetManager.h"
#include "data/Constants.h"
#include "puzzle/GameStats.h"
#include "puzzle/PlayerState.h"
#include "puzzle/TrailWidget.h"

namespace {

const PuzzleRecord& RecordOrEmpty(const PuzzleRef& puzzle) {
    static const PuzzleRecord kNone;
    const PuzzleRecord* record = PlayTileGrid::FindPuzzle(puzzle);
    return record ? *record : kNone;
}

int Sign(int v) { return (v > 0) - (v < 0); }

}  // namespace

// --- Construction ---------------------------------------------------------------------

PlayTileGrid::PlayTileGrid(const PuzzleRef& puzzle) : TileGrid(RecordOrEmpty(puzzle)) {
    if (IsUsable() && !FindPuzzle(puzzle)) mDataError = "no such puzzle";
    const int n = GetSize();
    const std::wstring device = DeviceName();
    mTileHighlight = FindImage(TileImageName(n));
    mMarkHighlight = FindImage(WStrFormat(L"G%dMarkHighlight_%ls", n, device.c_str()));
    mCursorHighlight = FindImage(WStrFormat(L"G%dCursorHighlight_%ls", n, device.c_str()));
    mNumbers = FindImage(L"GridNumbers");
    if (n > 0) mMistakesAllowed = FindGridConfig(n).mMistakes;
    mMaxTrails = GetConstantInt(L"max_trails_count");
    mHighlightColor = Color(GetConstantInt(L"highlight_color_red"), GetConstantInt(L"highlight_color_green"),
                            GetConstantInt(L"highlight_color_blue"), GetConstantInt(L"highlight_color_alpha"));
    mDone.assign(static_cast<size_t>(n), std::vector<int32_t>(static_cast<size_t>(n), 0));
    mCellWidgets.assign(static_cast<size_t>(n),
                        std::vector<WeakHandle<AnimationWidget>>(static_cast<size_t>(n)));
    for (const auto& column : mLayer)
        for (int32_t value : column)
            if (value != 0) ++mRemaining;
    if (gPlayerState) mToggleMode = &gPlayerState->mToggleMode;
    SetDisabled(true);
    // A missing "max_number_count" must not leave the clue room without slots.
    int count = std::min(GetConstantInt(L"max_number_count"), (n + 1) / 2);
    count = std::max(count, 1);
    mSlotWidth = std::min(mTileSize, mOffsetX / count);
    mSlotHeight = std::min(mTileSize, mOffsetY / count);
    SetVariable(L"c_device", ScriptValue(device));
}

PlayTileGrid::~PlayTileGrid() {
    mBeingDestroyed = true;
    mHintQueue.clear();
}

const PuzzleRecord* PlayTileGrid::FindPuzzle(const PuzzleRef& puzzle) {
    return FindPuzzleRecord(puzzle.mGame, puzzle.mMode, puzzle.mSet, puzzle.mPuzzle);
}

PlayTileGrid* PlayTileGrid::Create(const PuzzleRef& puzzle, std::string* error) {
    const PuzzleRecord* record = FindPuzzle(puzzle);
    std::string why;
    if (!record)
        why = "no such puzzle";
    else
        CheckBoard(record->mSolution.ToColumns(), &why);
    if (why.empty()) {
        auto* grid = new PlayTileGrid(puzzle);
        if (grid->IsUsable()) return grid;
        why = grid->GetDataError();
        delete grid;
    }
    DebugPrintf("PlayTileGrid: cannot play %ls mode %d set %d puzzle %d: %s\n", puzzle.mGame.c_str(),
                puzzle.mMode, puzzle.mSet, puzzle.mPuzzle, why.c_str());
    if (error) *error = why;
    return nullptr;
}

// --- Small helpers --------------------------------------------------------------------------

bool PlayTileGrid::InBoard(int x, int y) const {
    const int n = GetSize();
    return x >= 0 && y >= 0 && x < n && y < n;
}

bool PlayTileGrid::IsCellDone(int x, int y) const {
    return InBoard(x, y) && mDone[static_cast<size_t>(x)][static_cast<size_t>(y)] != 0;
}

AnimationWidget* PlayTileGrid::GetCellWidget(int x, int y) const {
    if (!InBoard(x, y)) return nullptr;
    return mCellWidgets[static_cast<size_t>(x)][static_cast<size_t>(y)].Get();
}

Point PlayTileGrid::CellCentreInParent(int x, int y) const {
    return Point(x * mTileSize + static_cast<int>(mX) + mTileSize / 2,
                 y * mTileSize + static_cast<int>(mY) + mTileSize / 2);
}

PlayScreenLink* PlayTileGrid::GetScreen() const { return dynamic_cast<PlayScreenLink*>(mParent); }

bool PlayTileGrid::MayActOnCell(int /*x*/, int /*y*/, int action) { return (mAction & action) != 0; }

void PlayTileGrid::SetDisabled(bool disabled) { Widget::SetDisabled(disabled); }

void PlayTileGrid::SetMeters(HintMeterLink* hintMeter, MistakeMeterLink* mistakeMeter) {
    mHintMeter.Reset(hintMeter);
    mMistakeMeter.Reset(mistakeMeter);
}

int PlayTileGrid::HandleCommand(const AnimationCommand& command) {
    if (command.mName == L"init-grid-holes") {
        InitHoles();
        return 2;
    }
    return TileGrid::HandleCommand(command);
}

// --- Pointer ---------------------------------------------------------------------------------

void PlayTileGrid::MouseEnter() {
    TileGrid::MouseEnter();
    mMouseInside = true;
    UpdateCursorImage();
}

void PlayTileGrid::MouseLeave() {
    TileGrid::MouseLeave();
    mMouseInside = false;
    UpdateCursorImage();
}

void PlayTileGrid::MouseMove(int x, int y) {
    TileGrid::MouseMove(x, y);
    if (mTileSize <= 0) return;
    const int oldX = mEndX, oldY = mEndY;
    mPressX = mEndX = x / mTileSize;
    mPressY = mEndY = y / mTileSize;
    RepaintIfCellChanged(oldX, oldY);
}

void PlayTileGrid::UpdateCursorImage() {
    if (gAppBase) {
        Widget* cursor = nullptr;
        if (mMouseInside && gAppBase->mCustomCursorsEnabled) {
            const bool reveal = mAction == 1 || (mAction == 0 && mTool == 0);
            const size_t index = reveal ? 0 : 1;
            if (index < mCursors.size()) cursor = mCursors[index].Get();
        }
        gAppBase->SetCursorImage(cursor);
    }
    MarkDirty();
}

void PlayTileGrid::RepaintIfCellChanged(int oldX, int oldY) {
    if (oldX != mEndX || oldY != mEndY) MarkDirty();
}

void PlayTileGrid::MouseDown(int x, int y, int clickCount) {
    // The board is the N x tile square; its right and bottom edges belong
    // to the next (absent) cell.
    const unsigned side = static_cast<unsigned>(GetSize() * mTileSize);
    if (static_cast<unsigned>(x) >= side || static_cast<unsigned>(y) >= side) return;
    TileGrid::MouseDown(x, y, clickCount);
    if (mAction != 0 || mDisabled || mEnded || mMistakesMade >= mMistakesAllowed) {
        mAction = 0;
    } else if (clickCount < 0) {
        if (mToggleMode && *mToggleMode) {
            if (PlayScreenLink* screen = GetScreen()) screen->ToggleTool();
            mAction = 0;
        } else if (mRightButtonOff) {
            mAction = 0;
        } else {
            mAction = 2;
        }
    } else if (clickCount > 0) {
        mAction = mTool == 0 ? 1 : 2;
    } else {
        mAction = 2;
    }
    UpdateCursorImage();
    mPressX = mEndX = x / mTileSize;
    mPressY = mEndY = y / mTileSize;
}

void PlayTileGrid::MouseDrag(int x, int y) {
    TileGrid::MouseDrag(x, y);
    UpdateDragLine(x, y);
}

void PlayTileGrid::UpdateDragLine(int x, int y) {
    const int n = GetSize();
    if (n <= 0 || mTileSize <= 0) return;
    const int cx = std::clamp(x / mTileSize, 0, n - 1);
    const int cy = std::clamp(y / mTileSize, 0, n - 1);
    const int oldX = mEndX, oldY = mEndY;
    const int dx = cx - mPressX, dy = cy - mPressY;
    if (std::abs(dx) > std::abs(dy)) {
        mEndX = cx;
        mEndY = mPressY;
    } else {
        mEndX = mPressX;
        mEndY = cy;
    }
    RepaintIfCellChanged(oldX, oldY);
}

void PlayTileGrid::MouseUpAt(int x, int y, int clickCount) {
    TileGrid::MouseUpAt(x, y, clickCount);
    UpdateDragLine(x, y);
    if (mAction == 0) return;
    if (mEnded || !InBoard(mPressX, mPressY) || !InBoard(mEndX, mEndY)) {
        mAction = 0;
        return;
    }
    int stepX = 0, stepY = 0;
    if (mEndX != mPressX)
        stepX = Sign(mEndX - mPressX);
    else
        stepY = Sign(mEndY - mPressY);
    IncorrectAction(mPressX, mPressY, mEndX, mEndY, stepX, stepY);
    int delay = 0;
    mPressX -= stepX;
    mPressY -= stepY;
    do {
        mPressX += stepX;
        mPressY += stepY;
        ActOnCell(mPressX, mPressY, delay);
    } while (mPressX != mEndX || mPressY != mEndY);
    mAction = 0;
    UpdateCursorImage();
    MarkDirty();
    ActionDone();
}

// --- Cells ------------------------------------------------------------------------------------

void PlayTileGrid::ActOnCell(int x, int y, int& delay) {
    if (!InBoard(x, y)) return;
    int32_t& done = mDone[static_cast<size_t>(x)][static_cast<size_t>(y)];
    const bool tile = mLayer[static_cast<size_t>(x)][static_cast<size_t>(y)] != 0;
    std::wstring outcome;
    std::wstring trailName;
    Point target;
    bool toHintMeter = false;
    // The order of these tests matters: a board with its own rules may act
    // on being asked.
    if (!done && MayActOnCell(x, y, 1)) {
        done = 1;
        mAction = 1;
        if (!tile) {
            outcome = L"invalid_hole";
            if (MistakeMeterLink* meter = mMistakeMeter.Get()) {
                trailName = L"incorrectly_revealed_hole";
                target = meter->GetChancePoint(mMistakesMade);
            }
            OnMistake();
        } else {
            outcome = L"solid";
            if (HintMeterLink* meter = mHintMeter.Get()) {
                trailName = L"revealed_tile";
                target = meter->GetTargetPoint();
                toHintMeter = true;
            }
            OnTileRevealed();
        }
    } else {
        if (done || !MayActOnCell(x, y, 2)) return;
        done = 1;
        mAction = 2;
        if (!tile) {
            outcome = L"hole";
        } else {
            // A wrongly marked tile is shown as a tile: a mistake, and revealed.
            outcome = L"invalid_solid";
            if (MistakeMeterLink* meter = mMistakeMeter.Get()) {
                trailName = L"incorrectly_revealed_tile";
                target = meter->GetChancePoint(mMistakesMade);
            }
            OnMistake();
            OnTileRevealed();
        }
    }
    PlayCellAnimation(x, y, L"tile_" + outcome, delay);
    if (!trailName.empty()) {
        Point source = CellCentreInParent(x, y);
        auto* trail = new TrailWidget(trailName, source.mX, source.mY, target.mX, target.mY, delay);
        if (toHintMeter)
            mHintMeterTrails.insert(trail->mId);
        else
            mMistakeTrails.insert(trail->mId);
        AddTrail(trail, toHintMeter);
    }
    delay += kLineDelayStep;
    UpdateSatisfied(0, x);
    UpdateSatisfied(1, y);
}

void PlayTileGrid::UpdateSatisfied(int kind, int line) {
    const int n = GetSize();
    if (line < 0 || line >= n) return;
    ClueLine& clues = (kind == 0 ? mColumnClues : mRowClues)[static_cast<size_t>(line)];
    const int count = static_cast<int>(clues.size());
    auto solid = [&](int i) {
        return kind == 0 ? mLayer[line][i] != 0 : mLayer[i][line] != 0;
    };
    auto done = [&](int i) { return kind == 0 ? mDone[line][i] != 0 : mDone[i][line] != 0; };
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

void PlayTileGrid::OnTileRevealed() {
    --mRemaining;
    if (mRemaining <= 0) {
        mRemaining = 0;
        EndPlay();
    }
}

void PlayTileGrid::OnMistake() {
    ++mMistakesMade;
    if (mMistakesMade < mMistakesAllowed) {
        if (gPlayerState && !gPlayerState->mMadeMistake) {
            gPlayerState->mMadeMistake = true;
            // The notice dialog comes with the menu classes; until then the
            // notice is only logged (the flag is set all the same).
            DebugPrintf("PlayTileGrid: notice \"mistake_intro\" (font \"menu\", priority 2)\n");
        }
        return;
    }
    EndPlay();
}

void PlayTileGrid::EndPlay() {
    mEnded = true;
    mAction = 0;
    SetDisabled(true);
    if (PlayScreenLink* screen = GetScreen()) screen->DisableControls();
}

void PlayTileGrid::InitHoles() {
    const int n = GetSize();
    for (int i = 0; i < n; ++i) {
        if (mColumnClues[static_cast<size_t>(i)].empty()) {
            for (int y = 0; y < n; ++y) {
                if (mDone[i][y]) continue;
                mDone[i][y] = 1;
                PlayCellAnimation(i, y, L"init_hole", 0);
            }
        }
        if (mRowClues[static_cast<size_t>(i)].empty()) {
            for (int x = 0; x < n; ++x) {
                if (mDone[x][i]) continue;
                mDone[x][i] = 1;
                PlayCellAnimation(x, i, L"init_hole", 0);
            }
        }
    }
}

void PlayTileGrid::GiveHint(int sourceX, int sourceY, int count) {
    const int n = GetSize();
    std::vector<Point> cells;
    for (int x = 0; x < n; ++x)
        for (int y = 0; y < n; ++y)
            if (mLayer[x][y] == 1 && !mDone[x][y]) cells.emplace_back(x, y);
    RandomShuffle(cells);
    const int take = std::min(count, static_cast<int>(cells.size()));
    for (int i = 0; i < take; ++i) {
        const Point cell = cells[static_cast<size_t>(i)];
        const Point target = CellCentreInParent(cell.mX, cell.mY);
        auto* trail = new TrailWidget(L"revealed_tile", sourceX, sourceY, target.mX, target.mY,
                                      kLineDelayStep * i);
        mHintQueue[trail->mId] = cell;
        AddTrail(trail, true);
        mLayer[cell.mX][cell.mY] |= 2;
    }
}

// --- Listener ------------------------------------------------------------------------------------

void PlayTileGrid::AnimationComplete(int id) {
    TileGrid::AnimationComplete(id);
    if (mBeingDestroyed) return;
    // A cell or intro widget removed before it persisted is over all the same.
    ForgetTrackedAnimation(id);
    if (mHintMeterTrails.erase(id)) {
        ReleaseTrail(id);
        if (HintMeterLink* meter = mHintMeter.Get()) meter->UpdateFill(1);
        return;
    }
    if (mMistakeTrails.erase(id)) {
        ReleaseTrail(id);
        if (MistakeMeterLink* meter = mMistakeMeter.Get()) meter->ConsumeChance();
        return;
    }
    auto queued = mHintQueue.find(id);
    if (queued != mHintQueue.end()) {
        const Point cell = queued->second;
        mHintQueue.erase(queued);
        ReleaseTrail(id);
        LandHint(cell);
    }
}

void PlayTileGrid::LandHint(const Point& cell) {
    // After the last tile or the last mistake a late hint changes nothing.
    if (mEnded) return;
    const int savedAction = mAction;
    HintMeterLink* savedMeter = mHintMeter.Get();
    mAction = 1;
    mHintMeter.Reset();
    int delay = 0;
    ActOnCell(cell.mX, cell.mY, delay);
    mHintMeter.Reset(savedMeter);
    mAction = mEnded ? 0 : savedAction;
}

void PlayTileGrid::AnimationPersist(int id) {
    TileGrid::AnimationPersist(id);
    if (mBeingDestroyed) return;
    ForgetTrackedAnimation(id);
}

void PlayTileGrid::AnimationMessage(int id, const std::wstring& message) {
    TileGrid::AnimationMessage(id, message);
    // "explode" throws the board about when a lost puzzle's meter bursts; it
    // comes with the meters and the play screen.
    if (message == L"explode") DebugPrintf("PlayTileGrid: \"explode\" is not handled yet\n");
}

void PlayTileGrid::RemovedFromManager(WidgetManager* manager) {
    if (AnimationWidget* explosion = mExplosion.Get())
        if (explosion->mAnimationListener == this) AnimationListener::UnwatchWidget(explosion);
    TileGrid::RemovedFromManager(manager);
}
