#include "puzzle/PlayTileGrid.h"

#include <algorithm>
#include <cstdlib>

#include "core/Log.h"
#include "app/PomoAppBase.h"
#include "core/StringUtil.h"
#include "data/AssetManager.h"
#include "data/Constants.h"
#include "puzzle/GameStats.h"
#include "puzzle/PlayNotice.h"
#include "puzzle/PlayerState.h"
#include "puzzle/TrailWidget.h"
#include "render/Image.h"

namespace {

const PuzzleRecord& RecordOrEmpty(const PuzzleRef& puzzle) {
    static const PuzzleRecord kNone;
    const PuzzleRecord* record = PlayTileGrid::FindPuzzle(puzzle);
    return record ? *record : kNone;
}

ScriptStep InitGridHolesCommand(AnimationWidget& widget, const AnimationCommand&, DynamicWidget*) {
    static_cast<PlayTileGrid&>(widget).InitHoles();
    return ScriptStep::Next;
}

}  // namespace

void PlayTileGrid::RegisterScriptCommands(ScriptCommandRegistry& registry) {
    registry.AddClassCommand<PlayTileGrid>(L"init-grid-holes", &InitGridHolesCommand);
}

// --- Construction ---------------------------------------------------------------------

PlayTileGrid::PlayTileGrid(const PuzzleRef& puzzle) : TileGrid(RecordOrEmpty(puzzle)) {
    if (IsUsable() && !FindPuzzle(puzzle)) mDataError = "no such puzzle";
    const int n = GetSize();
    const std::wstring device = DeviceName();
    mTileHighlight = FindImage(TileImageName(n));
    mMarkHighlight = FindImage(WStrFormat(L"G%dMarkHighlight_%ls", n, device.c_str()));
    mCursorHighlight = FindImage(WStrFormat(L"G%dCursorHighlight_%ls", n, device.c_str()));
    mNumbers = FindImage(NumbersImageName(n));
    if (n > 0) mModel = PuzzleModel(mLayer, FindGridConfig(n).mMistakes);
    mMaxTrails = GetConstantInt(L"max_trails_count");
    mHighlightColor = Color(GetConstantInt(L"highlight_color_red"), GetConstantInt(L"highlight_color_green"),
                            GetConstantInt(L"highlight_color_blue"), GetConstantInt(L"highlight_color_alpha"));
    mCellWidgets.assign(static_cast<size_t>(n),
                        std::vector<WeakHandle<AnimationWidget>>(static_cast<size_t>(n)));
    if (gPlayerState) mToggleMode = &gPlayerState->mToggleMode;
    SetDisabled(true);
    mClueLayout = ClueLayout(n, mTileSize, mOffsetX, mOffsetY, GetConstantInt(L"max_number_count"),
                             mNumbers ? mNumbers->GetCelWidth() : 0, mNumbers ? mNumbers->GetCelHeight() : 0);
    SetVariable(L"c_device", ScriptValue(device));
}

PlayTileGrid::~PlayTileGrid() {
    mBeingDestroyed = true;
    mHintQueue.clear();
}

const PuzzleRecord* PlayTileGrid::FindPuzzle(const PuzzleRef& puzzle) {
    return FindPuzzleRecord(puzzle.mGame, puzzle.mMode, puzzle.mSet, puzzle.mPuzzle);
}

