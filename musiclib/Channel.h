#pragma once
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "musiclib/Decoders.h"

// One stream or module: its file (owned), its decoder and the ring of decoded
// frames between the feeder and the mix. Control calls and the feeder take
// mDecodeLock; the ring has its own short lock, held only to move its ends or
// to mix from it, so the mix never waits on a decode.
class Channel {
public:
    Channel(bool module, std::vector<uint8_t> bytes) : mModule(module), mBytes(std::move(bytes)) {}

    const bool mModule;
    const std::vector<uint8_t> mBytes;  // the decoder reads from these
    std::unique_ptr<Decoder> mDecoder;

    std::atomic<int> mState{0};
    std::atomic<float> mVolume{1.0f};
    std::atomic<float> mPan{0.0f};
    std::atomic<float> mAmplify{50.0f};
    std::atomic<uint32_t> mFlags{0};
    std::atomic<bool> mDecoderEnded{false};
    float mLeftGain = -1.0f;  // mixing side; negative before the first block
    float mRightGain = 0.0f;

    std::mutex mDecodeLock;

    // The ring, in frames of float stereo. Sized once, before the channel is
    // shared.
    void ResizeRing(int frames);
    int RingFrames();
    int RingCapacity();
    // Adds up to `frames` frames from the ring into `out`, the gains starting
    // at left and right and moving by the steps each frame. Returns how many
    // it had; *remaining is what stays in the ring.
    int MixFromRing(float* out, int frames, float left, float right, float leftStep, float rightStep,
                    int* remaining);
    void ClearRing();

    // Decodes until the ring is full or the decoder ends, straight into the
    // ring's free space in pieces as long as it has (the mix reads only
    // frames already counted in, so the decoder writes without the ring's
    // lock). Needs mDecodeLock.
    void Fill();
    // Restart or seek under the decode lock, dropping what was decoded ahead.
    bool Reposition(bool restart, uint64_t position);

private:
    std::mutex mRingLock;
    std::vector<float> mRing;
    size_t mRead = 0;
    size_t mCount = 0;
};
