#pragma once
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "audio/Voice.h"

// Something besides voices that adds into the mix (the music).
class MixerSource {
public:
    virtual ~MixerSource() = default;
    virtual void MixInto(float* stereo, int frames) = 0;
    // Whether MixInto would add anything now; a silent source lets the
    // output stop.
    virtual bool IsAudible() { return true; }
};

// What runs the mix (the audio output): told when something may be heard
// again, so a device stopped while all was quiet starts at once.
class MixerDriver {
public:
    virtual ~MixerDriver() = default;
    virtual void Wake() = 0;
};

// The process's one mix: voices and sources summed into interleaved float
// stereo at the device rate, then the master gain, then clipped. Render is the
// whole audio path, so it runs the same offline (tests, benchmarks) as under
// the device callback.
class Mixer {
public:
    explicit Mixer(int deviceRate);

    int Rate() const { return mRate; }
    void Render(float* stereo, int frames);

    void Attach(std::shared_ptr<Voice> voice);
    void Detach(const Voice* voice);
    void AddSource(MixerSource* source);
    void RemoveSource(MixerSource* source);

    // Whether the next block would hold anything: a voice playing (at any
    // volume, so it still reaches its end) or an audible source.
    bool IsActive();
    // Called by whatever starts a sound or raises a volume; cheap when the
    // output runs.
    void Wake();
    void SetDriver(MixerDriver* driver) { mDriver.store(driver); }

    // The gain of the whole program's output, in place of the desktop's
    // volume (which is never touched): stored in 1/65535 steps.
    void SetMasterVolume(double volume);
    double GetMasterVolume() const;

private:
    int mRate;
    std::mutex mLock;
    std::vector<std::shared_ptr<Voice>> mVoices;
    std::vector<MixerSource*> mSources;
    std::atomic<uint32_t> mMasterStep{65535};
    float mMasterGain = 1.0f;
    std::atomic<MixerDriver*> mDriver{nullptr};  // mixing side, ramped towards the stored step
};
