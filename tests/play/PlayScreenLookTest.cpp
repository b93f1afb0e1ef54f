// The play screen as a player sees it, drawn by the OpenGL driver (offscreen
// or under Xvfb) and compared with a stored picture.
#include <cstdlib>
#include <iterator>

#include "app/PomoAppBase.h"
#include "core/FileUtil.h"
#include "data/ImageCodec.h"
#include "data/ImageData.h"
#include "puzzle/ArtCell.h"
#include "puzzle/TutorialGrid.h"
#include "render/D3DInterface.h"
#include "render/Graphics.h"
#include "render/Image.h"
#include "tests/play/PlayScreenFixture.h"
#include "tests/support/GLTestWindow.h"
#include "widgets/ButtonWidget.h"
#include "widgets/TextboxPopup.h"
#include "widgets/WidgetManager.h"

namespace {

// Pixels whose channels differ by more than `tolerance`.
int DifferingPixels(const ImageData& a, const ImageData& b, int tolerance) {
    int differing = 0;
    for (size_t i = 0; i < a.mBits.size(); ++i)
        for (int shift : {0, 8, 16}) {
            const int d = static_cast<int>((a.mBits[i] >> shift) & 0xff) - static_cast<int>((b.mBits[i] >> shift) & 0xff);
            if (std::abs(d) > tolerance) {
                ++differing;
                break;
            }
        }
    return differing;
}

// The window as the widget tree draws it now, on the desk colour, opaque.
ImageData DrawFrame(D3DInterface& device, WidgetManager& widgets) {
    {
        Graphics g(nullptr);
        g.SetColor(Color(0x14, 0x1A, 0x29));
        g.FillRect(0, 0, 1024, 768);
        widgets.DrawToGraphics(g);
        g.FlushBatch();
    }
    std::unique_ptr<ImageSurface> shot(device.CopyScreenImage());
    ImageData pixels = shot->GetImageData();
    for (uint32_t& p : pixels.mBits) p |= 0xff000000u;
    return pixels;
}

}  // namespace

TEST_F(PlayScreenTest, TheScreenLooksAsStored) {
    Open(0, 1, 0);
    // Some tiles, a mark, one mistake, and a line held along the second row.
    RevealTiles(9);
    ClickCell(2, 4, MouseButton::Right);
    ClickCell(0, 0, MouseButton::Right);
    Run(300);
    const Point from = CellCentre(0, 1), to = CellCentre(3, 1);
    mHarness.MouseMove(from.mX, from.mY);
    mHarness.MouseDown(from.mX, from.mY);
    mHarness.MouseMove(to.mX, to.mY);
    mMenu->SetElapsed(7300);
    Run(100);

    std::unique_ptr<D3DInterface> device = StartTestGLDevice();
    if (!device) GTEST_SKIP() << "no OpenGL 3.3 context here";
    ImageData pixels = DrawFrame(*device, *mApp->mWidgetManager);
    D3DInterface::Install(nullptr);
    WritePNG(QUILTRO7_BINARY_DIR "/play_screen.png", pixels);

    const std::string referencePath = QUILTRO7_SOURCE_DIR "/tests/play/reference/play_screen.png";
    std::string bytes;
    ASSERT_TRUE(ReadFileToString(referencePath, bytes)) << "no stored picture; this run's is in the build folder";
    ImageData reference;
    ASSERT_TRUE(DecodePNG(bytes.data(), bytes.size(), reference, nullptr));
    ASSERT_EQ(reference.mWidth, pixels.mWidth);
    ASSERT_EQ(reference.mHeight, pixels.mHeight);
    // Font rasterisers and GL drivers differ a little at edges.
    EXPECT_LT(DifferingPixels(pixels, reference, 24), pixels.mWidth * pixels.mHeight / 200);
}

