// The visible side of the play board: clue numbers, the pointer's highlight,
// the cell animations, the effects that fly to and from the meters, and the
// clue-number intro and fade.
#include <algorithm>

#include "core/Log.h"
#include "core/Random.h"
#include "core/StringUtil.h"
#include "data/Constants.h"
#include "widgets/AppServices.h"
#include "data/Animation.h"
#include "puzzle/PlayTileGrid.h"
#include "puzzle/PlayerState.h"
#include "puzzle/TrailWidget.h"
#include "render/Graphics.h"
#include "render/Image.h"

namespace {
constexpr int kMaxNumberValue = 25;
// The rows of a numbers sheet.
enum NumberStyle { kHighlighted = 0, kNormal = 1, kSatisfied = 2, kRunningCount = 3 };
}  // namespace

int PlayTileGrid::NumberColumns() const {
    return mNumbers ? std::max(mNumbers->mNumCols, 1) : kMaxNumberValue;
}

bool PlayTileGrid::HasHighlightedCell() const {
    return (mIsDown && mAction != CellAction::None) || (!mIsDown && mMouseInside && !mDisabled);
}

// --- Update -----------------------------------------------------------------------------

void PlayTileGrid::Update() {
    TileGrid::Update();
    if (mMistakeNoticeWaiting) ShowFirstMistakeNotice();
    // Whatever moved the highlight without saying so is drawn all the same.
    MarkHighlightChange();
    if (!mNumbersFading) return;
    mNumberAlpha -= 0.01f;
    if (mNumberAlpha <= 0.0f) {
        mNumberAlpha = 0.0f;
        mNumbersFading = false;
    }
    if (mRoomFading) mOpacity = mNumberAlpha;
    MarkDirty();
}

int PlayTileGrid::StepsUntilDue() {
    // The pause before the notice is counted in steps.
    return mMistakeNoticeWaiting ? 0 : TileGrid::StepsUntilDue();
}

void PlayTileGrid::UpdateF(float elapsedSteps) {
    TileGrid::UpdateF(elapsedSteps);
    if (mExploding) StepShake(elapsedSteps);
}

// A damped spring: thrown left, the board swings back past its rest place
// and stops the next time it crosses it moving left. With no spring at all
// it would drift for ever, so a board that has all but stopped stops too.
void PlayTileGrid::StepShake(float delta) {
    const int x0 = static_cast<int>(mX);
    float x = mX + static_cast<float>(delta * mShakeVelocityX);
    float y = mY + static_cast<float>(delta * mShakeVelocityY);
    mShakeVelocityX = ((mRestX - x) * mSpringX * delta + mShakeVelocityX) * mDampening;
    mShakeVelocityY = (delta * ((mRestY - y) * mSpringY) + mShakeVelocityY) * mDampening;
    const bool crossedLeft = x0 > mRestX && x <= static_cast<float>(mRestX) && mShakeVelocityX < 0.0;
    const bool still = std::abs(mShakeVelocityX) < 1e-3 && std::abs(mShakeVelocityY) < 1e-3;
    if (crossedLeft || still) {
        mExploding = false;
        x = static_cast<float>(mRestX);
        y = static_cast<float>(mRestY);
    }
    Move(x, y);
}

void PlayTileGrid::ExplodeMistakeMeter() {
    FadeNumbers();
    MistakeMeterLink* meter = mMistakeMeter.Get();
    AnimationWidget* burst = meter ? meter->Explode(this) : nullptr;
    // Kept so that a board leaving the tree first stops listening to it.
    mExplosion.Reset(burst);
    if (!burst) Explode();
}

