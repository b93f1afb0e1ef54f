#include "puzzle/SmallArtGrid.h"

#include "core/StringUtil.h"
#include "puzzle/ArtCell.h"
#include "puzzle/PlayerState.h"
#include "render/Graphics.h"
#include "render/Image.h"

namespace {
std::wstring SmallGridImageName(int size) {
    const std::wstring game = gPlayerState ? gPlayerState->mGameName : L"quiltro7";
    return WStrFormat(L"SmallGrid%d_%ls", size, game.c_str());
}
}  // namespace

SmallGrid::SmallGrid(int size, float x, float y) : ActiveWidget(x, y, SmallGridImageName(size), -1) {
    Image* image = GetImage();
    if (!image || size <= 0) {
        Resize(x, y, 0, 0);
        return;
    }
    mCellSize = (image->GetCelWidth() - 2.0 * kBorder) / size;
    Resize(x, y, image->GetCelWidth(), image->GetCelHeight());
}

void SmallGrid::SetDrawScale(float scale) {
    Image* image = GetImage();
    if (!image || mCellSize <= 0.0 || scale <= 0.0f) return;
    mDrawScale = scale;
    Resize(mX, mY, static_cast<int>(image->GetCelWidth() * scale), static_cast<int>(image->GetCelHeight() * scale));
}

void SmallGrid::Draw(Graphics* g) {
    if (mCellSize <= 0.0) return;
    if (mDrawScale != 1.0f) {
        Image* image = GetImage();
        Transform transform;
        transform.Scale(mDrawScale, mDrawScale);
        g->DrawImageTransformed(image, transform, 0, (image->GetCelWidth() * 0.5f - kBorder) * mDrawScale,
                                (image->GetCelHeight() * 0.5f - kBorder) * mDrawScale);
        return;
    }
    g->Translate(-kBorder, -kBorder);
    ActiveWidget::Draw(g);
    g->Translate(kBorder, kBorder);
}

SmallArtGrid::SmallArtGrid(const PuzzleLayer& picture, float x, float y, bool show)
    : SmallGrid(static_cast<int>(picture.size()), x, y), mDrawFrame(!show) {
    if (show) mPicture = picture;
}

void SmallArtGrid::Draw(Graphics* g) {
    if (mDrawFrame) SmallGrid::Draw(g);
    if (mCellSize <= 0.0) return;
    LoadArtTiles();  // afresh, as the play screen's picture does
    const float cell = static_cast<float>(mCellSize) * mDrawScale;
    for (size_t x = 0; x < mPicture.size(); ++x)
        for (size_t y = 0; y < mPicture[x].size() && y < mPicture.size(); ++y)
            DrawArtCell(g, cell, mPicture[x][y], static_cast<int>(x), static_cast<int>(y));
}
