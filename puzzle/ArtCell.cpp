#include "puzzle/ArtCell.h"

#include <algorithm>

#include "core/Matrix4.h"
#include "data/AssetLookup.h"
#include "data/Constants.h"
#include "render/Graphics.h"
#include "render/Image.h"

Image* gArtTilesImage = nullptr;
int gArtShades = 1;

void LoadArtTiles() {
    gArtTilesImage = FindImage(L"ArtTiles");
    // Constants are not checked for sense: no shades would divide by zero.
    gArtShades = std::max(GetConstantInt(L"shades"), 1);
}

int ArtCellBrightness(int value) {
    const int shades = std::max(gArtShades, 1);
    return (2 * shades - value % shades) * 255 / (2 * shades);
}

void DrawArtCell(Graphics* g, float size, int value, int column, int row, int alpha) {
    if (value < 0 || !gArtTilesImage || gArtTilesImage->GetCelWidth() <= 0) return;
    const int cel = value / std::max(gArtShades, 1);
    if (cel >= gArtTilesImage->GetCelCount()) return;
    const int level = ArtCellBrightness(value);
    g->SetColorizeImages(true);
    g->SetColor(Color(level, level, level, alpha));
    // The sheet's colours are flat, one cel each side by side: sampled at a
    // cel's very edge the filter mixes in the next cel's colour, a faint
    // seam between every two columns of the picture. The cel's inner part
    // is the same colour and keeps the neighbours out.
    Rect source = gArtTilesImage->GetCelRect(cel);
    if (source.mWidth > 2) {
        source.mX += 1;
        source.mWidth -= 2;
    }
    if (source.mHeight > 2) {
        source.mY += 1;
        source.mHeight -= 2;
    }
    g->DrawImageStretched(gArtTilesImage, source, FRect(column * size, row * size, size, size));
    g->SetColorizeImages(false);
}
