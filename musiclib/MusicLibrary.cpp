// Our music library: streams (Ogg Vorbis, MP3, WAV) and tracker modules mixed
// into the host's output. A feeder thread decodes ahead into each channel's
// ring; the host's audio callback only copies from the rings (MUSIC_Mix).
#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <map>
#include <thread>

#include "audio/MusicApi.h"
#include "musiclib/Channel.h"

#define MUSIC_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

struct Library {
    std::mutex lock;  // the channel table and the settings
    std::map<MUSIC_HANDLE, std::shared_ptr<Channel>> channels;
    MUSIC_HANDLE nextHandle = 1;
    int rate = 0;
    int bufferMs = 500;
    std::atomic<float> streamGain{1.0f};
    std::atomic<float> moduleGain{1.0f};
    std::atomic<bool> running{false};  // Start / Stop
    bool decodeInMix = false;

    std::thread feeder;
    std::mutex wakeLock;
    std::condition_variable wake;
    bool wakePending = false;  // a channel started or moved since the feeder last looked
    bool quit = false;
};

Library* gLibrary = nullptr;

std::shared_ptr<Channel> Find(MUSIC_HANDLE handle) {
    if (!gLibrary) return nullptr;
    std::lock_guard<std::mutex> guard(gLibrary->lock);
    auto it = gLibrary->channels.find(handle);
    return it == gLibrary->channels.end() ? nullptr : it->second;
}

std::vector<std::shared_ptr<Channel>> Playing() {
    std::vector<std::shared_ptr<Channel>> out;
    std::lock_guard<std::mutex> guard(gLibrary->lock);
    for (auto& [handle, channel] : gLibrary->channels)
        if (channel->mState.load() == MUSIC_PLAYING) out.push_back(channel);
    return out;
}

// The feeder decodes only when asked: a channel started or moved, or the mix
// drained a ring to half (MixChannel). A 500 ms ring is then topped up about
// four times a second instead of on a 10 ms beat, and with nothing playing,
// or nothing mixed (the host's device asleep), the thread never wakes.
void FeederLoop() {
    for (;;) {
        {
            std::unique_lock<std::mutex> guard(gLibrary->wakeLock);
            gLibrary->wake.wait(guard, [] { return gLibrary->wakePending || gLibrary->quit; });
            gLibrary->wakePending = false;
            if (gLibrary->quit) return;
        }
        for (auto& channel : Playing()) {
            std::lock_guard<std::mutex> guard(channel->mDecodeLock);
            channel->Fill();
        }
    }
}

void Wake() {
    if (!gLibrary || gLibrary->decodeInMix) return;
    {
        std::lock_guard<std::mutex> guard(gLibrary->wakeLock);
        if (gLibrary->wakePending) return;
        gLibrary->wakePending = true;
    }
    gLibrary->wake.notify_one();
}

MUSIC_HANDLE Add(bool module, const void* file, uint64_t offset, uint64_t length) {
    if (!gLibrary || !file || length == 0 || length > (512ull << 20)) return 0;
    const auto* start = static_cast<const uint8_t*>(file) + offset;
    auto channel = std::make_shared<Channel>(module, std::vector<uint8_t>(start, start + length));
    channel->mDecoder = module ? OpenModule(channel->mBytes, gLibrary->rate) : OpenStream(channel->mBytes, gLibrary->rate);
    if (!channel->mDecoder) return 0;
    std::lock_guard<std::mutex> guard(gLibrary->lock);
    channel->ResizeRing(gLibrary->rate * gLibrary->bufferMs / 1000);
    const MUSIC_HANDLE handle = gLibrary->nextHandle++;
    gLibrary->channels[handle] = channel;
    return handle;
}

int Remove(MUSIC_HANDLE handle, bool module) {
    if (!gLibrary) return 0;
    std::lock_guard<std::mutex> guard(gLibrary->lock);
    auto it = gLibrary->channels.find(handle);
    if (it == gLibrary->channels.end() || it->second->mModule != module) return 0;
    it->second->mState.store(MUSIC_STOPPED);
    gLibrary->channels.erase(it);  // the feeder may hold it a little longer
    return 1;
}

