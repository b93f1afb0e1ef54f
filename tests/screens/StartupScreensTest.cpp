#include <gtest/gtest.h>

#include <utility>

#include "app/DistributorScreen.h"
#include "app/GameApp.h"
#include "app/LogoPieces.h"
#include "app/LogoScreen.h"
#include "core/FileUtil.h"
#include "data/AssetManager.h"
#include "platform/FileSystem.h"
#include "render/Image.h"
#include "tests/support/AppHarness.h"
#include "tests/support/WidgetQueries.h"
#include "widgets/TitleScreen.h"

namespace {

// Counts the title screens the start-up makes.
class SplashApp : public GameApp {
public:
    SplashApp() : GameApp("Splashes", "v1", 1024, 768) {}
    TitleScreen* CreateTitleScreen() override {
        ++mTitles;
        return new TitleScreen(nullptr);
    }
    int mTitles = 0;
};

class StartupScreens : public ::testing::Test {
protected:
    // In the game's data folder, or in an empty one; `loaderDone`: the
    // loading thread has read the logo's pictures behind the publisher's.
    void Boot(bool gameData, bool loaderDone = true) {
        mHarness.reset();
        // Pictures that earlier runs loaded must not be found.
        gAssetManager->Clear();
        if (!gameData) mEmpty = PlatformMakeTempDirectory("quiltro7-nosplash-");
        AppHarness::Options options;
        options.dataFolder = mEmpty;
        options.startupScreens = true;
        options.titleScreen = true;
        mHarness = std::make_unique<AppHarness>(options);
        mApp = &mHarness->Boot<SplashApp>();
        ASSERT_TRUE(mHarness->InitSucceeded());
        mApp->LoadStartupAssets();
        if (loaderDone) mApp->LoadDeferredStartupAssets();
    }
    void TearDown() override {
        mHarness.reset();
        if (!mEmpty.empty()) PlatformRemoveTree(mEmpty);
    }

