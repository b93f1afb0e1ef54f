#include <gtest/gtest.h>

#include "audio/BassTrackInterface.h"
#include "audio/SoundManager.h"
#include "audio/SoundPlayer.h"
#include "data/AssetManager.h"
#include "tests/script/ScriptFixture.h"
#include "widgets/Menu.h"

// The sound and music commands on the application's real audio (SDL's dummy
// driver) with the game's own sounds and music.

namespace {

class SoundCommands : public ScriptTest {
protected:
    void SetUp() override {
        ScriptTest::SetUp();
        std::string error;
        ASSERT_TRUE(gAssetManager->LoadDefinitionsFromString(
            "<assets><group name=\"ScriptSound\"><sound name=\"hum\" file=\"sounds/hum\"/>"
            "<track name=\"menu\" file=\"music/menu.ogg\" group=\"music\"/>"
            "<track name=\"tune\" file=\"music/puzzle.mod\" group=\"music\"/></group></assets>",
            "sound-test.xml", &error))
            << error;
        ASSERT_TRUE(gAssetManager->LoadGroup("ScriptSound", L"", std::string(QUILTRO7_SOURCE_GAMEDATA) + "/"));
        mApp->SetMusicGroupVolume(L"music", 0.85);
        mHum = GetSoundId(L"hum");
        mMenuTrack = GetTrackId(L"menu");
        mTune = GetTrackId(L"tune");
        Load(R"(
          <animation name="menu"><play-track name="'menu'" fade="0"/></animation>
          <animation name="tune-beside"><play-track name="'tune'" sole="false" fade="0"/></animation>
          <animation name="tune-sole"><play-track name="'tune'" fade="0.5"/></animation>
          <animation name="pause"><pause-tracks context="'music'"/></animation>
          <animation name="resume"><resume-tracks/></animation>
          <animation name="stop-all"><stop-tracks fade="0"/></animation>
          <animation name="hum"><sound name="'hum'" delay="5"/></animation>
          <animation name="stop-hum"><stop-sound name="'hum'"/></animation>
          <animation name="loop"><start-soundloop name="'hum'"/><start-soundloop name="'hum'" fade="0.5"/></animation>
          <animation name="unloop"><stop-soundloop name="'hum'"/><stop-soundloop name="'hum'"/><stop-soundloop name="'hum'"/></animation>
          <animation name="aimed-start">
            <play-track name="'menu'" fade="0" id="self"/><sound name="'hum'" id="self"/>
            <start-soundloop name="'hum'" id="self"/>
          </animation>
          <animation name="aimed-stop">
            <stop-sound name="'hum'" id="self"/><stop-sounds id="self"/>
            <stop-track name="'menu'" fade="0" id="self"/><stop-tracks fade="0" id="self"/>
            <pause-tracks id="self"/><stop-soundloop name="'hum'" id="self"/>
          </animation>
          <animation name="aimed-resume"><resume-tracks id="self"/></animation>
          <animation name="aimed-at-nothing"><play-track name="'menu'" fade="0" id="nobody"/></animation>
        )");
    }
    void TearDown() override {
        ScriptTest::TearDown();
        gAssetManager->Clear();
    }
    BassTrackInterface& Music() { return *static_cast<BassTrackInterface*>(mApp->mMusicInterface); }

