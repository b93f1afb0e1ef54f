#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <thread>

#include "audio/DSoundInstance.h"
#include "audio/DSoundManager.h"
#include "audio/Mixer.h"
#include "audio/SoundFileBytes.h"
#include "audio/SoundFiles.h"
#include "core/FileUtil.h"
#include "platform/FileSystem.h"
#include "platform/System.h"
#include "tests/audio/AudioTestSupport.h"

namespace {

using soundfiles::ByteWriter;

std::string gUserFolder;
std::string UserFolder() { return gUserFolder; }

// A WAV with the given chunks between "WAVE" and "data".
std::vector<uint8_t> Wav(const std::vector<uint8_t>& chunks, const std::vector<uint8_t>& data,
                         uint32_t dataSize = 0) {
    ByteWriter w;
    w.Tag("RIFF").U32le(0).Tag("WAVE").Raw(chunks.data(), chunks.size());
    w.Tag("data").U32le(dataSize ? dataSize : static_cast<uint32_t>(data.size())).Raw(data.data(), data.size());
    return w.Data();
}

std::vector<uint8_t> Fmt(uint16_t tag, uint16_t channels, uint32_t rate, uint16_t bits) {
    ByteWriter w;
    w.Tag("fmt ").U32le(16).U16le(tag).U16le(channels).U32le(rate).U32le(0).U16le(0).U16le(bits);
    return w.Data();
}

std::vector<uint8_t> Au(uint32_t size, uint32_t encoding, const std::vector<uint8_t>& data) {
    std::vector<uint8_t> out = {'.', 's', 'n', 'd'};
    for (uint32_t v : {24u, size, encoding, 8000u, 1u})
        for (int s = 24; s >= 0; s -= 8) out.push_back(static_cast<uint8_t>(v >> s));
    out.insert(out.end(), data.begin(), data.end());
    return out;
}

struct SoundFilesFixture : ::testing::Test {
    std::string saved = PlatformCurrentDirectory();
    std::string folder = PlatformMakeTempDirectory("quiltro7-sounds-");
    void SetUp() override {
        gUserFolder = folder + "/user/";
        SetAppDataFolderSource(&UserFolder);
        ASSERT_TRUE(PlatformChangeDirectory(folder));
    }
    void TearDown() override {
        PlatformChangeDirectory(saved);
        SetAppDataFolderSource(nullptr);
        PlatformRemoveTree(folder);
    }
    static std::vector<uint8_t> ToneOgg() {
        std::string ogg;
        EXPECT_TRUE(PlatformReadFile(AudioDataFile("tone.ogg"), ogg));
        return std::vector<uint8_t>(ogg.begin(), ogg.end());
    }
};

TEST(SoundVolumeTest, LinearVolumesBecomeHundredthsOfDecibels) {
    for (auto [volume, db] : std::vector<std::pair<double, int>>{
             {1.0, 0}, {0.85, -146}, {0.5, -605}, {0.1, -1682}, {0.044, -1994}, {0.043, -10000}, {-1, -10000}})
        EXPECT_EQ(DSoundInstance::VolumeToHundredthsDb(volume), db) << volume;
}

TEST_F(SoundFilesFixture, WavReaderKeepsWhatItCanTrustAndRefusesTheRest) {
    const std::vector<uint8_t> samples = {1, 2, 3, 4};
    std::vector<uint8_t> oddChunk = {'j', 'u', 'n', 'k', 3, 0, 0, 0, 9, 9, 9};  // no pad byte follows
    std::vector<uint8_t> xorChunk = {'x', 'o', 'r', ' ', 1, 0, 0, 0, 0xFF};
    auto concat = [](std::vector<uint8_t> a, const std::vector<uint8_t>& b) { a.insert(a.end(), b.begin(), b.end()); return a; };
    struct Case { const char* name; std::vector<uint8_t> file; bool ok; std::vector<uint8_t> pcm; };
    const Case cases[] = {
        {"odd chunk", Wav(concat(oddChunk, Fmt(1, 2, 44100, 8)), samples), true, samples},
        {"scrambled", Wav(concat(Fmt(1, 1, 8000, 8), xorChunk), samples), true, {0xFE, 0xFD, 0xFC, 0xFB}},
        {"huge data size", Wav(Fmt(1, 1, 8000, 16), samples, 0xFFFFFFF0u), true, samples},
        {"defaults when no format", Wav({}, samples), true, samples},
        {"adpcm", Wav(Fmt(2, 1, 8000, 16), samples), false, {}},
        {"unplayable rate", Wav(Fmt(1, 1, 50, 16), samples), false, {}},
        {"truncated chunk", {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E', 'f', 'm'}, false, {}},
    };
    for (const Case& c : cases) {
        WriteFile("t.wav", c.file);
        PcmBuffer pcm;
        EXPECT_EQ(soundfiles::ReadWav("t.wav", pcm), c.ok) << c.name;
        EXPECT_EQ(pcm.bytes, c.pcm) << c.name;
    }
}

TEST_F(SoundFilesFixture, AuDecodesMuLawMonotonicallyAndSignedEightBit) {
    EXPECT_EQ(soundfiles::DecodeMuLaw(0x80), 7904 * 4);  // the loudest code is loud
    EXPECT_EQ(soundfiles::DecodeMuLaw(0x81), 7648 * 4);
    EXPECT_EQ(soundfiles::DecodeMuLaw(0x00), -7904 * 4);
    for (int c = 129; c <= 255; ++c)
        EXPECT_LT(soundfiles::DecodeMuLaw(static_cast<uint8_t>(c)), soundfiles::DecodeMuLaw(static_cast<uint8_t>(c - 1)));
    PcmBuffer pcm;
    WriteFile("t.snd", Au(0xFFFFFFFFu, 2, {0x00, 0x7F, 0x80}));  // unknown size: the rest of the file
    ASSERT_TRUE(soundfiles::ReadAu("t.snd", pcm));
    EXPECT_EQ(pcm.bytes, (std::vector<uint8_t>{0x80, 0xFF, 0x00}));
    WriteFile("t.snd", Au(1000, 3, {0, 0}));
    EXPECT_FALSE(soundfiles::ReadAu("t.snd", pcm));
    EXPECT_TRUE(pcm.bytes.empty());
}

TEST_F(SoundFilesFixture, TruncatedOrBrokenOggIsRefusedAndTheIdStaysEmpty) {
    const std::vector<uint8_t> ogg = ToneOgg();
    WriteFile("cut.ogg", std::vector<uint8_t>(ogg.begin(), ogg.begin() + static_cast<long>(ogg.size() / 2)));
    WriteFile("junk.ogg", std::vector<uint8_t>(ogg.begin(), ogg.begin() + 60));
    Mixer mixer(48000);
    DSoundManager manager(&mixer);
    PcmBuffer pcm;
    soundfiles::ReadOgg("cut.ogg", pcm);  // whatever it keeps, it must not overrun
    EXPECT_FALSE(manager.LoadSound(3, "junk"));
    EXPECT_EQ(manager.GetNumSounds(), 0);
}

TEST_F(SoundFilesFixture, DecodedCopiesAreCachedWithTheirSourceAndRenewedWhenItChanges) {
    for (const char* name : {"a:x", "/abs", "\\x", "ab"}) EXPECT_EQ(DSoundManager::CachedPath(name), "") << name;
    WriteFile("tone.ogg", ToneOgg());
    WriteFile("buzz.snd", Au(4, 1, {0x80, 0x00, 0xFF, 0x7F}));
    Mixer mixer(48000);
    DSoundManager manager(&mixer);
    for (const char* name : {"tone", "buzz"}) {
        ASSERT_TRUE(manager.LoadSound(1, name)) << name;
        const std::string cached = DSoundManager::CachedPath(name);
        PcmBuffer copy;
        ASSERT_TRUE(soundfiles::ReadWav(cached, copy)) << name;
        EXPECT_EQ(copy.bytes, manager.GetPcm(1)->bytes) << name;
        EXPECT_EQ(copy.format.rate, manager.GetPcm(1)->format.rate) << name;
    }
    // A changed source makes the copy stale, so the source is decoded again.
    WriteFile("buzz.snd", Au(2, 2, {0x10, 0x20}));
    std::string touch = "touch -d '+1 hour' buzz.snd";
    ASSERT_EQ(std::system(touch.c_str()), 0);
    PcmBuffer stale;
    EXPECT_FALSE(soundfiles::ReadWav(DSoundManager::CachedPath("buzz"), stale));
    ASSERT_TRUE(manager.LoadSound(1, "buzz"));
    EXPECT_EQ(manager.GetPcm(1)->bytes, (std::vector<uint8_t>{0x90, 0xA0}));
}

struct ChannelsFixture : ::testing::Test {
    Mixer mixer{44100};
    DSoundManager manager{&mixer};
    void SetUp() override {
        WriteFile("/tmp/quiltro7-channels-beep.wav", Wav(Fmt(1, 1, 44100, 16), std::vector<uint8_t>(882, 0)));
        ASSERT_TRUE(manager.LoadSound(7, "/tmp/quiltro7-channels-beep"));
    }
    void TearDown() override { PlatformRemoveFile("/tmp/quiltro7-channels-beep.wav"); }
};

TEST_F(ChannelsFixture, ThirtyTwoBusyChannelsRefuseTheNextAndEndedOnesAreReused) {
    for (int i = 0; i < SoundManager::kMaxChannels; ++i) {
        SoundInstance* s = manager.GetSoundInstance(7);
        ASSERT_NE(s, nullptr);
        s->Play(false, true);
    }
    EXPECT_EQ(manager.GetSoundInstance(7), nullptr);
    RenderFrames(mixer, 1024);  // every one-shot ends
    EXPECT_NE(manager.GetSoundInstance(7), nullptr);
    for (int id : {-1, SoundManager::kMaxSounds}) {
        EXPECT_EQ(manager.GetSoundInstance(id), nullptr);
        EXPECT_FALSE(manager.SetBaseVolume(id, 1.0));
        EXPECT_FALSE(manager.LoadSound(id, "x"));
        manager.ReleaseSound(id);
    }
}

TEST_F(ChannelsFixture, PitchInSemitonesScalesTheFrequencyWithinLimits) {
    auto* s = static_cast<DSoundInstance*>(manager.GetSoundInstance(7));
    for (auto [semitones, hz] : std::vector<std::pair<double, int>>{{12, 88200}, {-200, 100}, {200, 100000}, {0, 44100}}) {
        s->AdjustPitch(semitones);
        EXPECT_EQ(s->GetFrequency(), hz) << semitones;
    }
}

TEST_F(ChannelsFixture, ReleasingOrReloadingWhilePlayingKeepsTheVoiceSound) {
    SoundInstance* s = manager.GetSoundInstance(7);
    s->Play(true, false);
    manager.ReleaseSound(7);
    RenderFrames(mixer, 512);
    ASSERT_TRUE(manager.LoadSound(7, "/tmp/quiltro7-channels-beep"));
    RenderFrames(mixer, 512);
    EXPECT_TRUE(s->IsPlaying());
    manager.StopAllSounds();
    EXPECT_FALSE(s->IsPlaying());
}

TEST_F(ChannelsFixture, LoadsOnAWorkerGoOnWhileSoundsPlay) {
    std::thread worker([this] {
        for (int round = 0; round < 20; ++round)
            for (int id = 100; id < 110; ++id) manager.LoadSound(id, "/tmp/quiltro7-channels-beep");
    });
    for (int round = 0; round < 200; ++round) {
        if (SoundInstance* s = manager.GetSoundInstance(100 + round % 10)) s->Play(false, true);
        RenderFrames(mixer, 64);
    }
    worker.join();
    EXPECT_EQ(manager.GetNumSounds(), 11);
}

TEST(SoundManagerTest, WithoutADeviceLoadsSucceedAndInstancesStaySilent) {
    DSoundManager manager(nullptr);
    EXPECT_TRUE(manager.LoadSound(1, "nothing"));
    SoundInstance* s = manager.GetSoundInstance(1);
    ASSERT_NE(s, nullptr);
    EXPECT_FALSE(s->Play(false, true));
    EXPECT_FALSE(s->IsPlaying());
}

}  // namespace
