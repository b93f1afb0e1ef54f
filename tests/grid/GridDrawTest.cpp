#include <algorithm>
#include <functional>

#include "data/AssetManager.h"
#include "data/ImageData.h"
#include "puzzle/ArtCell.h"
#include "puzzle/GameStats.h"
#include "puzzle/PlayArtGrid.h"
#include "puzzle/SmallArtGrid.h"
#include "render/Graphics.h"
#include "render/Image.h"
#include "tests/grid/GridFixture.h"
#include "tests/puzzle/PuzzleTestSupport.h"
#include "tests/render/RenderTestSupport.h"
#include "widgets/WidgetManager.h"

namespace {

// A mistake meter whose burst is a still scripted widget on the screen: it
// stays until the test is done with it and never says "explode" itself.
class BurstingMistakeMeter : public TestMistakeMeter {
public:
    explicit BurstingMistakeMeter(WidgetContainer& screen) : mScreen(screen) {}
    AnimationWidget* Explode(AnimationListener* listener) override {
        mBurst = new AnimationWidget(0.0f, 0.0f, nullptr, 1.0f);
        if (listener) listener->WatchWidget(mBurst);
        mScreen.AddWidget(mBurst);
        return mBurst;
    }
    WidgetContainer& mScreen;
    AnimationWidget* mBurst = nullptr;
};

// The top-left corner and the cel of every quad drawn from one sheet.
struct SheetQuad {
    int mX, mY, mCel;
};

std::vector<SheetQuad> QuadsOf(const std::vector<RecordingBackend::Draw>& draws, Image* sheet) {
    std::vector<SheetQuad> out;
    ImageSurface* surface = sheet->GetSurface();
    if (!surface) return out;
    const uint32_t texture = surface->GetFirstTexture();
    const float celU = static_cast<float>(sheet->GetCelWidth()) / sheet->GetWidth();
    const float celV = static_cast<float>(sheet->GetCelHeight()) / sheet->GetHeight();
    for (const auto& draw : draws) {
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

// What one drawing (by default the whole tree's frame) sent to the renderer;
// the textures it names are valid while the recording lives.
class RecordedFrame {
public:
    explicit RecordedFrame(const std::function<void(Graphics&)>& draw)
        : mRecorder(new RecordingBackend()), mDevice(std::unique_ptr<RecordingBackend>(mRecorder)) {
        Graphics g;
        draw(g);
        g.FlushBatch();
    }
    explicit RecordedFrame(WidgetManager& manager)
        : RecordedFrame([&](Graphics& g) { manager.DrawToGraphics(g); }) {}
    std::vector<SheetQuad> Quads(Image* sheet) const { return QuadsOf(mRecorder->mDraws, sheet); }
    const std::vector<RecordingBackend::Draw>& Draws() const { return mRecorder->mDraws; }

private:
    RecordingBackend* mRecorder;
    ScopedDevice mDevice;
};

bool Inside(const Rect& inner, const Rect& outer) { return inner.Intersection(outer) == inner; }

}  // namespace

// The clue numbers are drawn where the clue room is, one per clue, in their
// styles: this is what makes the board readable.
TEST_F(GridTest, ClueNumbersAreDrawnInTheClueRoom) {
    ASSERT_TRUE(StartBoard());
    Image* numbers = FindImage(L"G5Numbers_ipad");
    ASSERT_NE(numbers, nullptr);
    const int w = numbers->GetCelWidth(), h = numbers->GetCelHeight();
    const int normal = numbers->mNumCols;  // the first cel of the normal style
    const RecordedFrame frame(*mApp->mWidgetManager);
    std::vector<SheetQuad> quads = frame.Quads(numbers);
    EXPECT_EQ(quads.size(), 16u);
    // Column 0 ([2, 2]): slot height 50, the last clue just above the board.
    EXPECT_TRUE(Has(quads, kBoardX + (kTile - w) / 2, kBoardY + (50 - h) / 2 - 100 - 2, normal + 1));
    EXPECT_TRUE(Has(quads, kBoardX + (kTile - w) / 2, kBoardY + (50 - h) / 2 - 50 - 2, normal + 1));
    // Row 3 ([2, 1]): slot width 40, the last clue just left of the board.
    EXPECT_TRUE(Has(quads, kBoardX + (40 - w) / 2 - 40 - 2, kBoardY + 3 * kTile + (kTile - h) / 2, normal + 0));
    EXPECT_TRUE(Has(quads, kBoardX + (40 - w) / 2 - 80 - 2, kBoardY + 3 * kTile + (kTile - h) / 2, normal + 1));
    // The background sits the clue room's size up and left of the cells.
    Image* background = FindImage(L"Grid5_ipad");
    ASSERT_NE(background, nullptr);
    std::vector<SheetQuad> back = frame.Quads(background);
    ASSERT_EQ(back.size(), 1u);
    EXPECT_EQ(back[0].mX, kBoardX - 120);
    EXPECT_EQ(back[0].mY, kBoardY - 150);
}

TEST_F(GridTest, ThePointersLineAndCluesAreHighlighted) {
    ASSERT_TRUE(StartBoard());
    Image* numbers = FindImage(L"G5Numbers_ipad");
    Image* cursor = FindImage(L"G5CursorHighlight_ipad");
    Image* reveal = FindImage(L"G5TileHighlight_ipad");
    ASSERT_TRUE(numbers && cursor && reveal);
    HoldLine(0, 1, 0, 3);
    const RecordedFrame frame(*mApp->mWidgetManager);
    // The line (0,1)-(0,3): the reveal highlight, the cursor on its end.
    std::vector<SheetQuad> line = frame.Quads(reveal);
    EXPECT_EQ(line.size(), 2u);
    EXPECT_TRUE(Has(line, kBoardX, kBoardY + kTile, 0));
    EXPECT_TRUE(Has(line, kBoardX, kBoardY + 2 * kTile, 0));
    std::vector<SheetQuad> end = frame.Quads(cursor);
    ASSERT_EQ(end.size(), 1u);
    EXPECT_TRUE(Has(end, kBoardX, kBoardY + 3 * kTile, 0));
    // Column 0's clues are highlighted (style row 0), row 3's too; others normal.
    std::vector<SheetQuad> quads = frame.Quads(numbers);
    int highlighted = 0, counts = 0;
    for (const SheetQuad& q : quads) {
        if (q.mCel / numbers->mNumCols == 0) ++highlighted;
        if (q.mCel / numbers->mNumCols == 3) ++counts;
    }
    EXPECT_EQ(highlighted, 4);
    EXPECT_EQ(counts, 3) << "running counts 1, 2, 3 along the line";
    mHarness.MouseUp(CellX(0), CellY(3));
    mHarness.DrainInput();
}

// A line of N cells holds at most ceil(N / 2) runs. At every size the game
// has, a board whose first column and row have that many shows every clue
// number inside the clue room (never over the cells) and inside the window;
// the room and the board fit beside the HUD with room on both sides (rooms of
// 380 at size 5 and 340 at size 10 once put the board against the window's
// right edge or the clues under the HUD).
TEST_F(GridTest, TheMostCluesALineCanHaveFitTheClueRoomAtEverySize) {
    GameStats rules(false);
    ASSERT_TRUE(rules.LoadText(ReadPropertiesFile(GameStats::kFileName), "game.xml")) << rules.GetErrorText();
    rules.Publish();
    const std::shared_ptr<const GridConfigTable> sizes = gGridConfigs.Get();
    ASSERT_FALSE(sizes->empty());
    const Rect window(0, 0, mApp->mWidth, mApp->mHeight);
    Image* hud = FindImage(L"hud_back_ipad");
    ASSERT_NE(hud, nullptr);
    for (const auto& [n, config] : *sizes) {
        SCOPED_TRACE("size " + std::to_string(n));
        std::vector<std::string> rows(static_cast<size_t>(n), std::string(static_cast<size_t>(n), '.'));
        for (int y = 0; y < n; y += 2)
            for (int x = 0; x < n; x += 2) rows[static_cast<size_t>(y)][static_cast<size_t>(x)] = '#';
        InstallPuzzle(1, rows);
        ASSERT_TRUE(StartBoard(1));
        Image* numbers = FindImage(Grid::NumbersImageName(n));
        ASSERT_NE(numbers, nullptr);
        EXPECT_GE(std::min(numbers->GetCelWidth(), numbers->GetCelHeight()), 14) << "numbers too small to read";
        const int runs = (n + 1) / 2;
        ASSERT_EQ(mGrid->GetClues(LineKind::Column)[0].size(), static_cast<size_t>(runs));
        const int side = n * mGrid->GetTileSize();
        const Rect cells(static_cast<int>(mGrid->mX), static_cast<int>(mGrid->mY), side, side);
        const Rect room(cells.mX - config.mOffsetX, cells.mY - config.mOffsetY, config.mOffsetX + side,
                        config.mOffsetY + side);
        Image* background = FindImage(Grid::BackgroundImageName(n));
        ASSERT_NE(background, nullptr);
        EXPECT_TRUE(background->GetWidth() == room.mWidth && background->GetHeight() == room.mHeight)
            << "the picture is drawn for this size's offsets";
        EXPECT_GE((window.mWidth - hud->GetWidth() - room.mWidth) / 2, 16) << "no room beside the HUD";
        EXPECT_GE(window.mHeight - room.mHeight, 0);

        const RecordedFrame frame(*mApp->mWidgetManager);
        int clues = 0;
        for (int i = 0; i < n; ++i)
            clues += static_cast<int>(mGrid->GetClues(LineKind::Column)[i].size() +
                                      mGrid->GetClues(LineKind::Row)[i].size());
        const std::vector<SheetQuad> quads = frame.Quads(numbers);
        EXPECT_EQ(static_cast<int>(quads.size()), clues);
        for (const SheetQuad& q : quads) {
            const Rect number(q.mX, q.mY, numbers->GetCelWidth(), numbers->GetCelHeight());
            EXPECT_TRUE(Inside(number, room)) << q.mX << "," << q.mY << " outside the clue room";
            EXPECT_FALSE(number.Intersects(cells)) << q.mX << "," << q.mY << " over the cells";
            EXPECT_TRUE(Inside(number, window)) << q.mX << "," << q.mY << " outside the window";
        }
        mGrid->RemoveSelf();
        Run(1);
    }
}

// From 21 cells a line can hold two two-digit clues side by side ("11 11",
// 10 + 1 + 10 cells). The numbers that can have such a neighbour keep two
// clear pixel columns at each side of their cel, so the pair never runs
// together into one number ("1111"), as it did with one column.
TEST_F(GridTest, TwoDigitCluesSideBySideKeepAGapBetweenThem) {
    GameStats rules(false);
    ASSERT_TRUE(rules.LoadText(ReadPropertiesFile(GameStats::kFileName), "game.xml")) << rules.GetErrorText();
    int checked = 0;
    for (const auto& [n, config] : rules.GetTable()) {
        if (n < 21) continue;
        SCOPED_TRACE("size " + std::to_string(n));
        ImageData numbers;
        std::string why;
        ASSERT_TRUE(LoadImageData("images/G" + std::to_string(n) + "Numbers_ipad", numbers, &why)) << why;
        const int w = numbers.mWidth / n, h = numbers.mHeight / 4;
        auto clearColumn = [&](int x, int y0) {
            for (int y = y0; y < y0 + h; ++y)
                if ((numbers.mBits[static_cast<size_t>(y) * numbers.mWidth + x] >> 24) != 0) return false;
            return true;
        };
        // Highlighted, normal and satisfied: the styles a clue is drawn in.
        for (int style = 0; style < 3; ++style)
            for (int v = 10; v + 1 + 10 <= n; ++v) {
                const int x0 = (v - 1) * w, y0 = style * h;
                for (int side : {0, 1, w - 2, w - 1})
                    EXPECT_TRUE(clearColumn(x0 + side, y0)) << v << " in style " << style << ": column " << side;
                ++checked;
            }
    }
    EXPECT_GT(checked, 0) << "a size of 21 cells or more";
}

// --- The picture ----------------------------------------------------------------------------

TEST_F(GridTest, ArtCellsTakeTheirColourCelShadeAndTheRevealsAlpha) {
    LoadArtTiles();
    ASSERT_EQ(gArtShades, 4);
    struct Case {
        int value, alpha, cel, level;  // cel -1: nothing drawn
    };
    const Case cases[] = {{0, 255, 0, 255}, {1, 255, 0, 223}, {2, 255, 0, 191}, {3, 128, 0, 159},
                          {4, 255, 1, 255}, {-1, 255, -1, 0}, {16 * 4, 255, -1, 0}};
    for (const Case& c : cases) {
        const RecordedFrame frame([&](Graphics& g) { DrawArtCell(&g, 40.0f, c.value, 1, 2, c.alpha); });
        const std::vector<SheetQuad> quads = frame.Quads(gArtTilesImage);
        if (c.cel < 0) {
            EXPECT_TRUE(quads.empty()) << c.value;
            continue;
        }
        ASSERT_EQ(quads.size(), 1u) << c.value;
        EXPECT_TRUE(Has(quads, 40, 80, c.cel)) << c.value << ": scaled to the cell at column 1, row 2";
        const uint32_t colour = frame.Draws().back().mVertices[0].mColor;
        EXPECT_EQ(colour >> 24, static_cast<uint32_t>(c.alpha)) << c.value;
        EXPECT_EQ((colour >> 16) & 0xff, static_cast<uint32_t>(c.level)) << c.value;
    }
    gArtShades = 0;
    EXPECT_EQ(ArtCellBrightness(3), 255) << "no shades reads as one";
    LoadArtTiles();
}

TEST_F(GridTest, ThePictureAppearsInShuffledStepsAndFadesTheTilesOnce) {
    std::vector<std::string> rows(10, std::string(10, '#'));
    InstallPuzzle(1, rows);
    const PuzzleRecord* record = PlayTileGrid::FindPuzzle(PuzzleRef{kGame, 0, 0, 1});
    ASSERT_NE(record, nullptr);
    PlayArtGrid art(*record, nullptr);
    std::vector<int> times;
    for (int x = 0; x < 10; ++x)
        for (int y = 0; y < 10; ++y) times.push_back(art.GetRevealTime(x, y));
    EXPECT_FALSE(std::is_sorted(times.begin(), times.end()));
    std::sort(times.begin(), times.end());
    for (int i = 0; i < 100; ++i) ASSERT_EQ(times[static_cast<size_t>(i)], 20 * (i + 1) / 10 + 50);
    EXPECT_EQ(art.GetEndFrame(), 280);

    // On a solved board: the tiles fade once, however often the reveal is asked.
    ASSERT_TRUE(StartBoard());
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 5; ++x)
            if (kRows[y][x] == '#') ClickCell(x, y);
    Settle();
    AnimationWidget* cell = mGrid->GetCellWidget(0, 0);
    ASSERT_NE(cell, nullptr);
    cell->AddNamedObject(L"tile", new DynamicWidget(0.0f, 0.0f, FindImage(L"G5CellTile_ipad"), 1.0f));
    auto* reveal = new PlayArtGrid(*PlayTileGrid::FindPuzzle(PuzzleRef{kGame, 0, 0, 0}), mGrid);
    mScreen->AddWidget(reveal);
    int steps = 0;
    while (!reveal->StartReveal() && steps++ < 1000) Run(1);
    EXPECT_EQ(reveal->GetFrameCounter(), reveal->GetEndFrame() + 1);
    EXPECT_EQ(mGrid->GetVariable(L"tile_image").ToString(), L"G5CellTile_ipad");
    Run(5);
    ASSERT_EQ(cell->mWaitState, WaitState::Persist) << "the fade ran to its end";
    EXPECT_TRUE(reveal->StartReveal());
    EXPECT_EQ(cell->mWaitState, WaitState::Persist) << "and was not started again";
}

TEST_F(GridTest, ALostBoardThrowsItsTilesAndShakesToRest) {
    ASSERT_TRUE(StartBoard());
    ClickCell(0, 0);
    AnimationWidget* cell = mGrid->GetCellWidget(0, 0);
    Settle();
    cell->AddNamedObject(L"tile", new DynamicWidget(0.0f, 0.0f, FindImage(L"G5CellTile_ipad"), 1.0f));
    const float restX = mGrid->mX;
    mGrid->ExplodeMistakeMeter();  // the test meter has no burst: at once
    EXPECT_EQ(mScreen->mFailCalls, 1);
    EXPECT_EQ(mGrid->GetCellWidget(0, 0), nullptr);
    EXPECT_EQ(mScreen->mEffects->GetWidgets().size(), 1u) << "the one tile flies";
    EXPECT_TRUE(mGrid->IsExploding());
    bool wentRight = false;
    for (int i = 0; i < 400 && mGrid->IsExploding(); ++i) {
        Run(1);
        wentRight |= mGrid->mX > restX;
    }
    EXPECT_TRUE(wentRight) << "thrown left, it swings back past its place";
    EXPECT_FALSE(mGrid->IsExploding());
    EXPECT_EQ(mGrid->mX, restX);
    mGrid->AnimationMessage(0, L"explode");
    EXPECT_EQ(mScreen->mFailCalls, 1) << "one explosion";
}

TEST_F(GridTest, ABoardLeavingTheTreeStopsListeningToTheBurst) {
    BurstingMistakeMeter meter(*mScreen);
    ASSERT_TRUE(StartBoard());
    mGrid->SetMeters(&mHintMeter, &meter);
    mGrid->ExplodeMistakeMeter();
    AnimationWidget* burst = meter.mBurst;
    ASSERT_NE(burst, nullptr);
    EXPECT_FALSE(mGrid->IsExploding()) << "the burst's script throws the board";
    EXPECT_EQ(burst->mAnimationListener, mGrid);
    mGrid->RemoveSelf();
    EXPECT_EQ(burst->mAnimationListener, nullptr) << "a board out of the tree hears no \"explode\"";
    mGrid = nullptr;
    Run(1);
    EXPECT_EQ(mScreen->mFailCalls, 0);
}

TEST_F(GridTest, ASmallArtGridShowsThePictureOrOnlyItsEmptyFrame) {
    mPlayer.mGameName = L"quiltro7";
    LoadArtTiles();
    Image* frame = FindImage(L"SmallGrid5_quiltro7");
    ASSERT_NE(frame, nullptr);
    const PuzzleLayer picture(5, std::vector<int32_t>(5, 4));
    struct Case {
        PuzzleLayer layer;
        bool show;
        size_t frames, cells;
    };
    const Case cases[] = {{picture, true, 0, 25}, {picture, false, 1, 0}, {PuzzleLayer(), true, 0, 0}};
    for (const Case& c : cases) {
        SmallArtGrid small(c.layer, 0.0f, 0.0f, c.show);
        const RecordedFrame drawn([&](Graphics& g) { small.Draw(&g); });
        EXPECT_EQ(drawn.Quads(frame).size(), c.frames) << c.show;
        EXPECT_EQ(drawn.Quads(gArtTilesImage).size(), c.cells) << c.show;
    }
}

// A cell of the picture without art is the picture's paper once its time
// comes: the board's marks under it do not show through the finished picture.
TEST_F(GridTest, CellsWithoutArtAreThePicturesPaper) {
    InstallPuzzle(1, std::vector<std::string>(5, std::string(5, '#')));  // no art anywhere
    PlayArtGrid art(*PlayTileGrid::FindPuzzle(PuzzleRef{kGame, 0, 0, 1}), nullptr);
    auto paperCells = [&art] {
        const RecordedFrame frame([&](Graphics& g) { art.Draw(&g); });
        int cells = 0;
        for (const auto& draw : frame.Draws())
            for (size_t q = 0; q + 3 < draw.mVertices.size(); q += 4)
                cells += draw.mVertices[q].mColor == 0xFFFAFAF6u;
        return cells;
    };
    EXPECT_EQ(paperCells(), 0) << "nothing before the reveal begins";
    while (art.GetFrameCounter() <= art.GetEndFrame()) art.Update();
    EXPECT_EQ(paperCells(), 25);
}
