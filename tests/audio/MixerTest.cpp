#include <gtest/gtest.h>

#include "audio/AudioOutput.h"
#include "platform/System.h"
#include "tests/audio/AudioTestSupport.h"

namespace {

constexpr int kRate = 48000;

struct MixerFixture : ::testing::Test {
    Mixer mixer{kRate};
    std::shared_ptr<Voice> Start(SharedPcm pcm, bool loop) {
        auto voice = std::make_shared<Voice>(std::move(pcm));
        mixer.Attach(voice);
        voice->Play(loop);
        return voice;
    }
};

TEST_F(MixerFixture, VolumeAndPanAttenuateEachSideInHundredthsOfDecibels) {
    struct Case { int volume, pan; double left, right; };
    for (Case c : {Case{0, 0, 0.5, 0.5}, Case{-605, 0, 0.5 * 0.4983, 0.5 * 0.4983},
                   Case{0, 2000, 0.05, 0.5}, Case{0, -20000, 0.5, 0.0}, Case{-10000, 0, 0, 0}}) {
        Mixer local(kRate);
        auto voice = std::make_shared<Voice>(MakeSine(kRate, 1000, kRate));
        local.Attach(voice);
        voice->SetVolume(c.volume);
        voice->SetPan(c.pan);
        voice->Play(true);
        auto out = RenderFrames(local, 4800);
        EXPECT_NEAR(Peak(out, 0), c.left, 0.002) << c.volume << " " << c.pan;
        EXPECT_NEAR(Peak(out, 1), c.right, 0.002) << c.volume << " " << c.pan;
    }
}

TEST_F(MixerFixture, FrequencyResamplesToTheDeviceRate) {
    auto voice = Start(MakeSine(44100, 441, 44100), true);
    EXPECT_NEAR(MeasuredHz(RenderFrames(mixer, kRate), kRate), 441, 2);
    voice->SetFrequency(88200);
    EXPECT_NEAR(MeasuredHz(RenderFrames(mixer, kRate), kRate), 882, 2);
    voice->SetFrequency(1);
    EXPECT_EQ(voice->GetFrequency(), Voice::kMinFrequency);
}

TEST_F(MixerFixture, OnlyALoopingVoicePlaysPastItsEnd) {
    auto once = Start(MakeSine(kRate, 1000, 960), false);
    auto looped = Start(MakeSine(kRate, 1000, 960), true);
    RenderFrames(mixer, 2048);
    EXPECT_FALSE(once->IsPlaying());
    EXPECT_TRUE(looped->IsPlaying());
    once->Stop();
    once.reset();
    EXPECT_NEAR(Peak(RenderFrames(mixer, 960), 0), 0.5, 0.002);  // the loop alone, unbroken
}

TEST_F(MixerFixture, GainChangesRampOverOneBlockAndMasterGainScalesTheMix) {
    auto voice = Start(MakeSine(kRate, 1000, kRate), true);
    RenderFrames(mixer, 512);
    voice->SetVolume(Voice::kSilence);
    auto ramp = RenderFrames(mixer, 512);
    EXPECT_GT(Peak(ramp, 0), 0.3);            // no step to silence mid-block
    EXPECT_EQ(Peak(RenderFrames(mixer, 512), 0), 0.0);  // silent from the next block
    voice->SetVolume(0);
    mixer.SetMasterVolume(0.5);
    EXPECT_NEAR(mixer.GetMasterVolume(), 32767 / 65535.0, 1e-9);
    RenderFrames(mixer, 512);
    EXPECT_NEAR(Peak(RenderFrames(mixer, 4800), 0), 0.25, 0.002);
}

// A change of the master volume is heard as a straight ramp over the next
// block, from the old gain at its first frame towards the new one, never as
// a step (a click) nor the other way round.
TEST_F(MixerFixture, AMasterVolumeChangeRampsFromTheOldGainToTheNewOverOneBlock) {
    struct Level : MixerSource {
        void MixInto(float* stereo, int frames) override {
            for (int i = 0; i < 2 * frames; ++i) stereo[i] += 0.5f;
        }
    } level;
    mixer.AddSource(&level);
    constexpr int kBlock = 512;
    for (const auto& [from, to] : {std::pair{1.0, 0.0}, std::pair{0.0, 1.0}, std::pair{1.0, 0.5}}) {
        mixer.SetMasterVolume(from);
        RenderFrames(mixer, kBlock, kBlock);
        mixer.SetMasterVolume(to);
        const std::vector<float> ramp = RenderFrames(mixer, kBlock, kBlock);
        for (int i = 0; i < kBlock; i += 37) {
            const double gain = from + (to - from) * i / kBlock;
            EXPECT_NEAR(ramp[2 * i], 0.5 * gain, 1e-3) << from << " to " << to << ", frame " << i;
            EXPECT_NEAR(ramp[2 * i + 1], 0.5 * gain, 1e-3) << from << " to " << to << ", frame " << i;
        }
        EXPECT_NEAR(RenderFrames(mixer, kBlock, kBlock)[0], 0.5 * to, 1e-3) << "the new gain from the next block";
    }
    mixer.RemoveSource(&level);
}

// The device takes a block a period at a time. An effect started between two
// blocks is in the next one from its first frame, music playing or not: it is
// at most one period late.
TEST_F(MixerFixture, AnEffectStartedBetweenBlocksIsInTheNextBlockFromItsFirstFrame) {
    constexpr int kPeriod = AudioDevice::kPeriodFrames;
    Start(MakeSine(kRate, 441, kRate, 1, 0.25), true);  // music, alike on both sides
    auto level = std::make_shared<PcmBuffer>();  // a constant 0.5: its first frame is not 0
    level->format = {1, 16, kRate};
    level->bytes.resize(2 * kRate / 10);
    for (size_t i = 0; i < level->bytes.size(); i += 2) level->bytes[i + 1] = 0x40;
    auto effect = std::make_shared<Voice>(level);
    effect->SetPan(10000);  // on the right side only
    mixer.Attach(effect);
    RenderFrames(mixer, 3 * kPeriod, kPeriod);
    effect->Play(false);
    auto block = RenderFrames(mixer, kPeriod, kPeriod);
    EXPECT_NEAR(block[1] - block[0], 0.5, 1e-3);
    EXPECT_NEAR(block[2 * kPeriod - 1] - block[2 * kPeriod - 2], 0.5, 1e-3);
}

TEST(AudioOutputTest, ThePeriodKeepsAnEffectWithinFiftyMilliseconds) {
    auto output = AudioOutput::Open();
    ASSERT_NE(output, nullptr);
    EXPECT_EQ(output->PeriodFrames(), AudioDevice::kPeriodFrames);
    EXPECT_LE(1000.0 * output->PeriodFrames() / output->GetMixer().Rate(), 47.0);
}

TEST(AudioOutputTest, TheDummyDriverGivesAnOutputAndNoDeviceGivesNone) {
    auto output = AudioOutput::Open();
    ASSERT_NE(output, nullptr);
    EXPECT_GT(output->GetMixer().Rate(), 0);
    output.reset();
    const std::string saved = PlatformGetEnv("SDL_AUDIODRIVER");
    PlatformSetEnv("SDL_AUDIODRIVER", "no-such-driver");
    EXPECT_EQ(AudioOutput::Open(), nullptr);  // and no exit
    PlatformSetEnv("SDL_AUDIODRIVER", saved.c_str());
}

TEST(AudioOutputTest, TheDeviceClosesAfterQuietStepsAndASoundOpensItAgain) {
    auto output = AudioOutput::Open();
    ASSERT_NE(output, nullptr);
    Mixer& mixer = output->GetMixer();
    auto voice = std::make_shared<Voice>(MakeSine(mixer.Rate(), 1000, mixer.Rate()));
    mixer.Attach(voice);
    voice->Play(true);
    for (int step = 0; step < 2 * AudioOutput::kQuietSteps; ++step) output->Update();
    EXPECT_FALSE(output->IsAsleep());  // a playing voice keeps it open
    voice->Stop();
    for (int step = 0; step < AudioOutput::kQuietSteps; ++step) output->Update();
    EXPECT_TRUE(output->IsAsleep());
    voice->Play(false);
    mixer.Wake();
    EXPECT_FALSE(output->IsAsleep());
}

}  // namespace