// The lesson's OK button waits, disabled, until the lesson's step is done; a
// player must see that it cannot be pressed yet. The menu button's disabled
// look comes from the game's data: a greyed cel and a font of its own.
TEST_F(PlayScreenTest, ADisabledMenuButtonLooksDisabled) {
    Open(0, 0, 0);
    auto* grid = dynamic_cast<TutorialGrid*>(mMenu->GetGrid());
    ASSERT_NE(grid, nullptr);
    ASSERT_NE(grid->GetPopup(), nullptr);
    ButtonWidget* ok = grid->GetPopup()->GetOkButton();
    ASSERT_NE(ok, nullptr);
    ASSERT_TRUE(ok->mDisabled);
    mHarness.MouseMove(1000, 740);
    Run(2);
    std::unique_ptr<D3DInterface> device = StartTestGLDevice();
    if (!device) GTEST_SKIP() << "no OpenGL 3.3 context here";
    const ImageData disabled = DrawFrame(*device, *mApp->mWidgetManager);
    ok->SetDisabled(false);
    const ImageData enabled = DrawFrame(*device, *mApp->mWidgetManager);
    D3DInterface::Install(nullptr);
    EXPECT_GT(DifferingPixels(disabled, enabled, 24), ok->mWidth * ok->mHeight / 3);
}

// A confirmation cross-fades from the pause dialog: as it begins, the screen
// still shows the dialog where it stands.
TEST_F(PlayScreenTest, AConfirmationFadesInFromThePauseDialogWhereItStands) {
    Open(0, 1, 2);
    std::unique_ptr<D3DInterface> device = StartTestGLDevice();
    if (!device) GTEST_SKIP() << "no OpenGL 3.3 context here";
    Menu* pause = gGameScreens.mOptions(L"playing", 0, 1);
    ShowMenu(pause);
    Run(60);
    const ImageData before = DrawFrame(*device, *mApp->mWidgetManager);
    ShowMenu(gGameScreens.mConfirmMainMenu(pause));
    Run(1);
    const ImageData fading = DrawFrame(*device, *mApp->mWidgetManager);
    D3DInterface::Install(nullptr);
    EXPECT_LT(DifferingPixels(fading, before, 24), before.mWidth * before.mHeight / 200);
}

namespace {

// A frame of the tree drawn as the main loop draws it: only where the tree
// marked changes since the last frame (or whole), then read back.
struct TreeFrame {
    ImageData mPixels;
    bool mWhole = false;
    uint64_t mPixelsDrawn = 0;
};

TreeFrame DrawTreeFrame(D3DInterface& device, WidgetManager& widgets, bool whole) {
    WidgetManager::Changes changes;
    widgets.TakeDirty(&changes);
    const D3DInterface::FrameStats before = device.GetFrameStats();
    device.BeginFrame(Color(0x14, 0x1A, 0x29));
    {
        Graphics g(nullptr);
        widgets.DrawToGraphics(g);
    }
    changes.AddDrawnAreas();
    device.Present(whole || changes.mWhole ? nullptr : &changes.mRegion);
    TreeFrame frame;
    frame.mWhole = device.GetFrameStats().mWholeFrames != before.mWholeFrames;
    frame.mPixelsDrawn = device.GetFrameStats().mPixels - before.mPixels;
    std::unique_ptr<ImageSurface> shot(device.CopyScreenImage());
    frame.mPixels = shot->GetImageData();
    for (uint32_t& p : frame.mPixels.mBits) p |= 0xff000000u;
    return frame;
}

// Steps of the tree as the main loop runs them, without the loop's own
// frames (they would take the marks these tests draw from).
void StepTree(PomoAppBase& app, int steps) {
    for (int i = 0; i < steps; ++i) {
        app.mWidgetManager->Update();
        app.ProcessDeferredDeletes();
    }
    app.mWidgetManager->UpdateF(static_cast<float>(steps));
}

// Draws a frame only where things changed, then the same frame whole: they
// must be the same picture. Counts the frames drawn in part and their pixels.
struct PartCount {
    int mPartial = 0;
    uint64_t mPixels = 0;
};
void ExpectPartEqualsWhole(D3DInterface& device, WidgetManager& widgets, PartCount& count, const char* what, int step) {
    const TreeFrame part = DrawTreeFrame(device, widgets, false);
    const TreeFrame whole = DrawTreeFrame(device, widgets, true);
    EXPECT_EQ(DifferingPixels(part.mPixels, whole.mPixels, 0), 0) << what << ", step " << step;
    if (!part.mWhole && part.mPixelsDrawn > 0) {
        ++count.mPartial;
        count.mPixels += part.mPixelsDrawn;
    }
}

}  // namespace

