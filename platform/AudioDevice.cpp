#include "platform/AudioDevice.h"

#include <SDL.h>

#include <cstring>

#include "platform/CrashSignals.h"

std::unique_ptr<AudioDevice> AudioDevice::Open(std::string* error) {
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {  // counted: the destructor quits it
        if (error) *error = SDL_GetError();
        return nullptr;
    }
    std::unique_ptr<AudioDevice> device(new AudioDevice());
    if (!device->OpenDevice(44100, true, error)) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return nullptr;
    }
    return device;
}

bool AudioDevice::OpenDevice(int rate, bool allowRateChange, std::string* error) {
    SDL_AudioSpec want{};
    want.freq = rate;
    want.format = AUDIO_F32SYS;
    want.channels = 2;
    want.samples = kPeriodFrames;
    want.callback = &AudioDevice::Callback;
    want.userdata = this;
    SDL_AudioSpec got{};
    mId = SDL_OpenAudioDevice(nullptr, 0, &want, &got, allowRateChange ? SDL_AUDIO_ALLOW_FREQUENCY_CHANGE : 0);
    if (mId == 0) {
        if (error) *error = SDL_GetError();
        return false;
    }
    mRate = got.freq;
    mPeriod = got.samples;
    return true;
}

AudioDevice::~AudioDevice() {
    Close();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

void AudioDevice::Start(AudioRenderer* renderer) {
    if (mId) SDL_LockAudioDevice(mId);
    mRenderer = renderer;
    if (mId) {
        SDL_UnlockAudioDevice(mId);
        SDL_PauseAudioDevice(mId, renderer ? 0 : 1);
    }
}

void AudioDevice::Close() {
    if (mId) SDL_CloseAudioDevice(mId);  // waits for the device thread
    mId = 0;
}

bool AudioDevice::Reopen(std::string* error) {
    if (mId) return true;
    if (!OpenDevice(mRate, false, error)) return false;
    if (mRenderer) SDL_PauseAudioDevice(mId, 0);
    return true;
}

void AudioDevice::Callback(void* self, uint8_t* stream, int bytes) {
    auto* device = static_cast<AudioDevice*>(self);
    const int frames = bytes / static_cast<int>(2 * sizeof(float));
    // After a crash the other threads keep running while the report is
    // written: the speakers go quiet at once instead of looping the last block.
    if (device->mRenderer && !PlatformCrashMuted())
        device->mRenderer->Render(reinterpret_cast<float*>(stream), frames);
    else
        std::memset(stream, 0, static_cast<size_t>(bytes));
}
