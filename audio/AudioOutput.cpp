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
}

AudioOutput::~AudioOutput() { mDevice->Start(nullptr); }