// The clock's tick marks only where its label stands; a frame drawn there
// alone is the frame drawn whole, straight into the window and through the
// off-screen frame alike.
TEST_F(PlayScreenTest, AClockTickDrawnOnlyWhereItsLabelStandsMatchesTheWholeFrame) {
    Open(0, 1, 0);
    Run(300);
    std::unique_ptr<D3DInterface> device = StartTestGLDevice();
    if (!device) GTEST_SKIP() << "no OpenGL 3.3 context here";
    WidgetManager& widgets = *mApp->mWidgetManager;
    for (const bool intoWindow : {true, false}) {
        device->SetDrawIntoWindowAllowed(intoWindow);
        const TreeFrame before = DrawTreeFrame(*device, widgets, true);
        EXPECT_EQ(device->DrawsIntoWindow(), intoWindow);
        mMenu->SetElapsed(intoWindow ? 199 : 299);
        mMenu->Update();  // the clock reaches the next second
        const TreeFrame part = DrawTreeFrame(*device, widgets, false);
        const TreeFrame whole = DrawTreeFrame(*device, widgets, true);
        EXPECT_FALSE(part.mWhole);
        EXPECT_GT(part.mPixelsDrawn, 0u);
        EXPECT_LT(part.mPixelsDrawn, 1024u * 768u / 50u);
        EXPECT_GT(DifferingPixels(before.mPixels, part.mPixels, 24), 0);  // the tick shows
        EXPECT_EQ(DifferingPixels(part.mPixels, whole.mPixels, 0), 0) << (intoWindow ? "window" : "off-screen");
    }
    D3DInterface::Install(nullptr);
}

// A click on a cell starts its animation and the effects that fly to the
// meters: every frame of them drawn only where things changed is the frame
// drawn whole, and a small part of it.
TEST_F(PlayScreenTest, ACellAnimationDrawnOnlyWhereItChangesMatchesTheWholeFrame) {
    Open(0, 1, 0);
    Run(300);
    std::unique_ptr<D3DInterface> device = StartTestGLDevice();
    if (!device) GTEST_SKIP() << "no OpenGL 3.3 context here";
    WidgetManager& widgets = *mApp->mWidgetManager;
    Point cell(-1, -1);
    const int n = Grid().GetSize();
    for (int x = 0; x < n && cell.mX < 0; ++x)
        for (int y = 0; y < n && cell.mX < 0; ++y)
            if (IsTile(x, y)) cell = Point(x, y);
    ASSERT_GE(cell.mX, 0);
    const Point at = CellCentre(cell.mX, cell.mY);
    widgets.MouseMove(at.mX, at.mY);
    DrawTreeFrame(*device, widgets, true);
    widgets.MouseDown(at.mX, at.mY, MouseButton::Left, 1);
    widgets.MouseUp(at.mX, at.mY, MouseButton::Left);
    PartCount count;
    for (int step = 0; step < 60; ++step) {
        StepTree(*mApp, 1);
        ExpectPartEqualsWhole(*device, widgets, count, "cell animation", step);
    }
    D3DInterface::Install(nullptr);
    EXPECT_GT(count.mPartial, 20);
    EXPECT_LT(count.mPixels / static_cast<uint64_t>(count.mPartial), 1024u * 768u / 8u);
}

