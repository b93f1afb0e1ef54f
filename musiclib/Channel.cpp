#include "musiclib/Channel.h"

#include <algorithm>

void Channel::ResizeRing(int frames) {
    std::lock_guard<std::mutex> guard(mRingLock);
    mRing.assign(static_cast<size_t>(std::max(frames, 256)) * 2, 0.0f);
    mRead = 0;
    mCount = 0;
}

int Channel::RingSpace() {
    std::lock_guard<std::mutex> guard(mRingLock);
    return static_cast<int>((mRing.size() / 2) - mCount);
}

int Channel::RingCapacity() {
    std::lock_guard<std::mutex> guard(mRingLock);
    return static_cast<int>(mRing.size() / 2);
}

int Channel::RingFrames() {
    std::lock_guard<std::mutex> guard(mRingLock);
    return static_cast<int>(mCount);
}

void Channel::Push(const float* stereo, int frames) {
    std::lock_guard<std::mutex> guard(mRingLock);
    const size_t capacity = mRing.size() / 2;
    for (int i = 0; i < frames && mCount < capacity; ++i, ++mCount) {
        const size_t at = (mRead + mCount) % capacity;
        mRing[2 * at] = stereo[2 * i];
        mRing[2 * at + 1] = stereo[2 * i + 1];
    }
}

int Channel::Pop(float* stereo, int frames) {
    std::lock_guard<std::mutex> guard(mRingLock);
    const size_t capacity = mRing.size() / 2;
    int n = 0;
    for (; n < frames && mCount > 0; ++n, --mCount) {
        stereo[2 * n] = mRing[2 * mRead];
        stereo[2 * n + 1] = mRing[2 * mRead + 1];
        mRead = (mRead + 1) % capacity;
    }
    return n;
}

void Channel::ClearRing() {
    std::lock_guard<std::mutex> guard(mRingLock);
    mRead = 0;
    mCount = 0;
}

void Channel::Fill() {
    float chunk[2 * 1024];
    mDecoder->SetLoop((mFlags.load() & 4) != 0);
    while (!mDecoderEnded.load()) {
        const int want = std::min(RingSpace(), 1024);
        if (want <= 0) return;
        const int got = mDecoder->Read(chunk, want);
        Push(chunk, got);
        if (got < want) mDecoderEnded.store(true);
    }
}

bool Channel::Reposition(bool restart, uint64_t position) {
    const bool ok = restart ? mDecoder->Restart() : mDecoder->Seek(position);
    if (ok) {
        ClearRing();
        mDecoderEnded.store(false);
    }
    return ok;
}