void PlayTileGrid::Explode() {
    if (mExploded) return;
    mExploded = true;
    mRestX = static_cast<int>(mX);
    mRestY = static_cast<int>(mY);
    mExploding = true;
    mShakeVelocityX = -GetConstantFloat(L"explosion_grid_speed_horiz");
    mShakeVelocityY = GetConstantFloat(L"explosion_grid_speed_vert");
    mSpringX = GetConstantFloat(L"explosion_grid_spring_horiz");
    mSpringY = GetConstantFloat(L"explosion_grid_spring_vert");
    mDampening = GetConstantFloat(L"explosion_grid_dampening");
    WidgetContainer* layer = nullptr;
    if (PlayScreenLink* screen = GetScreen()) layer = screen->GetEffectLayer();
    if (!layer) layer = mParent;
    const int screenHeight = gAppServices ? gAppServices->GetHeight() : 768;
    const int n = GetSize();
    for (int x = 0; x < n; ++x)
        for (int y = 0; y < n; ++y) {
            AnimationWidget* cell = GetCellWidget(x, y);
            if (!cell) continue;
            auto* tile = dynamic_cast<DynamicWidget*>(cell->GetVariable(L"tile").GetObject());
            if (tile && layer && mModel.IsTile(x, y)) {
                const FRect at = tile->LocalToScreenRect(FRect(0.0f, 0.0f, 1.0f, 1.0f));
                auto* flying = new DynamicWidget(at.mX, at.mY, tile->GetImage(), 1.0f);
                flying->SetFrame(tile->GetFrame());
                flying->mRemoveMask |= WidgetFlags::AllowMouse;
                const int a = Rand(4), b = RandRange(25, 40);
                const float time = b + (screenHeight - at.mY) / 10.0f;
                const int direction = Rand(2) * 2 - 1;
                const FPoint inLayer = layer->ScreenToLocalPoint(at.mX, at.mY);
                flying->Move(inLayer.mX, inLayer.mY);
                layer->AddWidget(flying);
                flying->ArcTo(static_cast<int>(inLayer.mX) + direction * (a + 4) * 25, screenHeight,
                              static_cast<float>(static_cast<int>(time)), -50, -150);
                flying->SetRemoveWhenDone(true);
            }
            cell->RemoveSelf();
            mCellWidgets[static_cast<size_t>(x)][static_cast<size_t>(y)] = nullptr;
        }
    MarkDirty();
    if (PlayScreenLink* screen = GetScreen()) screen->FailPuzzle();
}

void PlayTileGrid::FadeTilesForArt() {
    const int n = GetSize();
    const float tileSize = GetConstantFloat(WStrFormat(L"tileSize%d", n));
    for (int x = 0; x < n; ++x)
        for (int y = 0; y < n; ++y) {
            AnimationWidget* cell = GetCellWidget(x, y);
            if (!cell) continue;
            for (const wchar_t* name : {L"tile", L"markmiss"}) {
                auto* object = dynamic_cast<DynamicWidget*>(cell->GetVariable(name).GetObject());
                if (!object) continue;
                Image* image = object->GetImage();
                SetVariable(L"fade-delay", ScriptValue(0));
                SetVariable(L"tile_image", ScriptValue(image ? StringToWString(image->mName) : std::wstring()));
                SetVariable(L"tile_size", ScriptValue(tileSize));
                SetVariable(L"Gdim", ScriptValue(n));
                SetVariable(L"tile_x", ScriptValue(x));
                SetVariable(L"tile_y", ScriptValue(y));
                cell->InsertAnimationByName(L"fade_tile");
            }
        }
}

// --- Drawing ----------------------------------------------------------------------------

void PlayTileGrid::Draw(Graphics* g) {
    TileGrid::Draw(g);
    g->FlushBatch();
    if (HasHighlightedCell()) {
        DeferOverlay(0);
        DrawClueWash(g);
    }
    if (mNumberAlpha <= 0.0f || !mNumbers) return;
    GraphicsState saved;
    saved.CopyFrom(*g);
    if (mExploding)
        g->Translate(static_cast<float>(mRestX) - mX, static_cast<float>(mRestY) - mY);
    const int alpha = mNumberAlpha < 1.0f ? static_cast<int>(mNumberAlpha * 255.0f) : 255;
    g->SetColor(Color(255, 255, 255, alpha));
    g->SetColorizeImages(true);
    const bool highlight = HasHighlightedCell();
    const int n = GetSize();
    const ClueLayout& layout = mClueLayout;
    const std::vector<ClueLine>& columns = GetClues(LineKind::Column);
    const std::vector<ClueLine>& rows = GetClues(LineKind::Row);
    for (int i = 0; i < n; ++i) {
        const int columnCount = static_cast<int>(columns[static_cast<size_t>(i)].size());
        for (int k = 0; k < columnCount; ++k) {
            Point at = layout.ColumnClue(i, k, columnCount);
            DrawClueNumber(g, at.mX, at.mY, LineKind::Column, i, k, highlight && i == mEndX);
        }
        const int rowCount = static_cast<int>(rows[static_cast<size_t>(i)].size());
        for (int k = 0; k < rowCount; ++k) {
            Point at = layout.RowClue(i, k, rowCount);
            DrawClueNumber(g, at.mX, at.mY, LineKind::Row, i, k, highlight && i == mEndY);
        }
    }
    g->RestoreState(saved);
    g->FlushBatch();
}

