#include "audio/AudioOutput.h"

#include "core/Log.h"

std::unique_ptr<AudioOutput> AudioOutput::Open() {
    std::string error;
    std::unique_ptr<AudioDevice> device = AudioDevice::Open(&error);
    if (!device) {
        DebugPrintf("No audio device, running without sound: %s\n", error.c_str());
        return nullptr;
    }
    return std::unique_ptr<AudioOutput>(new AudioOutput(std::move(device)));
}

AudioOutput::AudioOutput(std::unique_ptr<AudioDevice> device)
    : mDevice(std::move(device)), mMixer(mDevice->Rate()) {
    mDevice->Start(this);
    mMixer.SetDriver(this);
}

AudioOutput::~AudioOutput() {
    mMixer.SetDriver(nullptr);
    mDevice->Start(nullptr);
}

void AudioOutput::Update() {
    if (mAsleep.load()) return;
    if (mMixer.IsActive()) {
        mQuietSteps.store(0);
        return;
    }
    if (++mQuietSteps < kQuietSteps) return;
    std::lock_guard<std::mutex> guard(mPowerLock);
    // Asleep first, then the last look: a sound started between the two is
    // either seen here or finds the flag raised and opens the device again.
    mAsleep.store(true);
    if (mMixer.IsActive()) {
        mAsleep.store(false);
        mQuietSteps.store(0);
        return;
    }
    mDevice->Close();
}

void AudioOutput::Wake() {
    if (!mAsleep.load()) return;
    std::lock_guard<std::mutex> guard(mPowerLock);
    if (!mAsleep.load()) return;
    std::string error;
    if (!mDevice->Reopen(&error)) {
        // Tried again with the next sound.
        DebugPrintf("The audio device did not open again: %s\n", error.c_str());
        return;
    }
    mQuietSteps.store(0);
    mAsleep.store(false);
}