    int mHum = -1, mMenuTrack = -1, mTune = -1;
};

TEST_F(SoundCommands, PlayTrackFadesOutItsGroupUnlessNotSoleAndKeepsAPlayingTrack) {
    ASSERT_GE(mMenuTrack, 0);
    Run(L"menu");
    mHarness.RunSteps(1);  // a fade of 0 is immediate
    EXPECT_TRUE(Music().IsTrackPlaying(mMenuTrack));
    EXPECT_EQ(Music().GetTrackVolume(mMenuTrack), 1.0);
    Run(L"tune-beside");
    mHarness.RunSteps(3);
    EXPECT_TRUE(Music().IsTrackPlaying(mTune));
    EXPECT_EQ(Music().GetTrackVolume(mMenuTrack), 1.0);
    Run(L"tune-sole");  // fades the group out, and this track back in from where it is
    mHarness.RunSteps(2);
    EXPECT_FALSE(Music().IsTrackPlaying(mMenuTrack));
    EXPECT_TRUE(Music().IsTrackPlaying(mTune));
    mHarness.RunSteps(2);
    EXPECT_EQ(Music().GetTrackVolume(mTune), 1.0);
    Run(L"pause");
    EXPECT_FALSE(Music().IsTrackPlaying(mTune));
    Run(L"resume");
    EXPECT_TRUE(Music().IsTrackPlaying(mTune));
    Run(L"stop-all");
    mHarness.RunSteps(1);
    EXPECT_FALSE(Music().IsTrackPlaying(mTune));
}

TEST_F(SoundCommands, SoundsPlayAndStopAndLoopsNeedAnOwningMenu) {
    ASSERT_GE(mHum, 0);
    Run(L"hum");
    EXPECT_NE(mApp->mSoundManager->FindPlayingInstance(mHum), nullptr);
    Run(L"stop-hum");
    EXPECT_EQ(mApp->mSoundManager->FindPlayingInstance(mHum), nullptr);

    ProbeScript* alone = Run(L"loop");
    EXPECT_TRUE(alone->GetSoundLoops().empty());
    EXPECT_FALSE(mApp->GetSoundPlayer()->IsLooping(mHum));

    auto* menu = new Menu(nullptr, false, false);
    mApp->AddDialog(menu);
    auto* owned = new ProbeScript(L"loop");
    menu->AddWidget(owned);
    EXPECT_EQ(menu->GetSoundCount(mHum), 2);
    EXPECT_EQ(owned->GetSoundLoops().at(mHum), 2);
    EXPECT_TRUE(mApp->GetSoundPlayer()->IsLooping(mHum));
    owned->PlayAnimationByName(L"unloop");  // extra stops are harmless
    EXPECT_EQ(menu->GetSoundCount(mHum), 0);
    EXPECT_TRUE(owned->GetSoundLoops().empty());
    EXPECT_FALSE(mApp->GetSoundPlayer()->IsLooping(mHum));
    menu->RemoveSelf();
}

// The sound and music commands belong to records without an object: one whose
// "id" names an object is left alone, one whose "id" names nothing still plays.
TEST_F(SoundCommands, AnIdNamingAnObjectTakesTheRecordFromEverySoundAndMusicCommand) {
    ASSERT_GE(mHum, 0);
    ASSERT_GE(mMenuTrack, 0);
    auto* menu = new Menu(nullptr, false, false);
    mApp->AddDialog(menu);
    auto* aimed = new ProbeScript(L"aimed-start");
    menu->AddWidget(aimed);
    mHarness.RunSteps(1);
    EXPECT_FALSE(Music().IsTrackPlaying(mMenuTrack));
    EXPECT_EQ(mApp->mSoundManager->FindPlayingInstance(mHum), nullptr);
    EXPECT_EQ(menu->GetSoundCount(mHum), 0);
    EXPECT_TRUE(aimed->GetSoundLoops().empty());

    // Started without an object, nothing aimed at an object stops them.
    aimed->PlayAnimationByName(L"loop");
    Run(L"menu");
    Run(L"hum");
    mHarness.RunSteps(1);
    aimed->PlayAnimationByName(L"aimed-stop");
    mHarness.RunSteps(1);
    EXPECT_TRUE(Music().IsTrackPlaying(mMenuTrack));
    EXPECT_NE(mApp->mSoundManager->FindPlayingInstance(mHum), nullptr);
    EXPECT_EQ(menu->GetSoundCount(mHum), 2);
    Run(L"pause");
    aimed->PlayAnimationByName(L"aimed-resume");
    EXPECT_FALSE(Music().IsTrackPlaying(mMenuTrack));

    Run(L"stop-all");
    mHarness.RunSteps(1);
    ASSERT_FALSE(Music().IsTrackPlaying(mMenuTrack));
    Run(L"aimed-at-nothing");
    mHarness.RunSteps(1);
    EXPECT_TRUE(Music().IsTrackPlaying(mMenuTrack));
    menu->RemoveSelf();
}

}  // namespace