    std::unique_ptr<AppHarness> mHarness;
    SplashApp* mApp = nullptr;
    std::string mEmpty;
};

// Clicks skip the publisher's splash, then the logo, then a distributor's
// splash after its first second. Only the publisher's picture is read before
// the first frame: a click waits for the logo's pictures, and a second click
// in that time skips the logo too.
TEST_F(StartupScreens, ClicksSkipThePublisherSplashThenTheLogoThenADistributorSplashAfterItsFirstSecond) {
    for (const int earlyClicks : {1, 2}) {
        SCOPED_TRACE(earlyClicks);
        Boot(true, false);
        mApp->ShowStartupScreens();
        mHarness->RunSteps(2);
        LogoScreen* logo = TopMenu<LogoScreen>();
        ASSERT_NE(logo, nullptr);
        EXPECT_TRUE(logo->IsShowingSplash());
        for (int i = 0; i < earlyClicks; ++i) mHarness->Click(500, 400);
        mHarness->RunSteps(1);
        EXPECT_EQ(TopMenu<LogoScreen>(), logo);
        EXPECT_TRUE(logo->IsShowingSplash()) << "the logo's pictures are not read yet";
        mApp->LoadDeferredStartupAssets();
        mHarness->RunSteps(1);
        if (earlyClicks == 2) {
            EXPECT_NE(TopMenu<DistributorScreen>(), nullptr);
            continue;
        }
        EXPECT_FALSE(logo->IsShowingSplash());
        EXPECT_EQ(logo->GetLetters().size(), 5u);
        mHarness->Click(500, 400);
        mHarness->RunSteps(1);
        DistributorScreen* splash = TopMenu<DistributorScreen>();
        ASSERT_NE(splash, nullptr);
        mHarness->RunSteps(50);
        mHarness->Click(500, 400);
        mHarness->RunSteps(1);
        EXPECT_EQ(TopMenu<DistributorScreen>(), splash) << "a click in the first second is ignored";
        mHarness->RunSteps(60);
        mHarness->Click(500, 400);
        mHarness->RunSteps(1);
        DistributorScreen* second = TopMenu<DistributorScreen>();
        ASSERT_NE(second, nullptr);
        EXPECT_NE(second, splash);
    }
}

TEST_F(StartupScreens, UntouchedEachScreenEndsOnItsOwnClock) {
    Boot(true);
    mApp->ShowStartupScreens();
    LogoScreen* logo = TopMenu<LogoScreen>();
    mHarness->RunSteps(LogoScreen::kSplashTicks);
    EXPECT_TRUE(logo->IsShowingSplash());
    mHarness->RunSteps(2);
    EXPECT_FALSE(logo->IsShowingSplash());
    // The trail shows nothing until the ball's centre passes its origin, its
    // descent only past 408 pixels; the ball's landings lean two letters.
    std::vector<int> parts;
    for (int step = 0; step < LogoScreen::kLogoTicks - 2; ++step) {
        mHarness->RunSteps(1);
        const int now = logo->GetTrailParts();
        if (parts.empty() || parts.back() != now) parts.push_back(now);
    }
    EXPECT_EQ(parts, (std::vector<int>{0, 1, 2}));
    ASSERT_NE(logo->GetBall(), nullptr);
    EXPECT_EQ(logo->GetBall()->mBounce, 3);
    EXPECT_EQ(TopMenu<LogoScreen>(), logo);
    mHarness->RunSteps(3 + 2 * (DistributorScreen::kShowTicks + 2));
    EXPECT_EQ(mApp->mTitles, 1);
    EXPECT_NE(TopMenu<TitleScreen>(), nullptr);
}

// Without the logo's pictures the letters and the ball draw nothing; without
// the splash pictures (a missing one, an empty file) the title comes at
// once, and once only however often the next screen is asked for.
TEST_F(StartupScreens, WithoutPicturesTheLogoRunsBlindAndTheTitleOpensOnce) {
    Boot(false);
    ASSERT_TRUE(PlatformMakeDirectory(JoinPath(mEmpty, "images")));
    ASSERT_TRUE(WriteStringToFile(JoinPath(mEmpty, "images/splash.png"), ""));
    mApp->ShowStartupScreens();
    LogoScreen* logo = TopMenu<LogoScreen>();
    ASSERT_NE(logo, nullptr);
    EXPECT_FALSE(logo->IsShowingSplash());
    mHarness->RunSteps(LogoScreen::kLogoTicks + 2);
    EXPECT_EQ(mApp->mTitles, 1);
    mApp->ShowNextSplash();
    mApp->ShowNextSplash();
    EXPECT_EQ(mApp->mTitles, 1);
}

TEST_F(StartupScreens, AScreenSaverGoesStraightToTheTitle) {
    Boot(true);
    mApp->mScreenSaverMode = true;
    mApp->ShowStartupScreens();
    EXPECT_EQ(mApp->mTitles, 1);
}

// The ball at a fixed frame rate: the same landings every run; squashed it
// shows cels 1, 2, 1, and a picture without the three columns only cel 0.
TEST(LogoBall, PathIsFixedAndSquashShowsItsCels) {
    const int landingSteps[3] = {114, 188, 300};
    const double landingX[3] = {274.74, 469.545, 679.305};
    for (int columns : {1, 3}) {
        ImageSurface sheet;
        sheet.Create(100 * columns, 101);
        sheet.mNumCols = columns;
        LogoBall ball(&sheet);
        std::vector<int> landings, cels;
        for (int step = 1; step <= 400; ++step) {
            ball.Update();
            ball.UpdateF(1.0f);
            if (std::exchange(ball.mBounced, false)) {
                EXPECT_NEAR(ball.mPosX, landingX[landings.size()], 0.01);
                landings.push_back(step);
            }
            if (ball.mBounce == 1 && (cels.empty() || cels.back() != ball.GetDrawnCel())) cels.push_back(ball.GetDrawnCel());
        }
        EXPECT_EQ(landings, std::vector<int>(landingSteps, landingSteps + 3));
        EXPECT_EQ(ball.mPosY, 384 + 4);
        EXPECT_EQ(cels, columns == 3 ? (std::vector<int>{1, 2, 1, 0}) : std::vector<int>{0});
    }
}

TEST(DistributorScreen, PicturesFitTheWindowKeepingTheirShape) {
    struct Case {
        int width, height;
        Rect fitted;
    };
    const Case cases[] = {{800, 600, Rect(0, 0, 1024, 768)},
                          {2048, 768, Rect(0, 192, 1024, 384)},
                          {512, 768, Rect(256, 0, 512, 768)}};
    for (const Case& c : cases) EXPECT_EQ(FitPicture(c.width, c.height, 1024, 768), c.fitted) << c.width;
}

}  // namespace
