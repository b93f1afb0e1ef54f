#include "puzzle/Grid.h"

#include "core/Log.h"
#include "app/PomoAppBase.h"
#include "core/StringUtil.h"
#include "data/AssetManager.h"
#include "puzzle/GameStats.h"
#include "puzzle/PlayerState.h"
#include "render/Graphics.h"
#include "render/Image.h"

namespace {

int LayerSize(const PuzzleLayer& layer) { return static_cast<int>(layer.size()); }

Image* BackgroundFor(const PuzzleLayer& layer) {
    if (!Grid::ValidateLayer(layer, nullptr)) return nullptr;
    return FindImage(Grid::BackgroundImageName(LayerSize(layer)));
}

}  // namespace

Grid::Grid(const PuzzleLayer& layer) : AnimationWidget(0.0f, 0.0f, BackgroundFor(layer), 1.0f) {
    // The background is drawn shifted, so its pixels say nothing about what
    // lies under the pointer.
    mCheckPixels = false;
    if (!CheckBoard(layer, &mDataError)) {
        DebugPrintf("Grid: board refused: %s\n", mDataError.c_str());
        SetImage(nullptr);  // an inert board shows nothing
        Resize(0.0f, 0.0f, 0, 0);
        return;
    }
    mLayer = layer;
    const int n = GetSize();
    mTileSize = FindImage(TileImageName(n))->GetWidth();
    const GridConfig config = FindGridConfig(n);
    mOffsetX = config.mOffsetX;
    mOffsetY = config.mOffsetY;
    const int side = n * mTileSize;
    const int screenHeight = gAppBase ? gAppBase->mHeight : 768;
    const int margin = (screenHeight - mOffsetY - side) / 2;
    Resize(static_cast<float>(mOffsetX + margin), static_cast<float>(mOffsetY + margin), side, side);
}

Grid::~Grid() = default;

void Grid::Draw(Graphics* g) {
    g->Translate(static_cast<float>(-mOffsetX), static_cast<float>(-mOffsetY));
    DynamicWidget::Draw(g);
    g->Translate(static_cast<float>(mOffsetX), static_cast<float>(mOffsetY));
}

bool Grid::ValidateLayer(const PuzzleLayer& layer, std::string* error) {
    const int n = LayerSize(layer);
    if (n < 1 || n > kMaxPuzzleSize) {
        if (error) *error = StrFormat("the layer has %d columns (1 to %d allowed)", n, kMaxPuzzleSize);
        return false;
    }
    for (int x = 0; x < n; ++x) {
        if (static_cast<int>(layer[x].size()) != n) {
            if (error)
                *error = StrFormat("column %d of the layer has %d cells, not %d", x,
                                   static_cast<int>(layer[x].size()), n);
            return false;
        }
    }
    return true;
}

bool Grid::CheckBoard(const PuzzleLayer& layer, std::string* error) {
    if (!ValidateLayer(layer, error)) return false;
    const int n = LayerSize(layer);
    for (const std::wstring& name : {BackgroundImageName(n), TileImageName(n)}) {
        Image* image = FindImage(name);
        if (!image || image->GetWidth() <= 0) {
            if (error) *error = "the image \"" + WStringToString(name) + "\" is missing";
            return false;
        }
    }
    return true;
}

std::wstring Grid::DeviceName() { return gPlayerState ? gPlayerState->mDevice : std::wstring(); }

std::wstring Grid::BackgroundImageName(int size) {
    return WStrFormat(L"Grid%d_%ls", size, DeviceName().c_str());
}

std::wstring Grid::NumbersImageName(int size) {
    return WStrFormat(L"G%dNumbers_%ls", size, DeviceName().c_str());
}

std::wstring Grid::TileImageName(int size) {
    return WStrFormat(L"G%dTileHighlight_%ls", size, DeviceName().c_str());
}
