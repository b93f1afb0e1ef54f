// The test fixtures stay out of the game's data: the overlay only adds files
// to the folder it is laid over, and the game's own files name none of them,
// so the archive the game ships (gamedata/ packed) holds none.
#include <functional>

#include "data/AnimationStats.h"
#include "core/StringUtil.h"
#include "data/AssetManager.h"
#include "tests/data/DataFilesTestSupport.h"
#include "tests/support/TestOverlay.h"

using namespace datafiles_test;

TEST(TestFixtures, TheOverlayShadowsNoFileOfTheGame) {
    PakInterface layer;  // no folder laid over: what the game itself finds
    int files = 0;
    std::function<void(const std::string&)> walk = [&](const std::string& folder) {
        std::vector<DirEntry> entries;
        ASSERT_TRUE(PlatformListDirectory(TestOverlayFolder() + "/" + folder, entries)) << folder;
        for (const DirEntry& entry : entries) {
            if (entry.isDirectory) {
                walk(folder + entry.name + "/");
                continue;
            }
            EXPECT_FALSE(layer.FileExists(GameData() + folder + entry.name)) << folder << entry.name;
            ++files;
        }
    };
    walk("");
    EXPECT_GT(files, 30);
}

TEST(TestFixtures, TheGamesTablesNameNoFixture) {
    AssetManager assets;
    std::string error;
    ASSERT_TRUE(assets.LoadDefinitions(GameData() + "properties/assets.xml", &error)) << error;
    AssetImageDef def;
    for (const wchar_t* name : {L"sample_rgba", L"sample_cels", L"sample_photo", L"sample_icon", L"sample_rle",
                                L"showcase_card"})
        EXPECT_FALSE(assets.FindImageDef(name, def)) << WStringToString(name);
    EXPECT_FALSE(assets.HasGroup("ShowcaseAssets"));
    AnimationStats animations;
    ASSERT_TRUE(animations.LoadAnimations(GameData() + "properties/animations.xml")) << animations.GetErrorText();
    for (const wchar_t* name : {L"sample_countdown", L"showcase_scene", L"showcase_looks"})
        EXPECT_FALSE(animations.GetTable().count(name)) << WStringToString(name);
}
