#include <gtest/gtest.h>

#include "core/FileUtil.h"
#include "core/Log.h"
#include "data/AnimationStats.h"
#include "data/AssetManager.h"
#include "data/Constants.h"
#include "data/PakBuilder.h"
#include "platform/FileSystem.h"
#include "puzzle/ProfileManager.h"
#include "puzzle/PuzzleRecord.h"
#include "puzzle/SetStats.h"
#include "render/Font.h"
#include "screens/MyGameApp.h"
#include "tests/support/AppHarness.h"

// The data folder and its main.pak alone give the same tables; a first
// start, with no settings.xml, plays the music at its default.
TEST(MyGameApp, StartUpLoadsEveryTableFromTheDataFolderOrItsPakAlone) {
    const std::string packed = PlatformMakeTempDirectory("quiltro7-pakonly-");
    std::string error;
    ASSERT_TRUE(BuildPakFromFolder(TestGameDataFolder(), packed + "/main.pak", &error)) << error;
    for (const std::string& folder : {std::string(), packed}) {
        SCOPED_TRACE(folder.empty() ? "data folder" : "main.pak");
        AppHarness::Options o;
        o.dataFolder = folder;
        AppHarness h(o);
        auto& app = h.Boot<MyGameApp>();
        ASSERT_TRUE(h.InitSucceeded());
        EXPECT_DOUBLE_EQ(app.GetMusicGroupVolume(L"music"), 0.85);
        h.RunUntil([&app] { return app.IsLoadingFinished(); });
        EXPECT_TRUE(app.GetLoadErrors().empty()) << app.GetLoadErrors().front();
        EXPECT_TRUE(app.IsLoadingFinished());
        EXPECT_DOUBLE_EQ(app.GetLoadingProgress(), 1.0);
        EXPECT_NE(FindFont(L"menu"), nullptr);
        EXPECT_NE(FindFont(L"tiny"), nullptr);
        EXPECT_TRUE(IsConstantDefined(L"tutorials"));
        EXPECT_TRUE(AnimationExists(L"fade_in"));
        EXPECT_NE(FindImage(L"Dialog"), nullptr);  // an always-loaded picture
        const GamePuzzles* game = FindGamePuzzles(L"quiltro7");
        ASSERT_NE(game, nullptr);
        EXPECT_GE(game->mModes[0].size(), 2u);
        EXPECT_GE(game->mModes[1].size(), 1u);
        EXPECT_FALSE(gSetTable.Get()->empty());
        EXPECT_EQ(gProfiles.size(), 8u);
        EXPECT_FALSE(app.IsShutdownRequested());
        h.Quit();
        EXPECT_EQ(app.mExitCode, 0);
    }
    PlatformRemoveTree(packed);
}

namespace {

// A copy of the data folder as loose files, leaving out one file.
void CopyTree(const std::string& from, const std::string& to, const std::string& leaveOut) {
    PlatformMakeDirectory(to);
    std::vector<DirEntry> entries;
    PlatformListDirectory(from, entries);
    for (const DirEntry& entry : entries) {
        const std::string source = from + "/" + entry.name, target = to + "/" + entry.name;
        if (source == leaveOut) continue;
        if (entry.isDirectory) {
            CopyTree(source, target, leaveOut);
        } else {
            std::string bytes;
            ASSERT_TRUE(ReadFileToString(source, bytes));
            ASSERT_TRUE(WriteStringToFile(target, bytes));
        }
    }
}

std::string DataFile(const std::string& name) {
    std::string bytes;
    ReadFileToString(TestGameDataFolder() + "/" + name, bytes);
    return bytes;
}

// The first problem of a start-up on a damaged data folder: what the box shows.
std::string FirstLoadError(const std::string& file, const std::string& bytes, bool remove = false) {
    const std::string folder = PlatformMakeTempDirectory("quiltro7-broken-");
    if (file == "main.pak") {
        WriteStringToFile(folder + "/main.pak", bytes);
    } else {
        CopyTree(TestGameDataFolder(), folder, remove ? TestGameDataFolder() + "/" + file : std::string());
        if (!remove) WriteStringToFile(folder + "/" + file, bytes);
    }
    std::string message;
    {
        AppHarness::Options o;
        o.dataFolder = folder;
        AppHarness h(o);
        auto& app = h.Boot<MyGameApp>();
        EXPECT_TRUE(h.InitSucceeded());
        SetDebugOutputEnabled(false);
        h.RunUntil([&app] { return app.IsLoadingFinished(); });
        SetDebugOutputEnabled(true);
        EXPECT_FALSE(app.IsLoadingFinished());
        EXPECT_TRUE(app.IsShutdownRequested());
        EXPECT_EQ(app.mExitCode, 1);
        std::vector<std::string> errors = app.GetLoadErrors();
        if (!errors.empty()) message = errors.front();
    }
    PlatformRemoveTree(folder);
    return message;
}

}  // namespace

// Every damaged file stops the start-up with its own file, line and reason,
// ahead of any consequence the check of the tables would name.
TEST(MyGameApp, BrokenDataEndsTheGameWithTheFileLineAndReason) {
    const std::string puzzles = DataFile("properties/puzzles_quiltro7.xml");
    const std::string cut = puzzles.substr(0, puzzles.find("</puzzle>") + 9);
    std::string hash = puzzles;
    hash.replace(hash.find("</grid>"), 0, "#");
    struct Case {
        std::string file, bytes;
        std::vector<std::string> parts;
        bool remove = false;
    };
    const std::vector<Case> cases = {
        {"properties/animations.xml", "<animations>\n<animation name=\"a\">\n<wait-for time=\"1\">\n</animations>\n",
         {"animations.xml", "Line 4"}},
        {"properties/puzzles_quiltro7.xml", cut, {"XML error", "puzzles_quiltro7.xml", "Line"}},
        {"properties/puzzles_quiltro7.xml", hash, {"\"#\" is not 0 or 1", "puzzles_quiltro7.xml"}},
        {"properties/sets7.xml", DataFile("properties/sets7.xml") + "<game name=\"x\">", {"XML error", "sets7.xml"}},
        {"properties/game.xml", DataFile("properties/game.xml") + "<grid/>", {"XML error", "game.xml"}},
        {"properties/localization.xml", DataFile("properties/localization.xml") + "</x>", {"XML error", "localization.xml"}},
        {"properties/localization.xml", "", {"Cannot open", "localization.xml"}, true},
        {"properties/config.xml", "<config>\n<entry name=\"a\" value=\"1\"/>\n<nope/>\n</config>", {"config.xml", "Line 3"}},
        {"properties/constants.xml", "<constants>\n<int name=\"a\" value=\"1\"/>\n<nope/>\n</constants>",
         {"constants.xml", "Line 3", "nope"}},
        {"images/Dialog.png", "not an image", {"Dialog", "assets.xml"}},
        {"main.pak", "not an archive at all", {"main.pak", "archive"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        const std::string message = FirstLoadError(c.file, c.bytes, c.remove);
        for (const std::string& part : c.parts) EXPECT_NE(message.find(part), std::string::npos) << part << " not in: " << message;
        EXPECT_EQ(message.find("lists"), std::string::npos) << message;  // never the check's consequence
    }
}
