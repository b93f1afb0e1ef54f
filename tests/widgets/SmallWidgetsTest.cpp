// The small widgets through the application's input: a button that drags its
// surface, the rest position of an active widget, rectangles and the extra
// colour passes they share with labels.
#include <gtest/gtest.h>

#include <algorithm>

#include "data/AssetManager.h"
#include "render/Graphics.h"
#include "render/Image.h"
#include "tests/widgets/TreeTestWidgets.h"
#include "tests/widgets/WidgetAppTest.h"
#include "widgets/ActiveWidget.h"
#include "widgets/ColorPasses.h"
#include "widgets/DragButton.h"
#include "widgets/RectWidget.h"

namespace {

class Clicks : public ButtonListener {
public:
    void ButtonDepress(int) override { ++mDepresses; }
    int mDepresses = 0;
};

class SmallWidgetsTest : public WidgetAppTest<> {
protected:
    Clicks mClicks;
};

TEST_F(SmallWidgetsTest, DragButtonPassesEventsUpAndClicksOnlyWhenItStaysPut) {
    struct Case {
        int move;
        int clicks;
    };
    for (const Case& c : {Case{0, 1}, Case{25, 0}}) {
        std::vector<std::string> log;
        auto* surface = new LogWidget(&log, "surface", 100, 100, 300, 200);
        mManager->AddWidget(surface);
        auto* button = new DragButton(0.0f, 0.0f, L"no_such_image");
        button->Resize(20, 20, 80, 30);
        button->mButtonListener = &mClicks;
        surface->AddWidget(button);
        mClicks.mDepresses = 0;

        mHarness.MouseMove(130, 130);
        mHarness.MouseDown(130, 130);
        mHarness.MouseMove(130 + c.move, 130);
        mHarness.MouseUp(130 + c.move, 130);
        mHarness.DrainInput();
        EXPECT_EQ(mClicks.mDepresses, c.clicks) << c.move;
        // The surface saw the press and the release where they happened on it.
        const std::string up = "surface:up " + LogWidget::Pos(30 + c.move, 30) + " 1";
        EXPECT_NE(std::find(log.begin(), log.end(), "surface:down 30,30 1"), log.end()) << c.move;
        EXPECT_NE(std::find(log.begin(), log.end(), up), log.end()) << c.move;
        surface->RemoveSelf();
        mHarness.RunSteps(1);
    }
}

TEST_F(SmallWidgetsTest, ActiveWidgetStartsByItsIndexAndReturnsToRest) {
    ImageData data;
    data.mWidth = 160;  // two cels of 80
    data.mHeight = 20;
    data.mBits.assign(160 * 20, 0xFFFFFFFFu);
    gAssetManager->AddImage(L"test_active", CreateImageFromData(std::move(data), 2, 1));
    auto* active = new ActiveWidget(200.0f, 50.0f, L"test_active", 1);
    mManager->AddWidget(active);
    EXPECT_EQ(active->mX, 120.0f);  // (1 + 1) half widths to the left
    active->Move(400.0f, 300.0f);
    active->ReturnToRest();
    EXPECT_EQ(FPoint(active->mX, active->mY), FPoint(120.0f, 50.0f));
}

TEST_F(SmallWidgetsTest, RectanglesBakeIntoTheirOwnImageExceptEmptyOnes) {
    RectWidget rect(10.0f, 20.0f, 4, 3, Color(200, 100, 50, 255));
    ImageSurface* surface = rect.GetOwnImageSurface();
    ASSERT_NE(surface, nullptr);
    EXPECT_EQ(surface->GetImageData().mBits[0], Color(200, 100, 50, 255).ToARGB());
    EXPECT_EQ(FRect(rect.mX, rect.mY, rect.mWidth, rect.mHeight), FRect(10, 20, 4, 3));
    RectWidget empty(0.0f, 0.0f, 0, 5, Color::White);
    EXPECT_EQ(empty.GetOwnImageSurface(), nullptr);
}

TEST_F(SmallWidgetsTest, ChannelsAboveOneAddExtraPasses) {
    struct Case {
        float red;
        std::vector<Color> passes;
    };
    const Case cases[] = {
        {1.0f, {Color(255, 255, 255, 255)}},
        {1.5f, {Color(255, 255, 255, 255), Color(128, 0, 0, 255)}},
        {2.5f, {Color(255, 255, 255, 255), Color(255, 0, 0, 255), Color(128, 0, 0, 255)}},
    };
    for (const Case& c : cases) {
        Graphics g;
        std::vector<Color> passes;
        std::vector<int> modes;
        DrawColorPasses(g, c.red, 1.0f, 1.0f, 1.0f, [&](const Color& color) {
            passes.push_back(color);
            modes.push_back(g.GetDrawMode());
            EXPECT_EQ(g.IsBatching(), c.red > 1.0f);  // on for the passes
        });
        EXPECT_EQ(passes, c.passes) << c.red;
        EXPECT_EQ(modes.front(), DRAWMODE_NORMAL) << c.red;
        EXPECT_EQ(modes.back(), c.red > 1.0f ? DRAWMODE_ADDITIVE : DRAWMODE_NORMAL) << c.red;
        EXPECT_FALSE(g.IsBatching()) << c.red;  // both restored
        EXPECT_EQ(g.GetDrawMode(), DRAWMODE_NORMAL) << c.red;
    }
}

}  // namespace
