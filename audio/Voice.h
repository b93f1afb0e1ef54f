#pragma once
#include <atomic>
#include <cstdint>

#include "audio/PcmBuffer.h"

// One playing copy of a sound in the mixer. The control side (any thread)
// stores targets in atomics; the mixing side reads them once per block and
// ramps towards them over that block, so changes are heard without clicks.
class Voice {
public:
    static constexpr int kSilence = -10000;  // hundredths of a decibel
    static constexpr int kMinFrequency = 100;
    static constexpr int kMaxFrequency = 100000;

    explicit Voice(SharedPcm pcm);

    const PcmFormat& Format() const { return mPcm->format; }
    void SetVolume(int hundredthsDb);  // 0 full, -10000 silent
    void SetPan(int hundredthsDb);     // negative attenuates the right side
    void SetFrequency(int hz);         // clamped to 100..100000
    int GetFrequency() const { return mFrequency.load(); }
    // Starts from the current position; a non-looping voice stops at the end.
    void Play(bool looping);
    void Stop();  // keeps the position
    void Rewind();
    bool IsPlaying() const { return mPlaying.load(std::memory_order_acquire); }

    // Adds this voice into interleaved stereo; the mixing thread only.
    void MixInto(float* stereo, int frames, int deviceRate);

    static float GainOf(int hundredthsDb);

private:
    template <typename Sample, int Channels>
    void MixFrames(float* stereo, int frames, uint64_t step, float left, float right,
                   float leftStep, float rightStep);

    SharedPcm mPcm;
    std::atomic<int> mVolume{0};
    std::atomic<int> mPan{0};
    std::atomic<int> mFrequency;
    std::atomic<bool> mPlaying{false};
    std::atomic<bool> mLooping{false};
    std::atomic<bool> mRewind{false};
    // Mixing side only.
    uint64_t mPosition = 0;  // frames in 32.32 fixed point
    float mLeftGain = -1.0f;  // negative until the first block sets it
    float mRightGain = 0.0f;
};
