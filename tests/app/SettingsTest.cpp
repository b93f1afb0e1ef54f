#include <gtest/gtest.h>

#include "core/CommandLine.h"
#include "core/FileUtil.h"
#include "app/Settings.h"
#include "platform/FileSystem.h"

namespace {
struct Folder {
    std::string path = PlatformMakeTempDirectory("quiltro7-settings-");
    ~Folder() { PlatformRemoveTree(path); }
};

// Reads settings from a settings.xml holding `text`.
bool ReadSettingsText(const std::string& text, AppSettings& s, std::string* error) {
    Folder f;
    EXPECT_TRUE(WriteStringToFile(f.path + "/settings.xml", text));
    return ReadSettingsFile(f.path + "/settings.xml", s, error);
}
}  // namespace

TEST(Settings, RoundTripKeepsEveryValue) {
    Folder f;
    AppSettings out;
    out.version = "v1.2";
    out.sfxVolume = 0.25;
    out.musicGroupVolumes[L"music"] = 0.5;
    out.musicGroupVolumes[L"ambient & \"loops\""] = 0.125;
    out.mouseSpeed = 17;
    out.windowed = false;
    out.vsync = false;
    out.customCursors = false;
    out.stretch = true;
    std::string path = f.path + "/settings.xml";
    ASSERT_TRUE(WriteSettingsFile(path, out));

    AppSettings in;
    std::string error;
    ASSERT_TRUE(ReadSettingsFile(path, in, &error)) << error;
    EXPECT_EQ(in.version, "v1.2");
    EXPECT_DOUBLE_EQ(in.sfxVolume, 0.25);
    EXPECT_EQ(in.musicGroupVolumes, out.musicGroupVolumes);
    EXPECT_EQ(in.mouseSpeed, 17);
    EXPECT_FALSE(in.windowed);
    EXPECT_FALSE(in.vsync);
    EXPECT_FALSE(in.customCursors);
    EXPECT_TRUE(in.stretch);
}

TEST(Settings, AMissingFileKeepsTheDefaultsAndADamagedOneOrAWrongRootIsRefused) {
    AppSettings s;
    EXPECT_TRUE(ReadSettingsFile("/nonexistent/settings.xml", s, nullptr));
    EXPECT_EQ(s.mouseSpeed, AppSettings().mouseSpeed);
    std::string error;
    EXPECT_FALSE(ReadSettingsText("<settings volume=\"0.1\"\n mouse-speed=\"3\" <oops", s, &error));
    EXPECT_DOUBLE_EQ(s.sfxVolume, AppSettings().sfxVolume);  // nothing half-applied
    EXPECT_NE(error.find("on Line 2"), std::string::npos) << error;
    EXPECT_NE(error.find("settings.xml"), std::string::npos) << error;
    EXPECT_FALSE(ReadSettingsText("<profiles/>", s, nullptr));
}

TEST(Settings, OutOfRangeAndGarbageValuesAreClampedOrIgnored) {
    AppSettings s;
    ASSERT_TRUE(ReadSettingsText("<settings volume=\"7\" mouse-speed=\"-4\" window=\"maybe\" vsync=\"nan\">"
                                 "<music-group name=\"music\" volume=\"-1e9\"/>"
                                 "<music-group volume=\"0.5\"/></settings>",
                                 s, nullptr));
    EXPECT_DOUBLE_EQ(s.sfxVolume, 1.0);
    EXPECT_EQ(s.mouseSpeed, 1);
    EXPECT_TRUE(s.windowed);
    EXPECT_TRUE(s.vsync);
    ASSERT_EQ(s.musicGroupVolumes.size(), 1u);
    EXPECT_DOUBLE_EQ(s.musicGroupVolumes[L"music"], 0.0);
}

TEST(CommandLine, AcceptsTheKnownOptions) {
    CommandLineOptions o;
    std::string error;
    ASSERT_TRUE(ParseCommandLine({"-crash", "-changedir", "/data/game", "-screensaver", "/p", "1234"},
                                 o, &error));
    EXPECT_TRUE(o.crash);
    EXPECT_TRUE(o.screenSaver);
    EXPECT_TRUE(o.screenSaverPreview);
    EXPECT_EQ(o.changeDir, "/data/game");

    CommandLineOptions c;
    ASSERT_TRUE(ParseCommandLine({"-screensaver", "/c"}, c, &error));
    EXPECT_TRUE(c.screenSaverConfig);
    CommandLineOptions none;
    EXPECT_TRUE(ParseCommandLine({}, none, &error));
}

TEST(CommandLine, RefusesAnythingElseNamingTheParameter) {
    // "-changedir" wants a folder; the screen-saver switches mean nothing
    // without -screensaver.
    for (const char* arg : {"-bogus", "-changedir", "/p"}) {
        CommandLineOptions o;
        std::string error;
        EXPECT_FALSE(ParseCommandLine({arg}, o, &error));
        EXPECT_EQ(error, std::string("Invalid command line parameter: ") + arg);
    }
}
