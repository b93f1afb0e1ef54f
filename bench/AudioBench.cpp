// The mixer's cost per voice-frame and the music decoders' speed against real
// time, rendered offline; and how late an effect reaches the audio device.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <memory>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "audio/AudioOutput.h"
#include "audio/BassTrackInterface.h"
#include "audio/Mixer.h"
#include "audio/SoundFiles.h"
#include "platform/System.h"

namespace {

constexpr int kDeviceRate = 48000;
constexpr int kBlock = 512;
constexpr int kVoices = 32;

SharedPcm Noise(int rate, int channels, int bits, int frames) {
    auto pcm = std::make_shared<PcmBuffer>();
    pcm->format = {channels, bits, rate};
    pcm->bytes.resize(static_cast<size_t>(frames) * channels * bits / 8);
    unsigned seed = 1;
    for (uint8_t& b : pcm->bytes) b = static_cast<uint8_t>((seed = seed * 1103515245u + 12345u) >> 24);
    return pcm;
}

// Arguments: source rate, channels, bits, looping (1) or long one-shots (0).
void BM_MixerVoiceFrame(benchmark::State& state) {
    const int rate = static_cast<int>(state.range(0));
    const bool loop = state.range(3) != 0;
    // One-shots long enough not to end during the run; loops of a quarter second.
    SharedPcm pcm = Noise(rate, static_cast<int>(state.range(1)), static_cast<int>(state.range(2)), loop ? rate / 4 : rate * 600);
    Mixer mixer(kDeviceRate);
    std::vector<std::shared_ptr<Voice>> voices;
    for (int i = 0; i < kVoices; ++i) {
        voices.push_back(std::make_shared<Voice>(pcm));
        voices.back()->SetVolume(-600);
        voices.back()->SetPan(i * 100 - 1600);
        mixer.Attach(voices.back());
        voices.back()->Play(loop);
    }
    std::vector<float> out(2 * kBlock);
    for (auto _ : state) {
        mixer.Render(out.data(), kBlock);
        benchmark::DoNotOptimize(out.data());
    }
    // Inverted rate: seconds per unit; units of a billionth give nanoseconds.
    state.counters["ns_per_voice_frame"] = benchmark::Counter(
        static_cast<double>(kVoices) * kBlock / 1e9,
        benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_MixerVoiceFrame)
    ->ArgNames({"rate", "ch", "bits", "loop"})
    ->Args({kDeviceRate, 2, 16, 0})
    ->Args({44100, 1, 16, 0})
    ->Args({96000, 1, 16, 0})
    ->Args({22050, 1, 8, 0})
    ->Args({22050, 1, 16, 1});

// Plays a track offline and reports seconds of music made per second of work.
void DecodeTrack(benchmark::State& state, const std::string& file) {
    Mixer mixer(kDeviceRate);
    std::string error;
    auto music = BassTrackInterface::Create(mixer, &error, true);
    if (!music) {
        state.SkipWithError(error.c_str());
        return;
    }
    if (!music->LoadTrack(1, file, L"music")) {
        state.SkipWithError(("cannot load " + file).c_str());
        return;
    }
    music->SetGroupVolume(L"music", 1.0);
    music->PlayTrack(1, 0, true);
    std::vector<float> out(2 * kBlock);
    int64_t frames = 0;
    for (auto _ : state) {
        mixer.Render(out.data(), kBlock);
        frames += kBlock;
    }
    state.counters["x_realtime"] =
        benchmark::Counter(static_cast<double>(frames) / kDeviceRate, benchmark::Counter::kIsRate);
}

const std::string kSource = QUILTRO7_SOURCE_DIR;
void BM_DecodeOggStream(benchmark::State& s) { DecodeTrack(s, kSource + "/gamedata/music/menu.ogg"); }
void BM_DecodeMp3Stream(benchmark::State& s) { DecodeTrack(s, kSource + "/tests/audio/data/tone.mp3"); }
void BM_DecodeModule(benchmark::State& s) { DecodeTrack(s, kSource + "/gamedata/music/puzzle.mod"); }
BENCHMARK(BM_DecodeOggStream);
BENCHMARK(BM_DecodeMp3Stream);
BENCHMARK(BM_DecodeModule);

// An Ogg effect decoded whole at load, as the sound manager does.
void BM_LoadOggEffect(benchmark::State& state) {
    PcmBuffer pcm;
    double seconds = 0;
    for (auto _ : state) {
        soundfiles::ReadOgg(kSource + "/gamedata/music/menu.ogg", pcm);
        seconds += static_cast<double>(pcm.Frames()) / pcm.format.rate;
    }
    state.counters["x_realtime"] = benchmark::Counter(seconds, benchmark::Counter::kIsRate);
}
BENCHMARK(BM_LoadOggEffect)->Unit(benchmark::kMillisecond);

// Mixed after the voices, so it sees their sum: notes when the first block
// that carries a sound is rendered.
class FirstSoundProbe : public MixerSource {
public:
    void MixInto(float* stereo, int frames) override {
        if (mHeardAt.load(std::memory_order_relaxed) != 0) return;
        for (int i = 0; i < 2 * frames; ++i) {
            if (stereo[i] != 0.0f) {
                mHeardAt.store(std::chrono::steady_clock::now().time_since_epoch().count());
                return;
            }
        }
    }
    bool IsAudible() override { return false; }
    std::atomic<int64_t> mHeardAt{0};
};

// From an effect's play call to the device callback whose block carries its
// first samples, on SDL's dummy driver, which takes a period at a time on its
// own clock as a sound card does. The calls fall at random points of the
// period. Reported: the mean (as the time), the longest and the period.
void BM_EffectLatency(benchmark::State& state) {
    if (PlatformGetEnv("SDL_AUDIODRIVER").empty()) PlatformSetEnv("SDL_AUDIODRIVER", "dummy");
    std::unique_ptr<AudioOutput> output = AudioOutput::Open();
    if (!output) {
        state.SkipWithError("no audio device");
        return;
    }
    Mixer& mixer = output->GetMixer();
    // A constant level: its very first frame is not zero.
    auto pcm = std::make_shared<PcmBuffer>();
    pcm->format = {1, 16, mixer.Rate()};
    pcm->bytes.resize(static_cast<size_t>(mixer.Rate() / 100) * 2);
    for (size_t i = 0; i < pcm->bytes.size(); i += 2) pcm->bytes[i + 1] = 0x20;
    auto voice = std::make_shared<Voice>(pcm);
    mixer.Attach(voice);
    FirstSoundProbe probe;
    mixer.AddSource(&probe);
    std::mt19937 random(7);
    const int periodMs = std::max(1, output->PeriodFrames() * 1000 / mixer.Rate());
    double longest = 0, total = 0;
    int64_t count = 0;
    for (auto _ : state) {
        std::this_thread::sleep_for(std::chrono::microseconds(random() % (2000u * periodMs)));
        probe.mHeardAt.store(0);
        const int64_t asked = std::chrono::steady_clock::now().time_since_epoch().count();
        voice->Rewind();
        voice->Play(false);
        mixer.Wake();
        while (probe.mHeardAt.load() == 0) std::this_thread::sleep_for(std::chrono::milliseconds(1));
        const double seconds = std::chrono::duration<double>(
            std::chrono::steady_clock::duration(probe.mHeardAt.load() - asked)).count();
        state.SetIterationTime(seconds);
        longest = std::max(longest, seconds);
        total += seconds;
        ++count;
        while (voice->IsPlaying()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    mixer.RemoveSource(&probe);
    mixer.Detach(voice.get());
    state.counters["mean_ms"] = count ? 1000.0 * total / count : 0.0;
    state.counters["max_ms"] = 1000.0 * longest;
    state.counters["period_ms"] = 1000.0 * output->PeriodFrames() / mixer.Rate();
}
BENCHMARK(BM_EffectLatency)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace
