#pragma once
#include <memory>
#include <string>

#include "audio/Mixer.h"
#include "platform/AudioDevice.h"

// The mixer playing on the audio device. Without a device there is no
// output, and the sound manager and music run inert.
class AudioOutput : private AudioRenderer {
public:
    // Null when no device opens; the reason goes to the log.
    static std::unique_ptr<AudioOutput> Open();
    ~AudioOutput() override;

    Mixer& GetMixer() { return mMixer; }

private:
    explicit AudioOutput(std::unique_ptr<AudioDevice> device);
    void Render(float* stereo, int frames) override { mMixer.Render(stereo, frames); }

    std::unique_ptr<AudioDevice> mDevice;
    Mixer mMixer;
};
