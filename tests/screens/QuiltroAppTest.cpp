#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "app/FileUtil.h"
#include "app/Log.h"
#include "data/AnimationStats.h"
#include "data/AssetManager.h"
#include "data/Constants.h"
#include "data/PakBuilder.h"
#include "platform/FileSystem.h"
#include "puzzle/ProfileManager.h"
#include "puzzle/PuzzleRecord.h"
#include "puzzle/SetStats.h"
#include "render/Font.h"
#include "screens/QuiltroApp.h"
#include "tests/support/AppHarness.h"

namespace {

// The loading thread works in real time while the loop runs on the test clock.
void RunUntilLoaded(AppHarness& h, QuiltroApp& app) {
    for (int i = 0; i < 20000 && !app.IsLoadingFinished() && !app.IsShutdownRequested(); ++i) {
        h.RunSteps(1);
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

void ExpectEveryTableLoaded(QuiltroApp& app) {
    EXPECT_TRUE(app.GetLoadErrors().empty()) << app.GetLoadErrors().front();
    EXPECT_TRUE(app.IsLoadingFinished());
    EXPECT_DOUBLE_EQ(app.GetLoadingProgress(), 1.0);
    EXPECT_NE(FindFont(L"menu"), nullptr);
    EXPECT_NE(FindFont(L"tiny"), nullptr);
    EXPECT_TRUE(IsConstantDefined(L"tutorials"));
    EXPECT_TRUE(AnimationExists(L"fade_in"));
    EXPECT_NE(FindImage(L"sample_rgba"), nullptr);
    const GamePuzzles* game = FindGamePuzzles(L"quiltro7");
    ASSERT_NE(game, nullptr);
    EXPECT_GE(game->mModes[0].size(), 2u);
    EXPECT_GE(game->mModes[1].size(), 1u);
    EXPECT_FALSE(gSetTable.Get()->empty());
    EXPECT_EQ(gProfiles.size(), 8u);
}

}  // namespace

TEST(QuiltroApp, StartUpLoadsEveryTableFromTheDataFolder) {
    AppHarness h;
    auto& app = h.Boot<QuiltroApp>();
    ASSERT_TRUE(h.InitSucceeded());
    RunUntilLoaded(h, app);
    ExpectEveryTableLoaded(app);
    EXPECT_FALSE(app.IsShutdownRequested());
    h.Quit();
    EXPECT_EQ(app.mExitCode, 0);
}

TEST(QuiltroApp, StartUpLoadsTheSameTablesFromMainPakAlone) {
    std::string folder = PlatformMakeTempDirectory("quiltro7-pakonly-");
    std::string error;
    ASSERT_TRUE(BuildPakFromFolder(TestGameDataFolder(), folder + "/main.pak", &error)) << error;
    {
        AppHarness::Options o;
        o.dataFolder = folder;
        AppHarness h(o);
        auto& app = h.Boot<QuiltroApp>();
        ASSERT_TRUE(h.InitSucceeded());
        RunUntilLoaded(h, app);
        ExpectEveryTableLoaded(app);
    }
    PlatformRemoveTree(folder);
}

TEST(QuiltroApp, BrokenDataEndsTheGameWithTheFileAndLine) {
    std::string folder = PlatformMakeTempDirectory("quiltro7-broken-");
    std::string error;
    ASSERT_TRUE(BuildPakFromFolder(TestGameDataFolder(), folder + "/main.pak", &error)) << error;
    // A loose file shadows the archive's copy.
    ASSERT_TRUE(WriteStringToFile(folder + "/properties/animations.xml",
                                  "<animations>\n<animation name=\"a\">\n<wait-for time=\"1\">\n"
                                  "</animations>\n"));
    {
        AppHarness::Options o;
        o.dataFolder = folder;
        AppHarness h(o);
        auto& app = h.Boot<QuiltroApp>();
        ASSERT_TRUE(h.InitSucceeded());
        SetDebugOutputEnabled(false);
        RunUntilLoaded(h, app);
        SetDebugOutputEnabled(true);
        EXPECT_FALSE(app.IsLoadingFinished());
        EXPECT_TRUE(app.IsShutdownRequested());
        EXPECT_EQ(app.mExitCode, 1);
        std::vector<std::string> errors = app.GetLoadErrors();
        ASSERT_FALSE(errors.empty());
        const std::string& message = errors.front();
        EXPECT_NE(message.find("animations.xml"), std::string::npos) << message;
        EXPECT_NE(message.find("Line 4"), std::string::npos) << message;
    }
    PlatformRemoveTree(folder);
}