// The pointer's highlight (its row and column, the clue numbers lit) moves
// with it from cell to cell, drawn only there.
TEST_F(PlayScreenTest, AHoverHighlightDrawnOnlyWhereItMovesMatchesTheWholeFrame) {
    Open(0, 1, 0);
    Run(300);
    std::unique_ptr<D3DInterface> device = StartTestGLDevice();
    if (!device) GTEST_SKIP() << "no OpenGL 3.3 context here";
    WidgetManager& widgets = *mApp->mWidgetManager;
    const Point first = CellCentre(1, 1);
    widgets.MouseMove(first.mX, first.mY);
    DrawTreeFrame(*device, widgets, true);
    PartCount count;
    const Point cells[] = {{2, 1}, {2, 3}, {0, 4}, {4, 0}};
    for (size_t i = 0; i < std::size(cells); ++i) {
        const Point to = CellCentre(cells[i].mX, cells[i].mY);
        widgets.MouseMove(to.mX, to.mY);
        ExpectPartEqualsWhole(*device, widgets, count, "hover", static_cast<int>(i));
    }
    // Off the board the highlight goes.
    widgets.MouseMove(5, 5);
    ExpectPartEqualsWhole(*device, widgets, count, "hover", 99);
    D3DInterface::Install(nullptr);
    EXPECT_EQ(count.mPartial, static_cast<int>(std::size(cells)) + 1);
    EXPECT_LT(count.mPixels / static_cast<uint64_t>(count.mPartial), 1024u * 768u / 4u);
}

// The picture of a solved puzzle appears cell by cell: each frame of it is
// drawn only where cells fade in, and is the frame drawn whole.
TEST_F(PlayScreenTest, ThePictureRevealDrawnOnlyWhereCellsFadeInMatchesTheWholeFrame) {
    Open(0, 1, 0);
    RevealTiles();
    for (int steps = 0; mMenu->GetState() == PlayPuzzleMenu::State::Playing && steps < 500; ++steps) Run(1);
    ASSERT_EQ(mMenu->GetState(), PlayPuzzleMenu::State::Revealing);
    std::unique_ptr<D3DInterface> device = StartTestGLDevice();
    if (!device) GTEST_SKIP() << "no OpenGL 3.3 context here";
    WidgetManager& widgets = *mApp->mWidgetManager;
    DrawTreeFrame(*device, widgets, true);
    PartCount count;
    for (int step = 0; mMenu->GetState() == PlayPuzzleMenu::State::Revealing && step < 1000; step += 3) {
        StepTree(*mApp, 3);
        ExpectPartEqualsWhole(*device, widgets, count, "reveal", step);
    }
    D3DInterface::Install(nullptr);
    EXPECT_EQ(mMenu->GetState(), PlayPuzzleMenu::State::Finished);
    EXPECT_GT(count.mPartial, 10);
}

// A picture of one colour is one colour: no cell edge takes in the sheet's
// neighbouring cel (a faint seam between columns), at a whole and at an odd
// cell size alike.
TEST_F(PlayScreenTest, ASolidPictureHasNoSeams) {
    std::unique_ptr<D3DInterface> device = StartTestGLDevice();
    if (!device) GTEST_SKIP() << "no OpenGL 3.3 context here";
    LoadArtTiles();
    ASSERT_NE(gArtTilesImage, nullptr);
    for (const float size : {40.0f, 400.0f / 7.0f, 16.0f}) {
        for (const int value : {2 * gArtShades, 9 * gArtShades + 1}) {  // red; blue, a shade darker
            {
                Graphics g(nullptr);
                g.SetColor(Color(0x14, 0x1A, 0x29));
                g.FillRect(0, 0, 1024, 768);
                g.Translate(100.0f, 60.0f);
                for (int column = 0; column < 7; ++column)
                    for (int row = 0; row < 7; ++row) DrawArtCell(&g, size, value, column, row);
                g.FlushBatch();
            }
            std::unique_ptr<ImageSurface> shot(device->CopyScreenImage());
            const ImageData pixels = shot->GetImageData();
            const int inner = static_cast<int>(7 * size) - 2;
            const uint32_t centre = pixels.mBits[static_cast<size_t>((60 + inner / 2) * pixels.mWidth + 100 + inner / 2)];
            int off = 0;
            for (int y = 61; y < 61 + inner; ++y)
                for (int x = 101; x < 101 + inner; ++x) {
                    const uint32_t p = pixels.mBits[static_cast<size_t>(y * pixels.mWidth + x)];
                    for (int shift : {0, 8, 16})
                        if (std::abs(static_cast<int>((p >> shift) & 0xff) - static_cast<int>((centre >> shift) & 0xff)) > 3) {
                            ++off;
                            break;
                        }
                }
            EXPECT_EQ(off, 0) << "cell size " << size << ", value " << value;
        }
    }
    D3DInterface::Install(nullptr);
}
