#include "audio/Voice.h"

#include <algorithm>
#include <cmath>

namespace {

inline float ToFloat(int16_t s) { return static_cast<float>(s) * (1.0f / 32768.0f); }
inline float ToFloat(uint8_t s) { return static_cast<float>(static_cast<int>(s) - 128) * (1.0f / 128.0f); }

}  // namespace

bool PcmFormat::IsPlayable() const {
    return (channels == 1 || channels == 2) && (bits == 8 || bits == 16) && rate >= Voice::kMinFrequency &&
           rate <= Voice::kMaxFrequency;
}

Voice::Voice(SharedPcm pcm)
    : mPcm(std::move(pcm)), mFrequency(std::clamp(mPcm->format.rate, kMinFrequency, kMaxFrequency)) {}

float Voice::GainOf(int hundredthsDb) {
    if (hundredthsDb <= kSilence) return 0.0f;
    return static_cast<float>(std::pow(10.0, std::min(hundredthsDb, 0) / 2000.0));
}

void Voice::SetVolume(int hundredthsDb) { mVolume.store(std::clamp(hundredthsDb, kSilence, 0)); }
void Voice::SetPan(int hundredthsDb) { mPan.store(std::clamp(hundredthsDb, -10000, 10000)); }
void Voice::SetFrequency(int hz) { mFrequency.store(std::clamp(hz, kMinFrequency, kMaxFrequency)); }

void Voice::Play(bool looping) {
    mLooping.store(looping);
    mPlaying.store(true, std::memory_order_release);
}

void Voice::Stop() { mPlaying.store(false, std::memory_order_release); }
void Voice::Rewind() { mRewind.store(true); }

void Voice::MixInto(float* stereo, int frames, int deviceRate) {
    if (mRewind.exchange(false)) mPosition = 0;
    if (!IsPlaying() || frames <= 0) return;
    if (mPcm->Frames() <= 0) {
        mPlaying.store(false);
        return;
    }
    const float gain = GainOf(mVolume.load(std::memory_order_relaxed));
    const int pan = mPan.load(std::memory_order_relaxed);
    const float left = pan > 0 ? gain * GainOf(-pan) : gain;
    const float right = pan < 0 ? gain * GainOf(pan) : gain;
    if (mLeftGain < 0.0f) {
        mLeftGain = left;
        mRightGain = right;
    }
    const float leftStep = (left - mLeftGain) / static_cast<float>(frames);
    const float rightStep = (right - mRightGain) / static_cast<float>(frames);
    const uint64_t step = (static_cast<uint64_t>(mFrequency.load(std::memory_order_relaxed)) << 32) /
                          static_cast<uint64_t>(deviceRate);
    const PcmFormat& f = mPcm->format;
    if (f.bits == 16) {
        if (f.channels == 2)
            MixFrames<int16_t, 2>(stereo, frames, step, mLeftGain, mRightGain, leftStep, rightStep);
        else
            MixFrames<int16_t, 1>(stereo, frames, step, mLeftGain, mRightGain, leftStep, rightStep);
    } else {
        if (f.channels == 2)
            MixFrames<uint8_t, 2>(stereo, frames, step, mLeftGain, mRightGain, leftStep, rightStep);
        else
            MixFrames<uint8_t, 1>(stereo, frames, step, mLeftGain, mRightGain, leftStep, rightStep);
    }
    mLeftGain = left;
    mRightGain = right;
}

template <typename Sample, int Channels>
void Voice::MixFrames(float* out, int frames, uint64_t step, float left, float right, float leftStep,
                      float rightStep) {
    const Sample* data = reinterpret_cast<const Sample*>(mPcm->bytes.data());
    const uint64_t total = static_cast<uint64_t>(mPcm->Frames());
    const uint64_t end = total << 32;
    const bool looping = mLooping.load(std::memory_order_relaxed);
    uint64_t pos = mPosition;
    for (int i = 0; i < frames; ++i) {
        const uint64_t at = pos >> 32;
        uint64_t next = at + 1;
        if (next >= total) next = looping ? 0 : at;
        const float frac = static_cast<float>(pos & 0xFFFFFFFFu) * (1.0f / 4294967296.0f);
        const float a0 = ToFloat(data[at * Channels]);
        const float s0 = a0 + (ToFloat(data[next * Channels]) - a0) * frac;
        float s1 = s0;
        if constexpr (Channels == 2) {
            const float a1 = ToFloat(data[at * 2 + 1]);
            s1 = a1 + (ToFloat(data[next * 2 + 1]) - a1) * frac;
        }
        out[2 * i] += s0 * left;
        out[2 * i + 1] += s1 * right;
        left += leftStep;
        right += rightStep;
        pos += step;
        if (pos >= end) {
            if (!looping) {
                // A finished sound starts again from its beginning, as a stopped
                // buffer at its end does.
                pos = 0;
                mPlaying.store(false, std::memory_order_release);
                break;
            }
            pos %= end;
        }
    }
    mPosition = pos;
}
