#pragma once
#include <atomic>
#include <memory>
#include <mutex>
#include <string>

#include "audio/Mixer.h"
#include "platform/AudioDevice.h"

// The mixer playing on the audio device. Without a device there is no
// output, and the sound manager and music run inert.
//
// While nothing can be heard (no voice playing, the music stopped, paused or
// at volume 0) for kQuietSteps update steps, the device is closed, so a
// still, silent screen costs the audio thread nothing; whatever starts a
// sound or raises a volume wakes the mixer, which opens it again at once.
class AudioOutput : private AudioRenderer, private MixerDriver {
public:
    static constexpr int kQuietSteps = 200;  // two seconds of game time

    // Null when no device opens; the reason goes to the log.
    static std::unique_ptr<AudioOutput> Open();
    ~AudioOutput() override;

    Mixer& GetMixer() { return mMixer; }
    // Frames the device takes at a time: how late a sound may start.
    int PeriodFrames() const { return mDevice->PeriodFrames(); }
    // Once per update step, on the main thread: counts the quiet steps and
    // closes the device after enough of them.
    void Update();
    bool IsAsleep() const { return mAsleep.load(); }

private:
    explicit AudioOutput(std::unique_ptr<AudioDevice> device);
    void Render(float* stereo, int frames) override { mMixer.Render(stereo, frames); }
    void Wake() override;

    std::unique_ptr<AudioDevice> mDevice;
    Mixer mMixer;
    std::mutex mPowerLock;  // closing and opening the device
    std::atomic<bool> mAsleep{false};
    std::atomic<int> mQuietSteps{0};
};
