#include "puzzle/PlayArtGrid.h"

#include <algorithm>

#include "core/Random.h"
#include "data/Constants.h"
#include "puzzle/ArtCell.h"
#include "puzzle/PlayTileGrid.h"
#include "render/Graphics.h"

namespace {
// The paper of the board and of the finished picture.
const Color kPaper(0xFA, 0xFA, 0xF6);
}  // namespace

PlayArtGrid::PlayArtGrid(const PuzzleRecord& record, PlayTileGrid* tileGrid) : ArtGrid(record) {
    // A speed of 0 would show every cell at once and divide the fade by zero.
    mRevealSpeed = std::max(GetConstantInt(L"art_reveal_speed"), 1);
    const int delay = GetConstantInt(L"art_reveal_delay");
    mTileGrid = tileGrid;
    mRemoveMask |= WidgetFlags::AllowMouse;
    if (tileGrid) Resize(tileGrid->mX, tileGrid->mY, tileGrid->mWidth, tileGrid->mHeight);
    const int n = GetSize();
    std::vector<int> times(static_cast<size_t>(n) * static_cast<size_t>(n));
    for (size_t i = 0; i < times.size(); ++i) times[i] = 20 * static_cast<int>(i + 1) / n + delay;
    mEndFrame = mRevealSpeed + (times.empty() ? delay : times.back());
    RandomShuffle(times);
    mRevealTimes.assign(static_cast<size_t>(n), std::vector<int>(static_cast<size_t>(n)));
    for (int x = 0; x < n; ++x)
        for (int y = 0; y < n; ++y)
            mRevealTimes[static_cast<size_t>(x)][static_cast<size_t>(y)] = times[static_cast<size_t>(x * n + y)];
}

int PlayArtGrid::GetRevealTime(int x, int y) const {
    const int n = GetSize();
    if (x < 0 || y < 0 || x >= n || y >= n) return 0;
    return mRevealTimes[static_cast<size_t>(x)][static_cast<size_t>(y)];
}

void PlayArtGrid::Update() {
    ArtGrid::Update();
    ++mFrameCounter;
    if (mFrameCounter > mEndFrame + 1) return;
    // Only the cells still fading in look different: each is drawn again
    // alone, not the whole picture.
    const int n = GetSize();
    const float size = static_cast<float>(mTileSize);
    for (int x = 0; x < n; ++x)
        for (int y = 0; y < n; ++y) {
            const int t = mFrameCounter - mRevealTimes[static_cast<size_t>(x)][static_cast<size_t>(y)];
            if (t >= 1 && t <= mRevealSpeed) MarkDirtyPart(FRect(x * size, y * size, size, size));
        }
}

int PlayArtGrid::StepsUntilDue() {
    // While the next step still fades a cell in (Update); the finished
    // picture changes no more, and a still results screen sleeps over it.
    return mFrameCounter <= mEndFrame ? 0 : ArtGrid::StepsUntilDue();
}

void PlayArtGrid::Draw(Graphics* g) {
    // Looked up afresh: a reloaded asset group or another game may have
    // replaced the picture a kept pointer would name.
    LoadArtTiles();
    const int n = GetSize();
    const float size = static_cast<float>(mTileSize);
    const bool batching = g->IsBatching();
    g->SetBatching(true);
    for (int x = 0; x < n; ++x)
        for (int y = 0; y < n; ++y) {
            const int t = mFrameCounter - mRevealTimes[static_cast<size_t>(x)][static_cast<size_t>(y)];
            if (t <= 0) continue;
            const int alpha = t <= mRevealSpeed ? t * 255 / mRevealSpeed : 255;
            const int value = mLayer[static_cast<size_t>(x)][static_cast<size_t>(y)];
            if (value < 0) {
                // A cell without art is the picture's paper: the board's marks
                // beneath it do not show through the finished picture.
                g->SetColor(Color(kPaper.mRed, kPaper.mGreen, kPaper.mBlue, alpha));
                g->FillRect(x * size, y * size, size, size);
                continue;
            }
            DrawArtCell(g, size, value, x, y, alpha);
        }
    g->FlushBatch();
    g->SetBatching(batching);
}

bool PlayArtGrid::StartReveal() {
    if (mFrameCounter <= mEndFrame) return false;
    if (!mTilesFaded) {
        mTilesFaded = true;
        if (auto* grid = dynamic_cast<PlayTileGrid*>(mTileGrid.Get())) grid->FadeTilesForArt();
    }
    return true;
}