int PlayTileGrid::ClueNumberCel(const Clue& clue, bool highlighted) const {
    if (!mNumbers || clue.mLength < 1 || clue.mLength > kMaxNumberValue) return -1;
    if (clue.mLength > NumberColumns()) return -1;
    const int style = clue.mSatisfied ? kSatisfied : (highlighted ? kHighlighted : kNormal);
    const int cel = style * NumberColumns() + clue.mLength - 1;
    return cel < mNumbers->GetCelCount() ? cel : -1;
}

void PlayTileGrid::DrawClueNumber(Graphics* g, int x, int y, LineKind kind, int line, int index,
                                  bool highlighted) {
    const std::vector<ClueLine>& table = GetClues(kind);
    if (line < 0 || line >= static_cast<int>(table.size())) return;
    const ClueLine& clues = table[static_cast<size_t>(line)];
    if (index < 0 || index >= static_cast<int>(clues.size())) return;
    const int cel = ClueNumberCel(clues[static_cast<size_t>(index)], highlighted);
    if (cel >= 0) g->DrawImage(mNumbers, static_cast<float>(x), static_cast<float>(y), cel);
}

void PlayTileGrid::DrawClueWash(Graphics* g) {
    if (!mModel.InBoard(mEndX, mEndY)) return;
    // Under the clue numbers: washed over, the highlighted numbers paled to
    // an orange hard to read at the small sizes.
    const float t = static_cast<float>(mTileSize);
    GraphicsState saved;
    saved.CopyFrom(*g);
    g->SetColor(mHighlightColor);
    g->FillRect(static_cast<float>(-mOffsetX), static_cast<float>(mEndY) * t, static_cast<float>(mOffsetX), t);
    g->FillRect(static_cast<float>(mEndX) * t, static_cast<float>(-mOffsetY), t, static_cast<float>(mOffsetY));
    g->RestoreState(saved);
}

void PlayTileGrid::DrawOverlay(Graphics* g) {
    const int n = GetSize();
    if (!HasHighlightedCell() || !mModel.InBoard(mEndX, mEndY)) return;
    const int t = mTileSize;
    const float ex = static_cast<float>(mEndX), ey = static_cast<float>(mEndY);
    GraphicsState saved;
    saved.CopyFrom(*g);
    g->SetColor(mHighlightColor);
    // The pointer's row and column on the board (their clues are washed
    // under the numbers), but not the cell under it (its cursor shows there)
    // nor a revealed tile: the warm wash over ink turned tiles a muddy grey
    // that read as another state.
    const float side = static_cast<float>(t);
    auto showsTile = [this](int x, int y) {
        const CellState state = mModel.GetCell(x, y);
        return state == CellState::Solid || state == CellState::InvalidSolid;
    };
    for (int i = 0; i < n; ++i) {
        const float at = static_cast<float>(i * t);
        if (i != mEndX && !showsTile(i, mEndY)) g->FillRect(at, ey * t, side, side);
        if (i != mEndY && !showsTile(mEndX, i)) g->FillRect(ex * t, at, side, side);
    }

    Image* line = mCursorHighlight;
    if (mIsDown) line = mAction == CellAction::Mark ? mMarkHighlight : mTileHighlight;
    const bool counts = mIsDown && gPlayerState && gPlayerState->mShowNumbers && mNumbers;
    const Point step = PuzzleModel::LineStep(GetPressCell(), GetEndCell());
    const bool batching = g->IsBatching();
    g->SetBatching(true);
    g->SetColor(Color::White);
    g->SetColorizeImages(false);
    int x = mPressX, y = mPressY;
    for (int count = 1; mModel.InBoard(x, y); ++count) {
        const bool end = x == mEndX && y == mEndY;
        Image* image = end ? mCursorHighlight : line;
        if (image) g->DrawImage(image, static_cast<float>(x * t), static_cast<float>(y * t));
        if (counts && count <= std::min(kMaxNumberValue, NumberColumns())) {
            const int cel = kRunningCount * NumberColumns() + count - 1;
            if (cel < mNumbers->GetCelCount())
                g->DrawImage(mNumbers, static_cast<float>(x * t + (t - mNumbers->GetCelWidth()) / 2),
                             static_cast<float>(y * t + (t - mNumbers->GetCelHeight()) / 2), cel);
        }
        if (end) break;
        x += step.mX;
        y += step.mY;
    }
    g->FlushBatch();
    g->SetBatching(batching);
    g->RestoreState(saved);
}

// --- Cell animations and effects ------------------------------------------------------------

