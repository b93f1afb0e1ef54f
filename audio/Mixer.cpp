#include "audio/Mixer.h"

#include <algorithm>
#include <cmath>

Mixer::Mixer(int deviceRate) : mRate(std::max(deviceRate, 1)) {}

void Mixer::Render(float* stereo, int frames) {
    std::fill(stereo, stereo + 2 * static_cast<size_t>(std::max(frames, 0)), 0.0f);
    if (frames <= 0) return;
    {
        std::lock_guard<std::mutex> guard(mLock);
        for (const auto& voice : mVoices) voice->MixInto(stereo, frames, mRate);
        for (MixerSource* source : mSources) source->MixInto(stereo, frames);
    }
    const float target = static_cast<float>(mMasterStep.load()) / 65535.0f;
    if (target == mMasterGain) {
        // The usual case, one gain for the block: a plain loop over samples.
        const size_t samples = 2 * static_cast<size_t>(frames);
        for (size_t i = 0; i < samples; ++i) stereo[i] = std::clamp(stereo[i] * target, -1.0f, 1.0f);
        return;
    }
    const float step = (target - mMasterGain) / static_cast<float>(frames);
    float gain = mMasterGain;
    for (int i = 0; i < frames; ++i) {
        stereo[2 * i] = std::clamp(stereo[2 * i] * gain, -1.0f, 1.0f);
        stereo[2 * i + 1] = std::clamp(stereo[2 * i + 1] * gain, -1.0f, 1.0f);
        gain += step;
    }
    mMasterGain = target;
}

void Mixer::Attach(std::shared_ptr<Voice> voice) {
    std::lock_guard<std::mutex> guard(mLock);
    mVoices.push_back(std::move(voice));
}

void Mixer::Detach(const Voice* voice) {
    std::lock_guard<std::mutex> guard(mLock);
    std::erase_if(mVoices, [voice](const std::shared_ptr<Voice>& v) { return v.get() == voice; });
}

void Mixer::AddSource(MixerSource* source) {
    std::lock_guard<std::mutex> guard(mLock);
    mSources.push_back(source);
}

void Mixer::RemoveSource(MixerSource* source) {
    std::lock_guard<std::mutex> guard(mLock);
    std::erase(mSources, source);
}

bool Mixer::IsActive() {
    std::lock_guard<std::mutex> guard(mLock);
    for (const auto& voice : mVoices)
        if (voice->IsPlaying()) return true;
    for (MixerSource* source : mSources)
        if (source->IsAudible()) return true;
    return false;
}

void Mixer::Wake() {
    if (MixerDriver* driver = mDriver.load()) driver->Wake();
}

void Mixer::SetMasterVolume(double volume) {
    mMasterStep.store(static_cast<uint32_t>(std::clamp(volume, 0.0, 1.0) * 65535.0));
}

double Mixer::GetMasterVolume() const { return mMasterStep.load() / 65535.0; }