PlayTileGrid* PlayTileGrid::Create(const PuzzleRef& puzzle, std::string* error, Maker make) {
    const PuzzleRecord* record = FindPuzzle(puzzle);
    std::string why;
    if (!record)
        why = "no such puzzle";
    else
        CheckBoard(record->mSolution.ToColumns(), &why);
    if (why.empty()) {
        PlayTileGrid* grid = make ? make(puzzle) : new PlayTileGrid(puzzle);
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

AnimationWidget* PlayTileGrid::GetCellWidget(int x, int y) const {
    if (!mModel.InBoard(x, y)) return nullptr;
    return mCellWidgets[static_cast<size_t>(x)][static_cast<size_t>(y)].Get();
}

Point PlayTileGrid::CellCentreInParent(int x, int y) const {
    return Point(x * mTileSize + static_cast<int>(mX) + mTileSize / 2,
                 y * mTileSize + static_cast<int>(mY) + mTileSize / 2);
}

PlayScreenLink* PlayTileGrid::GetScreen() const { return dynamic_cast<PlayScreenLink*>(mParent); }

void PlayTileGrid::SetDisabled(bool disabled) { Widget::SetDisabled(disabled); }

void PlayTileGrid::SetMeters(HintMeterLink* hintMeter, MistakeMeterLink* mistakeMeter) {
    mHintMeter.Reset(hintMeter);
    mMistakeMeter.Reset(mistakeMeter);
}

void PlayTileGrid::SetCursors(Widget* reveal, Widget* mark) {
    mCursors[static_cast<int>(CursorId::Reveal)] = reveal;
    mCursors[static_cast<int>(CursorId::Mark)] = mark;
    UpdateCursorImage();
}

void PlayTileGrid::SetTool(Tool tool) {
    mTool = tool;
    UpdateCursorImage();
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
    SetCellFromPoint(x, y);
    RepaintIfCellChanged(oldX, oldY);
}

void PlayTileGrid::SetCellFromPoint(int x, int y) {
    mPressX = mEndX = x / mTileSize;
    mPressY = mEndY = y / mTileSize;
}

void PlayTileGrid::UpdateCursorImage() {
    if (gAppBase) {
        Widget* cursor = nullptr;
        if (mMouseInside && gAppBase->mCustomCursorsEnabled) {
            const bool reveal =
                mAction == CellAction::Reveal || (mAction == CellAction::None && mTool == Tool::Tile);
            cursor = mCursors[static_cast<int>(reveal ? CursorId::Reveal : CursorId::Mark)].Get();
        }
        gAppBase->SetCursorImage(cursor);
    }
    MarkHighlightChange();
}

void PlayTileGrid::RepaintIfCellChanged(int oldX, int oldY) {
    if (oldX != mEndX || oldY != mEndY) MarkHighlightChange();
}

void PlayTileGrid::MarkCellLines(int x, int y) {
    // The cell's row and column across the board and through the clue room:
    // the pointer's wash, the line being dragged, the clue numbers lit or
    // satisfied all lie there.
    if (!mModel.InBoard(x, y)) return;
    const float t = static_cast<float>(mTileSize), side = static_cast<float>(GetSize() * mTileSize);
    MarkDirtyPart(FRect(static_cast<float>(-mOffsetX), y * t, static_cast<float>(mOffsetX) + side, t));
    MarkDirtyPart(FRect(x * t, static_cast<float>(-mOffsetY), t, static_cast<float>(mOffsetY) + side));
}

void PlayTileGrid::MarkHighlightChange() {
    HighlightState now;
    now.mShown = HasHighlightedCell();
    now.mDown = mIsDown;
    now.mAction = mAction;
    now.mPressX = mPressX;
    now.mPressY = mPressY;
    now.mEndX = mEndX;
    now.mEndY = mEndY;
    if (now == mMarkedHighlight) return;
    if (mMarkedHighlight.mShown) MarkCellLines(mMarkedHighlight.mEndX, mMarkedHighlight.mEndY);
    if (now.mShown) MarkCellLines(now.mEndX, now.mEndY);
    mMarkedHighlight = now;
}

void PlayTileGrid::MouseDown(int x, int y, int clickCount) {
    // The board is the N x tile square; its right and bottom edges belong
    // to the next (absent) cell.
    const unsigned side = static_cast<unsigned>(GetSize() * mTileSize);
    if (static_cast<unsigned>(x) >= side || static_cast<unsigned>(y) >= side) return;
    TileGrid::MouseDown(x, y, clickCount);
    const MouseButton button = ButtonOfClick(clickCount);
    if (mAction != CellAction::None || mDisabled || !mModel.AcceptsMoves()) {
        // A second button during a line cancels it.
        mAction = CellAction::None;
    } else if (button == MouseButton::Right) {
        if (mToggleMode && *mToggleMode) {
            if (PlayScreenLink* screen = GetScreen()) screen->ToggleTool();
            mAction = CellAction::None;
        } else {
            mAction = mRightButtonOff ? CellAction::None : CellAction::Mark;
        }
    } else if (button == MouseButton::Left) {
        mAction = mTool == Tool::Tile ? CellAction::Reveal : CellAction::Mark;
    } else {
        mAction = CellAction::Mark;
    }
    UpdateCursorImage();
    SetCellFromPoint(x, y);
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
    if (mAction == CellAction::None) return;
    const CellOutcomes outcomes = mModel.ApplyLine(GetPressCell(), GetEndCell(), mAction);
    mPressX = mEndX;
    mPressY = mEndY;
    mAction = CellAction::None;
    PlayOutcomes(outcomes, OutcomeSource::Line);
    UpdateCursorImage();
}

// --- Outcomes ---------------------------------------------------------------------------------

namespace {

const wchar_t* CellAnimationName(CellResult result) {
    switch (result) {
        case CellResult::Solid: return L"tile_solid";
        case CellResult::Hole: return L"tile_hole";
        case CellResult::InvalidHole: return L"tile_invalid_hole";
        case CellResult::InvalidSolid: return L"tile_invalid_solid";
        case CellResult::InitHole: break;
    }
    return L"init_hole";
}

}  // namespace

void PlayTileGrid::PlayOutcomes(const CellOutcomes& outcomes, OutcomeSource source) {
    int delay = 0;
    for (const CellOutcome& out : outcomes) {
        // The lines' clues may be satisfied now.
        MarkCellLines(out.mX, out.mY);
        PlayCellAnimation(out.mX, out.mY, CellAnimationName(out.mResult), delay);
        const wchar_t* trailName = nullptr;
        Point target;
        bool toHintMeter = false;
        if (out.mMistake) {
            if (out.mMistakeNumber + 1 < mModel.GetMistakesAllowed()) ShowFirstMistakeNotice();
            if (MistakeMeterLink* meter = mMistakeMeter.Get()) {
                trailName = out.mResult == CellResult::InvalidHole ? L"incorrectly_revealed_hole"
                                                                   : L"incorrectly_revealed_tile";
                target = meter->GetChancePoint(out.mMistakeNumber);
            }
        } else if (out.mResult == CellResult::Solid && source == OutcomeSource::Line) {
            if (HintMeterLink* meter = mHintMeter.Get()) {
                trailName = L"revealed_tile";
                target = meter->GetTargetPoint();
                toHintMeter = true;
            }
        }
        if (trailName) {
            const Point from = CellCentreInParent(out.mX, out.mY);
            auto* trail = new TrailWidget(trailName, from.mX, from.mY, target.mX, target.mY, delay);
            (toHintMeter ? mHintMeterTrails : mMistakeTrails).insert(trail->mId);
            AddTrail(trail, toHintMeter);
        }
        if (source == OutcomeSource::Line) delay += kLineDelayStep;
    }
    if (mModel.IsEnded()) EndPlay();
}

void PlayTileGrid::ShowFirstMistakeNotice() {
    mMistakeNoticeWaiting = false;
    // Lost meanwhile: the fail screen tells the rest.
    if (!gPlayerState || gPlayerState->mMadeMistake || mModel.IsEnded()) return;
    if (!PlayerPausesForNotice(mWidgetManager)) {
        mMistakeNoticeWaiting = true;
        return;
    }
    // The flag goes with the notice actually shown, so the rule is never
    // marked as told without the player seeing it.
    if (!ShowPlayNotice(*this, L"mistake_intro")) return;  // not shown: the rule stays untold
    gPlayerState->mMadeMistake = true;
}

void PlayTileGrid::EndPlay() {
    if (mEndShown) return;
    mEndShown = true;
    mAction = CellAction::None;
    SetDisabled(true);
    if (PlayScreenLink* screen = GetScreen()) screen->DisableControls();
}

void PlayTileGrid::InitHoles() { PlayOutcomes(mModel.InitHoles(), OutcomeSource::EmptyLine); }

void PlayTileGrid::GiveHint(int sourceX, int sourceY, int count) {
    const std::vector<Point> cells = mModel.ChooseHintCells(count);
    for (size_t i = 0; i < cells.size(); ++i) {
        const Point target = CellCentreInParent(cells[i].mX, cells[i].mY);
        auto* trail = new TrailWidget(L"revealed_tile", sourceX, sourceY, target.mX, target.mY,
                                      kLineDelayStep * static_cast<int>(i));
        mHintQueue[trail->mId] = cells[i];
        AddTrail(trail, true);
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
    // The held line (if any) goes on unless the hint ended play.
    PlayOutcomes(mModel.LandHint(cell), OutcomeSource::Hint);
}

void PlayTileGrid::AnimationPersist(int id) {
    TileGrid::AnimationPersist(id);
    if (mBeingDestroyed) return;
    ForgetTrackedAnimation(id);
}

void PlayTileGrid::AnimationMessage(int id, const std::wstring& message) {
    TileGrid::AnimationMessage(id, message);
    if (message == L"explode") Explode();
}

void PlayTileGrid::RemovedFromManager(WidgetManager* manager) {
    if (AnimationWidget* explosion = mExplosion.Get())
        if (explosion->mAnimationListener == this) AnimationListener::UnwatchWidget(explosion);
    TileGrid::RemovedFromManager(manager);
}