void PlayTileGrid::PlayCellAnimation(int x, int y, const std::wstring& name, int delay) {
    if (!mModel.InBoard(x, y)) return;
    if (!AnimationExists(name)) {
        // Nothing would ever end it, and the board would wait for it for ever.
        DebugPrintf("PlayTileGrid: no cell animation \"%ls\"\n", name.c_str());
        return;
    }
    auto* cell = new AnimationWidget(name, static_cast<float>(x * mTileSize + mTileSize / 2),
                                     static_cast<float>(y * mTileSize + mTileSize / 2), true);
    cell->SetVariable(L"delay", ScriptValue(delay));
    cell->SetVariable(L"dim", ScriptValue(GetSize()));
    cell->SetVariable(L"c_device", ScriptValue(DeviceName()));
    // The cell's pictures never take the board's clicks.
    cell->mRemoveMask |= WidgetFlags::AllowMouse;
    AnimationListener::WatchWidget(cell);
    mCellAnimations.insert(cell->mId);
    mCellWidgets[static_cast<size_t>(x)][static_cast<size_t>(y)] = cell;
    AddWidget(cell);
}

void PlayTileGrid::AddTrail(TrailWidget* trail, bool counted) {
    trail->mPriority = 1;
    AnimationListener::WatchWidget(trail);
    bool sparkles = false;
    if (counted && mTrailsInFlight < mMaxTrails) {
        sparkles = true;
        ++mTrailsInFlight;
        mSparklingTrails.insert(trail->mId);
    }
    trail->SetVariable(L"show_sparkles", ScriptValue(sparkles ? 1 : 0));
    WidgetContainer* layer = nullptr;
    if (PlayScreenLink* screen = GetScreen()) layer = screen->GetEffectLayer();
    if (!layer) layer = mParent;
    if (!layer) layer = this;
    layer->AddWidget(trail);
}

void PlayTileGrid::ReleaseTrail(int id) {
    if (mSparklingTrails.erase(id) && mTrailsInFlight > 0) --mTrailsInFlight;
}

void PlayTileGrid::ForgetTrackedAnimation(int id) {
    mCellAnimations.erase(id);
    if (mIntroAnimations.erase(id) && mIntroAnimations.empty()) FinishNumbersIntro();
}

void PlayTileGrid::StartNumbersIntro() {
    const int n = GetSize();
    const ClueLayout& layout = mClueLayout;
    const std::vector<ClueLine>& columns = GetClues(LineKind::Column);
    const std::vector<ClueLine>& rows = GetClues(LineKind::Row);
    for (int i = 0; i < n; ++i) {
        const ClueLine& column = columns[static_cast<size_t>(i)];
        const int columnCount = static_cast<int>(column.size());
        for (int k = 0; k < columnCount; ++k) {
            Point at = layout.ColumnClue(i, k, columnCount);
            AddNumberIntro(at.mX, at.mY, column[static_cast<size_t>(k)].mLength);
        }
        const ClueLine& row = rows[static_cast<size_t>(i)];
        const int rowCount = static_cast<int>(row.size());
        for (int k = 0; k < rowCount; ++k) {
            Point at = layout.RowClue(i, k, rowCount);
            AddNumberIntro(at.mX, at.mY, row[static_cast<size_t>(k)].mLength);
        }
    }
    // No intro could start (no clues, or no "intro_number"): play at once.
    if (mIntroAnimations.empty()) FinishNumbersIntro();
}

void PlayTileGrid::AddNumberIntro(int x, int y, int value) {
    if (!AnimationExists(L"intro_number")) return;
    auto* intro = new AnimationWidget(L"intro_number", 0.0f, 0.0f, true);
    intro->SetVariable(L"x", ScriptValue(x));
    intro->SetVariable(L"y", ScriptValue(y));
    intro->SetVariable(L"frame", ScriptValue(kNormal * NumberColumns() + value - 1));
    intro->SetVariable(L"numbers", ScriptValue(NumbersImageName(GetSize())));
    intro->SetVariable(L"delay", ScriptValue(Rand(150) + 10));
    intro->mRemoveMask |= WidgetFlags::AllowMouse;
    AnimationListener::WatchWidget(intro);
    mIntroWidgets.emplace_back(intro);
    mIntroAnimations.insert(intro->mId);
    AddWidget(intro);
}

void PlayTileGrid::FinishNumbersIntro() {
    std::vector<WeakHandle<AnimationWidget>> intros = std::move(mIntroWidgets);
    mIntroWidgets.clear();
    mIntroAnimations.clear();
    for (const auto& handle : intros) {
        if (AnimationWidget* intro = handle.Get()) {
            AnimationListener::UnwatchWidget(intro);
            intro->RemoveSelf();
        }
    }
    mNumberAlpha = 1.0f;
    if (!mModel.IsEnded()) SetDisabled(false);
    MarkDirty();
}
