#include "screens/PuzzleIcon.h"

#include "puzzle/ArtCell.h"
#include "puzzle/PuzzleRecord.h"
#include "render/Graphics.h"
#include "render/Image.h"
#include "widgets/AnimationWidget.h"

PuzzleIcon::PuzzleIcon(float centreX, float centreY, const PuzzleRecord& record, bool isNew)
    : DynamicWidget(centreX, centreY, nullptr, 1.0f), mNew(isNew) {
    Resize(centreX - kSize / 2, centreY - kSize / 2, kSize, kSize);
    // The icon and its sparkles only show: the button under them takes the pointer.
    mMouseVisible = false;
    mRemoveMask |= WidgetFlags::AllowMouse;
    auto* surface = new ImageSurface();
    if (surface->Create(kSize, kSize)) {
        SetOwnedImage(surface);
        const int cells = record.GetSize();
        if (cells > 0) {
            LoadArtTiles();
            const float cell = static_cast<float>(kPictureSize / cells);
            Graphics g(surface);
            g.SetBatching(true);
            g.Translate(kMargin, kMargin);
            for (int i = 0; i < cells; ++i)
                for (int j = 0; j < cells; ++j) DrawArtCell(&g, cell, record.mPicture.At(i, j), i, j);
            g.Translate(-kMargin, -kMargin);
            g.SetBatching(false);
        }
    } else {
        delete surface;
    }
    if (mNew) {
        auto* sparkles = new AnimationWidget(L"", 0.0f, 0.0f, true);
        sparkles->SetVariable(L"width", ScriptValue(kSize));
        sparkles->SetVariable(L"height", ScriptValue(kSize));
        sparkles->PlayAnimationByName(L"new_puzzle_sparkles");
        AddWidget(sparkles);
    }
}
