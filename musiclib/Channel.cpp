#include "musiclib/Channel.h"

#include <algorithm>

void Channel::ResizeRing(int frames) {
    std::lock_guard<std::mutex> guard(mRingLock);
    mRing.assign(static_cast<size_t>(std::max(frames, 256)) * 2, 0.0f);
    mRead = 0;
    mCount = 0;
}

int Channel::RingCapacity() {
    std::lock_guard<std::mutex> guard(mRingLock);
    return static_cast<int>(mRing.size() / 2);
}

int Channel::RingFrames() {
    std::lock_guard<std::mutex> guard(mRingLock);
    return static_cast<int>(mCount);
}

int Channel::MixFromRing(float* out, int frames, float left, float right, float leftStep, float rightStep,
                         int* remaining) {
    std::lock_guard<std::mutex> guard(mRingLock);
    const size_t capacity = mRing.size() / 2;
    const size_t wanted = std::min(static_cast<size_t>(std::max(frames, 0)), mCount);
    for (size_t done = 0; done < wanted;) {
        // Up to the ring's end, then from its start.
        const size_t span = std::min(wanted - done, capacity - mRead);
        const float* from = mRing.data() + 2 * mRead;
        float* to = out + 2 * done;
        if (leftStep == 0.0f && rightStep == 0.0f) {
            for (size_t i = 0; i < span; ++i) {
                to[2 * i] += from[2 * i] * left;
                to[2 * i + 1] += from[2 * i + 1] * right;
            }
        } else {
            for (size_t i = 0; i < span; ++i, left += leftStep, right += rightStep) {
                to[2 * i] += from[2 * i] * left;
                to[2 * i + 1] += from[2 * i + 1] * right;
            }
        }
        mRead = (mRead + span) % capacity;
        mCount -= span;
        done += span;
    }
    if (remaining) *remaining = static_cast<int>(mCount);
    return static_cast<int>(wanted);
}

void Channel::ClearRing() {
    std::lock_guard<std::mutex> guard(mRingLock);
    mRead = 0;
    mCount = 0;
}

void Channel::Fill() {
    mDecoder->SetLoop((mFlags.load() & 4) != 0);
    while (!mDecoderEnded.load()) {
        float* free = nullptr;
        int room = 0;
        {
            std::lock_guard<std::mutex> guard(mRingLock);
            const size_t capacity = mRing.size() / 2;
            if (mCount >= capacity) return;
            const size_t write = (mRead + mCount) % capacity;
            room = static_cast<int>(std::min(capacity - mCount, capacity - write));
            free = mRing.data() + 2 * write;
        }
        // Outside the lock: the mix never reads past the counted frames, and
        // only this (under the decode lock) counts more in.
        const int got = std::max(mDecoder->Read(free, room), 0);
        {
            std::lock_guard<std::mutex> guard(mRingLock);
            mCount += static_cast<size_t>(got);
        }
        if (got < room) mDecoderEnded.store(true);
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
