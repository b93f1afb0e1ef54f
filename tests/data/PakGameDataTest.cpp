#include <gtest/gtest.h>

#include "core/Log.h"
#include "data/Config.h"
#include "data/Constants.h"
#include "data/ConstantsLoader.h"
#include "data/Localization.h"
#include "tests/data/DataFilesTestSupport.h"
#include "tests/support/AppHarness.h"

using namespace datafiles_test;

namespace {

struct Tables {
    VariableMap mConstants;
    LocalizedStringMap mStrings;
    std::map<std::wstring, std::wstring> mConfig;
};

// Loads our tables the way the game does, relative to the current folder.
Tables LoadTables() {
    Tables tables;
    ConstantsLoader constants;
    EXPECT_TRUE(constants.Load("properties/constants.xml")) << constants.GetErrorText();
    tables.mConstants = constants.GetTable();
    Localization localization;
    EXPECT_TRUE(localization.Load("properties\\localization.xml")) << localization.GetErrorText();
    tables.mStrings = localization.GetStrings();
    ConfigLoader config;
    EXPECT_TRUE(config.Load("Properties/Config.xml")) << config.GetErrorText();
    tables.mConfig = config.GetTable();
    return tables;
}

// The game data folder packed into main.pak, with nothing else beside it,
// gives the same tables as the folder itself.
TEST(PakGameDataTest, MainPakAloneServesTheSameTables) {
    auto savedConstants = GetConstantsSnapshot();
    auto savedStrings = gLocalizedStrings.Snapshot();

    Tables fromFolder;
    {
        CurrentFolder here(TestGameDataFolder());
        fromFolder = LoadTables();
    }
    ScratchFolder packed;
    std::string error;
    ASSERT_TRUE(BuildPakFromFolder(TestGameDataFolder(), packed / "main.pak", &error)) << error;
    Tables fromPak;
    {
        CurrentFolder here(packed.Path());
        PakInterface pak;
        UsePakInterface use(pak);
        EXPECT_FALSE(DataFileExists("properties/constants.xml"));
        ASSERT_TRUE(pak.AddPakFile("main.pak")) << pak.GetLastPakError();
        EXPECT_TRUE(DataFileExists("properties/constants.xml"));
        fromPak = LoadTables();
    }
    EXPECT_FALSE(fromFolder.mConstants.empty());
    EXPECT_FALSE(fromFolder.mStrings.empty());
    EXPECT_TRUE(fromPak.mConstants == fromFolder.mConstants);
    EXPECT_EQ(fromPak.mStrings, fromFolder.mStrings);
    EXPECT_EQ(fromPak.mConfig, fromFolder.mConfig);

    PublishConstants(*savedConstants);
    gLocalizedStrings.Clear();
    gLocalizedStrings.Publish(*savedStrings);
}

}  // namespace
