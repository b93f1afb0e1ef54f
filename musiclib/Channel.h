#pragma once
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "musiclib/Decoders.h"

// One stream or module: its file (owned), its decoder and the ring of decoded
// frames between the feeder and the mix. Control calls and the feeder take
// mDecodeLock; the ring has its own short lock so the mix never waits on a
// decode.
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

    // The ring, in frames of float stereo.
    void ResizeRing(int frames);
    int RingSpace();
    int RingFrames();
    int RingCapacity();
    void Push(const float* stereo, int frames);
    int Pop(float* stereo, int frames);
    void ClearRing();

    // Decodes until the ring is full or the decoder ends. Needs mDecodeLock.
    void Fill();
    // Restart or seek under the decode lock, dropping what was decoded ahead.
    bool Reposition(bool restart, uint64_t position);

private:
    std::mutex mRingLock;
    std::vector<float> mRing;
    size_t mRead = 0;
    size_t mCount = 0;
};
