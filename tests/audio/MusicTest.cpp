#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <thread>

#include "audio/BassTrackInterface.h"
#include "audio/ModuleWriter.h"
#include "audio/SoundFileBytes.h"
#include "audio/SoundFiles.h"
#include "platform/AudioDevice.h"
#include "platform/FileSystem.h"
#include "tests/audio/AudioTestSupport.h"

namespace {

constexpr int kRate = 48000;
constexpr double kStreamBus = 0.4;

// Mono 16-bit at the mixer's rate whose sample n is n: what plays tells where.
// A square wave instead (square > 0) of that amplitude, 100 frames a cycle.
std::vector<uint8_t> RampWav(int frames, int square = 0) {
    soundfiles::ByteWriter w;
    w.Tag("RIFF").U32le(36 + 2 * frames).Tag("WAVE").Tag("fmt ").U32le(16).U16le(1).U16le(1).U32le(kRate);
    w.U32le(2 * kRate).U16le(2).U16le(16).Tag("data").U32le(2 * frames);
    for (int i = 0; i < frames; ++i)
        w.U16le(static_cast<uint16_t>(square == 0 ? i : (i % 100 < 50 ? square : -square)));
    return w.Data();
}

std::vector<uint8_t> Module() {
    modwriter::Sample square{"square", std::vector<int8_t>(64), 64, true};
    for (size_t i = 0; i < 64; ++i) square.data[i] = i < 32 ? 100 : -100;
    modwriter::Pattern pattern{};
    pattern[0][0] = {modwriter::Period(2, 0), 1, 0, 0};
    return modwriter::Write("test", {square}, {pattern, pattern}, {0, 1});
}

// The frame of RampWav that the mix holds at `frame`.
double RampFrame(const std::vector<float>& stereo, int frame) { return stereo[2 * frame] * 32768.0 / kStreamBus; }

struct MusicFixture : ::testing::Test {
    Mixer mixer{kRate};
    std::string folder = PlatformMakeTempDirectory("quiltro7-music-");
    std::unique_ptr<BassTrackInterface> music;

