#include <gtest/gtest.h>

#include <set>

#include "audio/SoundManager.h"
#include "audio/TrackInterface.h"
#include "data/AssetManager.h"
#include "tests/script/ScriptFixture.h"
#include "tests/support/FakeAudio.h"

// "wait-for" "sound" and "track" ask the audio layer whether the id still
// plays; these fakes answer from a set the test controls.

namespace {

class AudioApp : public ProbeApp {
protected:
    SoundManager* CreateSoundManager() override { return new FakeSoundManager(); }
    TrackInterface* CreateMusicInterface() override { return new FakeTrackInterface(); }
};

// Every sound and track "loads": only the ids matter here.
class NamesOnly : public AssetAudioLoader {
public:
    bool LoadSound(int, const std::string&) override { return true; }
    bool LoadTrack(int, const std::string&, const std::wstring&) override { return true; }
};

class AudioWait : public ScriptTest {
protected:
    ProbeApp& Boot() override { return mHarness.Boot<AudioApp>(); }
    void SetUp() override {
        ScriptTest::SetUp();
        std::string error;
        ASSERT_TRUE(gAssetManager->LoadDefinitionsFromString(
            "<assets><group name=\"ScriptAudio\"><sound name=\"ding\" file=\"sounds/ding\"/>"
            "<track name=\"tune\" file=\"music/tune.ogg\" group=\"music\"/></group></assets>",
            "audio-test.xml", &error))
            << error;
        gAssetManager->SetAudioLoader(&mLoader);
        ASSERT_TRUE(gAssetManager->LoadGroup("ScriptAudio"));
        mSound = GetSoundId(L"ding");
        mTrack = GetTrackId(L"tune");
        ASSERT_GE(mSound, 0);
        ASSERT_GE(mTrack, 0);
        Load(R"(
          <animation name="sound"><wait-for sound="'ding'" time="3" timed_out="late"/><probe v="'after'"/></animation>
          <animation name="track"><wait-for track="'tune'" time="3" timed_out="late"/><probe v="'after'"/></animation>
        )");
    }
    void TearDown() override {
        ScriptTest::TearDown();
        gAssetManager->SetAudioLoader(nullptr);
        gAssetManager->Clear();
    }
    FakeSoundManager& Sounds() { return *static_cast<FakeSoundManager*>(mApp->mSoundManager); }
    FakeTrackInterface& Tracks() { return *static_cast<FakeTrackInterface*>(mApp->mMusicInterface); }

    NamesOnly mLoader;
    int mSound = -1;
    int mTrack = -1;
};

TEST_F(AudioWait, SoundAndTrackWaitsLastWhilePlayingAndIgnoreTheTime) {
    Sounds().mPlaying.insert(mSound);
    Tracks().mPlaying.insert(mTrack);
    ProbeScript* sound = Run(L"sound");
    ProbeScript* track = Run(L"track");
    EXPECT_EQ(sound->mWaitState, WaitState::Sound);
    EXPECT_EQ(track->mWaitState, WaitState::Track);
    mHarness.RunSteps(10);  // well past "time"
    EXPECT_TRUE(sound->mLog.empty());
    EXPECT_TRUE(track->mLog.empty());
    Sounds().mPlaying.clear();
    mHarness.RunSteps(1);
    EXPECT_EQ(Joined(sound->mLog), L"after");
    EXPECT_FALSE(sound->GetVariable(L"late").ToBool());
    EXPECT_TRUE(track->mLog.empty());
    Tracks().mPlaying.clear();
    mHarness.RunSteps(1);
    EXPECT_EQ(Joined(track->mLog), L"after");
}

// A sound not playing, or no sound manager at all, resumes at the next poll.
TEST_F(AudioWait, ASoundNotPlayingOrNoSoundManagerResumesAtTheNextPoll) {
    ProbeScript* sound = Run(L"sound");
    EXPECT_EQ(sound->mWaitState, WaitState::Sound);
    EXPECT_TRUE(sound->mLog.empty());
    mHarness.RunSteps(1);
    EXPECT_EQ(Joined(sound->mLog), L"after");

    Sounds().mPlaying.insert(mSound);
    SoundManager* sounds = mApp->mSoundManager;
    mApp->mSoundManager = nullptr;
    ProbeScript* unheard = Run(L"sound");
    mHarness.RunSteps(1);
    mApp->mSoundManager = sounds;
    EXPECT_EQ(Joined(unheard->mLog), L"after");
}

}  // namespace