void MixChannel(Channel& channel, float* out, int frames, float busGain) {
    if (gLibrary->decodeInMix) {
        std::lock_guard<std::mutex> guard(channel.mDecodeLock);
        channel.Fill();
    }
    float gain = channel.mVolume.load() * busGain;
    if (channel.mModule) gain *= channel.mAmplify.load() / 50.0f;
    const float pan = channel.mPan.load();
    const float left = gain * (pan > 0 ? 1.0f - pan : 1.0f);
    const float right = gain * (pan < 0 ? 1.0f + pan : 1.0f);
    if (channel.mLeftGain < 0) {
        channel.mLeftGain = left;
        channel.mRightGain = right;
    }
    // A change of volume is ramped over this block.
    const float dl = (left - channel.mLeftGain) / frames, dr = (right - channel.mRightGain) / frames;
    int remaining = 0;
    const int got = channel.MixFromRing(out, frames, channel.mLeftGain, channel.mRightGain, dl, dr, &remaining);
    // An underrun of a live stream plays silence; a finished one stops.
    if (got < frames && channel.mDecoderEnded.load() && remaining == 0) channel.mState.store(MUSIC_STOPPED);
    if (!gLibrary->decodeInMix && !channel.mDecoderEnded.load() && remaining < channel.RingCapacity() / 2) Wake();
    channel.mLeftGain = left;
    channel.mRightGain = right;
}

}  // namespace

MUSIC_EXPORT int MUSIC_Init(int, uint32_t freq, uint32_t, void*, void*) {
    if (gLibrary || freq < 8000 || freq > 384000) return 0;
    gLibrary = new Library();
    gLibrary->rate = static_cast<int>(freq);
    return 1;
}

MUSIC_EXPORT int MUSIC_Free(void) {
    if (!gLibrary) return 0;
    if (gLibrary->feeder.joinable()) {
        {
            std::lock_guard<std::mutex> guard(gLibrary->wakeLock);
            gLibrary->quit = true;
        }
        gLibrary->wake.notify_one();
        gLibrary->feeder.join();
    }
    delete gLibrary;
    gLibrary = nullptr;
    return 1;
}

MUSIC_EXPORT int MUSIC_Start(void) {
    if (!gLibrary) return 0;
    gLibrary->running.store(true);
    if (!gLibrary->decodeInMix && !gLibrary->feeder.joinable()) gLibrary->feeder = std::thread(FeederLoop);
    return 1;
}

MUSIC_EXPORT int MUSIC_Stop(void) {
    if (!gLibrary) return 0;
    gLibrary->running.store(false);
    return 1;
}

MUSIC_EXPORT int MUSIC_SetConfig(uint32_t option, uint32_t value) {
    if (!gLibrary) return 0;
    std::lock_guard<std::mutex> guard(gLibrary->lock);
    switch (option) {
        case MUSIC_CONFIG_BUFFER: gLibrary->bufferMs = static_cast<int>(std::clamp<uint32_t>(value, 50, 500)); return 1;
        case MUSIC_CONFIG_STREAM_VOLUME: gLibrary->streamGain.store(std::min<uint32_t>(value, 10000) / 10000.0f); return 1;
        case MUSIC_CONFIG_MODULE_VOLUME: gLibrary->moduleGain.store(std::min<uint32_t>(value, 10000) / 10000.0f); return 1;
        case MUSIC_CONFIG_DECODE_IN_MIX:
            if (gLibrary->feeder.joinable()) return 0;
            gLibrary->decodeInMix = value != 0;
            return 1;
        default: return 0;
    }
}

MUSIC_EXPORT MUSIC_HANDLE MUSIC_StreamCreateFile(int memory, const void* file, uint64_t offset, uint64_t length, uint32_t) {
    return memory ? Add(false, file, offset, length) : 0;
}

MUSIC_EXPORT MUSIC_HANDLE MUSIC_MusicLoad(int memory, const void* file, uint64_t offset, uint32_t length, uint32_t flags,
                                          uint32_t) {
    const MUSIC_HANDLE handle = memory ? Add(true, file, offset, length) : 0;
    if (auto channel = Find(handle)) channel->mFlags.store(flags);
    return handle;
}