    void SetUp() override {
        std::string error;
        music = BassTrackInterface::Create(mixer, &error, true);
        ASSERT_NE(music, nullptr) << error;
        WriteFile(folder + "/ramp.wav", RampWav(30000));
        WriteFile(folder + "/tune", Module());
        ASSERT_TRUE(music->LoadTrack(1, folder + "/ramp.wav", L"music"));
        ASSERT_TRUE(music->LoadTrack(2, folder + "/tune", L"music"));
        music->SetGroupVolume(L"music", 1.0);
    }
    void TearDown() override {
        music.reset();
        PlatformRemoveTree(folder);
    }
    // The frame of the ramp that plays next.
    double Position() { return RampFrame(RenderFrames(mixer, 64), 0); }
    void Step(int n) {
        for (int i = 0; i < n; ++i) music->Update();
    }
};

TEST_F(MusicFixture, ASecondInterfaceGetsNoTracksAndLeavesTheFirstAlone) {
    std::string error;
    auto second = BassTrackInterface::Create(mixer, &error, true);
    ASSERT_NE(second, nullptr) << error;
    EXPECT_FALSE(second->LoadTrack(1, folder + "/ramp.wav", L"music"));
    second.reset();
    music->PlayTrack(1, 0, true);
    EXPECT_NEAR(Position(), 0, 1);
    EXPECT_NEAR(Position(), 64, 1);  // mixed once, not twice
}

TEST_F(MusicFixture, AGroupWithoutAVolumePlaysSilently) {
    ASSERT_TRUE(music->LoadTrack(3, folder + "/ramp.wav", L"quiet"));
    music->PlayTrack(3, 0, true);
    RenderFrames(mixer, 512);
    EXPECT_TRUE(music->IsTrackPlaying(3));
    EXPECT_EQ(Peak(RenderFrames(mixer, 512), 0), 0.0);
}

TEST_F(MusicFixture, FadesEndOnTheirStepAndStopOnlyWhenAsked) {
    music->FadeInTrack(1, 0, 0.01, true);
    Step(99);
    EXPECT_LT(music->GetTrackVolume(1), 1.0);
    Step(1);
    EXPECT_EQ(music->GetTrackVolume(1), 1.0);
    music->FadeOutTrack(1, false, 0.5);
    Step(2);
    EXPECT_EQ(music->GetTrackVolume(1), 0.0);
    EXPECT_TRUE(music->IsTrackPlaying(1));  // silent, still playing
    music->FadeOutTrack(1, true, 0.5);      // at 0: only the stop flag
    Step(5);
    EXPECT_TRUE(music->IsTrackPlaying(1));
    music->SetTrackVolume(1, 0.8);
    music->SetTrackMaxVolume(1, 0.5);
    EXPECT_EQ(music->GetTrackVolume(1), 0.5);
    music->FadeOutTrack(1, true, 0.25);
    Step(2);
    EXPECT_FALSE(music->IsTrackPlaying(1));
}

TEST_F(MusicFixture, StartPositionsRestartResumeOrSeekStreams) {
    music->PlayTrack(1, 0, true);
    EXPECT_NEAR(Position(), 0, 1);
    music->PlayTrack(1, -1, true);
    EXPECT_NEAR(Position(), 64, 1);
    music->FadeInTrack(1, -1, 1.0, true);  // "play-track" on a playing track
    EXPECT_NEAR(Position(), 128, 1);
    music->PlayTrack(1, 2000, true);  // bytes of 16-bit mono
    EXPECT_NEAR(Position(), 1000, 1);
    music->PlayTrack(1, 0, false);
    RenderFrames(mixer, 30000);
    EXPECT_FALSE(music->IsTrackPlaying(1));  // a stream without loop ends
}

TEST_F(MusicFixture, PauseAndResumeAllTouchOnlyWhatWasPlaying) {
    music->PlayTrack(2, 0, true);  // no extension: a module
    EXPECT_GT(Peak(RenderFrames(mixer, 4800), 0), 0.01);
    music->PauseAllTracks();
    EXPECT_FALSE(music->IsTrackPlaying(2));
    EXPECT_EQ(Peak(RenderFrames(mixer, 512), 0), 0.0);
    music->ResumeAllTracks();
    EXPECT_TRUE(music->IsTrackPlaying(2));
    EXPECT_FALSE(music->IsTrackPlaying(1));
    music->UnloadTrack(2);
    EXPECT_FALSE(music->IsTrackPlaying(2));
}

TEST_F(MusicFixture, OggAndMp3StreamPlayBesideOggEffectsAndModules) {
    PcmBuffer effect;
    ASSERT_TRUE(soundfiles::ReadOgg(AudioDataFile("tone.ogg"), effect));
    music->PlayTrack(2, 0, true);
    for (const char* file : {"tone.ogg", "tone.mp3"}) {
        ASSERT_TRUE(music->LoadTrack(5, AudioDataFile(file), L"solo")) << file;
        music->SetGroupVolume(L"music", 0.0);
        music->SetGroupVolume(L"solo", 1.0);
        music->PlayTrack(5, 0, true);
        RenderFrames(mixer, 4096);
        EXPECT_NEAR(MeasuredHz(RenderFrames(mixer, kRate / 4), kRate), 441, 10) << file;
    }
}

// Every frame of a looping stream plays once, in order, whatever the block:
// across the ring's end (500 ms), the decoder's reads and the loop's end.
TEST_F(MusicFixture, AStreamPlaysEveryFrameOnceAcrossRingDecodeAndBlockBoundaries) {
    for (int block : {AudioDevice::kPeriodFrames, 1000, 333}) {
        music->PlayTrack(1, 0, true);
        auto out = RenderFrames(mixer, 75000, block);
        for (int i = 0; i < 75000; ++i)
            ASSERT_NEAR(RampFrame(out, i), i % 30000, 0.5) << "frame " << i << ", blocks of " << block;
    }
}

TEST(MusicFeederTest, TheFeederRefillsAsTheMixDrainsAndSilentMusicLeavesTheMixerIdle) {
    Mixer mixer(kRate);
    std::string error;
    auto music = BassTrackInterface::Create(mixer, &error);
    ASSERT_NE(music, nullptr) << error;
    const std::string folder = PlatformMakeTempDirectory("quiltro7-feeder-");
    WriteFile(folder + "/ramp.wav", RampWav(30000));
    ASSERT_TRUE(music->LoadTrack(1, folder + "/ramp.wav", L"music"));
    PlatformRemoveTree(folder);
    music->SetGroupVolume(L"music", 0.0);
    music->PlayTrack(1, 0, true);
    EXPECT_FALSE(mixer.IsActive());  // playing, but nothing to hear
    music->SetGroupVolume(L"music", 1.0);
    EXPECT_TRUE(mixer.IsActive());
    // Silent until the feeder's first fill; a block's last frame sounds once
    // the ring had the whole block.
    constexpr int kBlock = 512;
    double next = -1;
    for (int tries = 0; tries < 200 && next < 0; ++tries) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        auto out = RenderFrames(mixer, kBlock);
        if (RampFrame(out, kBlock - 1) > 0.5) next = RampFrame(out, kBlock - 1) + 1;
    }
    ASSERT_GE(next, 0);
    // Three rings' worth, drained at about the real pace: the feeder, woken
    // only by the mix, keeps every block full, each frame following the last.
    for (int block = 0; block < 3 * kRate / 2 / kBlock; ++block) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        auto out = RenderFrames(mixer, kBlock);
        for (int i = 0; i < kBlock; ++i)
            ASSERT_NEAR(RampFrame(out, i), std::fmod(next + i, 30000), 0.5) << "block " << block << ", frame " << i;
        next = std::fmod(next + kBlock, 30000);
    }
}

}  // namespace
