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
    SDL_AudioSpec want{};
    want.freq = 44100;
    want.format = AUDIO_F32SYS;
    want.channels = 2;
    want.samples = 512;
    want.callback = &AudioDevice::Callback;
    want.userdata = device.get();
    SDL_AudioSpec got{};
    device->mId = SDL_OpenAudioDevice(nullptr, 0, &want, &got, SDL_AUDIO_ALLOW_FREQUENCY_CHANGE);
    if (device->mId == 0) {
        if (error) *error = SDL_GetError();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return nullptr;
    }
    device->mRate = got.freq;
    device->mPeriod = got.samples;
    return device;
}

AudioDevice::~AudioDevice() {
    SDL_CloseAudioDevice(mId);
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

void AudioDevice::Start(AudioRenderer* renderer) {
    SDL_LockAudioDevice(mId);
    mRenderer = renderer;
    SDL_UnlockAudioDevice(mId);
    SDL_PauseAudioDevice(mId, renderer ? 0 : 1);
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