MUSIC_EXPORT int MUSIC_StreamFree(MUSIC_HANDLE handle) { return Remove(handle, false); }
MUSIC_EXPORT int MUSIC_MusicFree(MUSIC_HANDLE handle) { return Remove(handle, true); }

MUSIC_EXPORT int MUSIC_ChannelStop(MUSIC_HANDLE handle) {
    auto channel = Find(handle);
    if (!channel) return 0;
    channel->mState.store(MUSIC_STOPPED);  // the position is kept
    return 1;
}

MUSIC_EXPORT int MUSIC_ChannelPlay(MUSIC_HANDLE handle, int restart) {
    auto channel = Find(handle);
    if (!channel) return 0;
    if (restart) {
        std::lock_guard<std::mutex> guard(channel->mDecodeLock);
        channel->Reposition(true, 0);
    }
    channel->mState.store(MUSIC_PLAYING);
    Wake();
    return 1;
}

MUSIC_EXPORT int MUSIC_ChannelPause(MUSIC_HANDLE handle) {
    auto channel = Find(handle);
    int playing = MUSIC_PLAYING;
    return channel && channel->mState.compare_exchange_strong(playing, MUSIC_PAUSED) ? 1 : 0;
}

MUSIC_EXPORT uint32_t MUSIC_ChannelIsActive(MUSIC_HANDLE handle) {
    auto channel = Find(handle);
    return channel ? static_cast<uint32_t>(channel->mState.load()) : MUSIC_STOPPED;
}

MUSIC_EXPORT int MUSIC_ChannelSetAttribute(MUSIC_HANDLE handle, uint32_t attribute, float value) {
    auto channel = Find(handle);
    if (!channel) return 0;
    switch (attribute) {
        case MUSIC_ATTRIB_VOL: channel->mVolume.store(std::clamp(value, 0.0f, 1.0f)); return 1;
        case MUSIC_ATTRIB_PAN:
            if (!(value >= -1.0f && value <= 1.0f)) return 0;
            channel->mPan.store(value);
            return 1;
        case MUSIC_ATTRIB_AMPLIFY: channel->mAmplify.store(std::clamp(value, 0.0f, 100.0f)); return 1;
        default: return 0;  // the frequency stays the channel's own
    }
}

MUSIC_EXPORT int MUSIC_ChannelSetPosition(MUSIC_HANDLE handle, uint64_t position, uint32_t) {
    auto channel = Find(handle);
    if (!channel) return 0;
    std::lock_guard<std::mutex> guard(channel->mDecodeLock);
    const bool ok = channel->Reposition(false, channel->mModule ? (position & 0xFFFFFFFFu) : position);
    Wake();
    return ok ? 1 : 0;
}

MUSIC_EXPORT uint32_t MUSIC_ChannelFlags(MUSIC_HANDLE handle, uint32_t flags, uint32_t mask) {
    auto channel = Find(handle);
    if (!channel) return 0;
    const uint32_t now = (channel->mFlags.load() & ~mask) | (flags & mask);
    channel->mFlags.store(now);
    return now;
}

MUSIC_EXPORT int MUSIC_Audible(void) {
    if (!gLibrary || !gLibrary->running.load()) return 0;
    std::lock_guard<std::mutex> guard(gLibrary->lock);
    for (auto& [handle, channel] : gLibrary->channels) {
        if (channel->mState.load() != MUSIC_PLAYING || channel->mVolume.load() <= 0.0f) continue;
        const float bus = channel->mModule ? gLibrary->moduleGain.load() * channel->mAmplify.load()
                                           : gLibrary->streamGain.load();
        if (bus > 0.0f) return 1;
    }
    return 0;
}

MUSIC_EXPORT void MUSIC_Mix(float* stereo, int frames) {
    if (!gLibrary || frames <= 0 || !gLibrary->running.load()) return;
    std::lock_guard<std::mutex> guard(gLibrary->lock);
    for (auto& [handle, channel] : gLibrary->channels)
        if (channel->mState.load() == MUSIC_PLAYING)
            MixChannel(*channel, stereo, frames, channel->mModule ? gLibrary->moduleGain.load() : gLibrary->streamGain.load());
}
