#include <algorithm>

#include "data/AssetManager.h"
#include "render/Graphics.h"
#include "render/Image.h"
#include "tests/grid/GridFixture.h"
#include "tests/render/RenderTestSupport.h"
#include "widgets/WidgetManager.h"

namespace {

// The top-left corner and the cel of every quad drawn from one sheet.
struct SheetQuad {
    int mX, mY, mCel;
};

std::vector<SheetQuad> QuadsOf(const RecordingBackend& backend, Image* sheet) {
    std::vector<SheetQuad> out;
    ImageSurface* surface = sheet->GetSurface();
    if (!surface) return out;
    const uint32_t texture = surface->GetFirstTexture();
    const float celU = static_cast<float>(sheet->GetCelWidth()) / sheet->GetWidth();
    const float celV = static_cast<float>(sheet->GetCelHeight()) / sheet->GetHeight();
    for (const auto& draw : backend.mDraws) {
        if (draw.mState.mTexture != texture) continue;
        for (size_t q = 0; q + 3 < draw.mVertices.size(); q += 4) {
            const GpuVertex& v = draw.mVertices[q];
            const int column = static_cast<int>(v.mU / celU + 0.5f);
            const int row = static_cast<int>(v.mV / celV + 0.5f);
            out.push_back(SheetQuad{static_cast<int>(v.mX), static_cast<int>(v.mY), row * sheet->mNumCols + column});
        }
    }
    return out;
}

bool Has(const std::vector<SheetQuad>& quads, int x, int y, int cel) {
    return std::any_of(quads.begin(), quads.end(),
                       [&](const SheetQuad& q) { return q.mX == x && q.mY == y && q.mCel == cel; });
}

}  // namespace

// The clue numbers are drawn where the clue room is, one per clue, in their
// styles: this is what makes the board readable.
TEST_F(GridTest, ClueNumbersAreDrawnInTheClueRoom) {
    ASSERT_TRUE(StartBoard());
    Image* numbers = FindImage(L"GridNumbers");
    ASSERT_NE(numbers, nullptr);
    const int w = numbers->GetCelWidth(), h = numbers->GetCelHeight();
    auto backend = std::make_unique<RecordingBackend>();
    RecordingBackend* recorder = backend.get();
    ScopedDevice device(std::move(backend));
    {
        Graphics g;
        mApp->mWidgetManager->DrawToGraphics(g);
        g.FlushBatch();
    }
    std::vector<SheetQuad> quads = QuadsOf(*recorder, numbers);
    EXPECT_EQ(quads.size(), 16u);
    // Column 0 ([2, 2]): slot height 50, the last clue just above the board.
    EXPECT_TRUE(Has(quads, kBoardX + (kTile - w) / 2, kBoardY + (50 - h) / 2 - 100 - 2, 25 + 1));
    EXPECT_TRUE(Has(quads, kBoardX + (kTile - w) / 2, kBoardY + (50 - h) / 2 - 50 - 2, 25 + 1));
    // Row 3 ([2, 1]): slot width 40, the last clue just left of the board.
    EXPECT_TRUE(Has(quads, kBoardX + (40 - w) / 2 - 40 - 2, kBoardY + 3 * kTile + (kTile - h) / 2, 25 + 0));
    EXPECT_TRUE(Has(quads, kBoardX + (40 - w) / 2 - 80 - 2, kBoardY + 3 * kTile + (kTile - h) / 2, 25 + 1));
    // The background sits the clue room's size up and left of the cells.
    Image* background = FindImage(L"Grid5_ipad");
    ASSERT_NE(background, nullptr);
    std::vector<SheetQuad> back = QuadsOf(*recorder, background);
    ASSERT_EQ(back.size(), 1u);
    EXPECT_EQ(back[0].mX, kBoardX - 120);
    EXPECT_EQ(back[0].mY, kBoardY - 150);
}

TEST_F(GridTest, ThePointersLineAndCluesAreHighlighted) {
    ASSERT_TRUE(StartBoard());
    Image* numbers = FindImage(L"GridNumbers");
    Image* cursor = FindImage(L"G5CursorHighlight_ipad");
    Image* reveal = FindImage(L"G5TileHighlight_ipad");
    ASSERT_TRUE(numbers && cursor && reveal);
    mHarness.MouseMove(CellX(0), CellY(1));
    mHarness.MouseDown(CellX(0), CellY(1));
    mHarness.MouseMove(CellX(0), CellY(3));
    mHarness.DrainInput();
    auto backend = std::make_unique<RecordingBackend>();
    RecordingBackend* recorder = backend.get();
    ScopedDevice device(std::move(backend));
    {
        Graphics g;
        mApp->mWidgetManager->DrawToGraphics(g);
        g.FlushBatch();
    }
    // The line (0,1)-(0,3): the reveal highlight, the cursor on its end.
    std::vector<SheetQuad> line = QuadsOf(*recorder, reveal);
    EXPECT_EQ(line.size(), 2u);
    EXPECT_TRUE(Has(line, kBoardX, kBoardY + kTile, 0));
    EXPECT_TRUE(Has(line, kBoardX, kBoardY + 2 * kTile, 0));
    std::vector<SheetQuad> end = QuadsOf(*recorder, cursor);
    ASSERT_EQ(end.size(), 1u);
    EXPECT_TRUE(Has(end, kBoardX, kBoardY + 3 * kTile, 0));
    // Column 0's clues are highlighted (style row 0), row 3's too; others normal.
    std::vector<SheetQuad> quads = QuadsOf(*recorder, numbers);
    int highlighted = 0, counts = 0;
    for (const SheetQuad& q : quads) {
        if (q.mCel / 25 == 0) ++highlighted;
        if (q.mCel / 25 == 3) ++counts;
    }
    EXPECT_EQ(highlighted, 4);
    EXPECT_EQ(counts, 3) << "running counts 1, 2, 3 along the line";
    mHarness.MouseUp(CellX(0), CellY(3));
    mHarness.DrainInput();
}
