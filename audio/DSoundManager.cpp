#include "audio/DSoundManager.h"

#include <algorithm>

#include "audio/DSoundInstance.h"
#include "audio/Mixer.h"
#include "audio/SoundFiles.h"
#include "core/FileUtil.h"

DSoundManager::DSoundManager(Mixer* mixer) : mMixer(mixer) { mBaseVolumes.fill(1.0); }

DSoundManager::~DSoundManager() {
    ReleaseChannels();
    ReleaseSounds();
}

std::string DSoundManager::CachedPath(const std::string& name) {
    if (name.size() <= 2 || name[0] == '\\' || name[0] == '/' || name[1] == ':') return std::string();
    std::string path = GetAppDataFolder() + "cached/" + name + ".wav";
    std::replace(path.begin(), path.end(), '\\', '/');
    return path;
}

int DSoundManager::FindSound(const std::string& name) {
    int freeId = -1;
    {
        std::lock_guard<std::mutex> guard(mLock);
        for (int id = 0; id < kMaxSounds; ++id)
            if (mSourceFileNames[id] == name) return id;
        for (int id = kMaxSounds - 1; id >= 0 && freeId < 0; --id)
            if (!mSourceSounds[id]) freeId = id;
    }
    return freeId >= 0 && LoadSound(freeId, name) ? freeId : -1;
}

bool DSoundManager::LoadSound(int id, const std::string& name) {
    if (!ValidId(id)) return false;
    ReleaseSound(id);
    if (!mMixer) return true;
    {
        std::lock_guard<std::mutex> guard(mLock);
        mSourceFileNames[id] = name;
    }
    return LoadInto(id, name);
}

bool DSoundManager::LoadInto(int id, const std::string& name) {
    // Decoding runs outside the lock so that plays go on meanwhile.
    auto pcm = std::make_shared<PcmBuffer>();
    const std::string cached = CachedPath(name);
    bool loaded = !cached.empty() && soundfiles::ReadWav(cached, *pcm);
    if (!loaded && !cached.empty()) CreateDirectories(GetFileDir(cached));
    loaded = loaded || soundfiles::ReadWav(name + ".wav", *pcm);
    if (!loaded) {
        std::string source;
        if (soundfiles::ReadOgg(name + ".ogg", *pcm))
            source = name + ".ogg";
        else if (soundfiles::ReadAu(name + ".snd", *pcm))
            source = name + ".snd";
        if (source.empty()) return false;
        soundfiles::WriteCachedWav(cached, *pcm, source);
    }
    std::lock_guard<std::mutex> guard(mLock);
    mSourceSounds[id] = std::move(pcm);
    return true;
}

void DSoundManager::ReleaseSound(int id) {
    if (!ValidId(id)) return;
    std::lock_guard<std::mutex> guard(mLock);
    ReleaseSoundLocked(id);
}

void DSoundManager::ReleaseSoundLocked(int id) {
    if (!mSourceSounds[id]) return;
    // Voices still playing keep their own reference to the samples.
    mSourceSounds[id].reset();
    mSourceFileNames[id].clear();
}

void DSoundManager::SetVolume(double volume) {
    mMasterVolume = volume;
    for (auto& channel : mPlayingSounds)
        if (channel) channel->ApplyVolume();
}

bool DSoundManager::SetBaseVolume(int id, double volume) {
    if (!ValidId(id)) return false;
    std::lock_guard<std::mutex> guard(mLock);
    mBaseVolumes[id] = volume;
    return true;
}

bool DSoundManager::SetBasePan(int id, int pan) {
    if (!ValidId(id)) return false;
    std::lock_guard<std::mutex> guard(mLock);
    mBasePans[id] = pan;
    return true;
}

SoundInstance* DSoundManager::GetSoundInstance(int id) {
    if (!ValidId(id)) return nullptr;
    const auto now = std::chrono::steady_clock::now();
    if (now - mLastReleaseTick > std::chrono::milliseconds(1000)) {
        for (auto& channel : mPlayingSounds)
            if (channel && channel->IsReleased()) channel.reset();
        mLastReleaseTick = now;
    }
    auto free = std::find_if(mPlayingSounds.begin(), mPlayingSounds.end(),
                             [](const auto& channel) { return !channel || channel->IsReleased(); });
    if (free == mPlayingSounds.end()) return nullptr;
    SharedPcm pcm;
    double baseVolume;
    int basePan;
    {
        std::lock_guard<std::mutex> guard(mLock);
        pcm = mSourceSounds[id];
        baseVolume = mBaseVolumes[id];
        basePan = mBasePans[id];
    }
    if (mMixer && !pcm) return nullptr;
    free->reset();
    auto instance = std::make_unique<DSoundInstance>(this, id, std::move(pcm));
    if (instance->HasFailed()) return nullptr;
    instance->SetBasePan(basePan);
    instance->SetBaseVolume(baseVolume);
    *free = std::move(instance);
    return free->get();
}

SoundInstance* DSoundManager::FindPlayingInstance(int id) {
    for (auto& channel : mPlayingSounds)
        if (channel && channel->GetSoundId() == id && channel->IsPlaying()) return channel.get();
    return nullptr;
}

void DSoundManager::ReleaseSounds() {
    std::lock_guard<std::mutex> guard(mLock);
    for (auto& pcm : mSourceSounds) pcm.reset();
}

void DSoundManager::ReleaseChannels() {
    for (auto& channel : mPlayingSounds) channel.reset();
}

double DSoundManager::GetMasterVolume() { return mMixer ? mMixer->GetMasterVolume() : 1.0; }

void DSoundManager::SetMasterVolume(double volume) {
    if (mMixer) mMixer->SetMasterVolume(volume);
}

void DSoundManager::StopAllSounds() { StopChannels(-1, true); }

void DSoundManager::StopSound(int id) { StopChannels(id, false); }

void DSoundManager::StopChannels(int id, bool all) {
    // Stopping clears auto-release; a stopped one-shot must still free its
    // channel later, so the flag is put back.
    for (auto& channel : mPlayingSounds) {
        if (!channel || (!all && channel->GetSoundId() != id)) continue;
        const bool autoRelease = channel->GetAutoRelease();
        channel->Stop();
        channel->SetAutoRelease(autoRelease);
    }
}

int DSoundManager::GetFreeSoundId() {
    std::lock_guard<std::mutex> guard(mLock);
    for (int id = 0; id < kMaxSounds; ++id)
        if (!mSourceSounds[id]) return id;
    return -1;
}

int DSoundManager::GetNumSounds() {
    std::lock_guard<std::mutex> guard(mLock);
    return static_cast<int>(std::count_if(mSourceSounds.begin(), mSourceSounds.end(), [](const SharedPcm& p) { return p != nullptr; }));
}

SharedPcm DSoundManager::GetPcm(int id) {
    if (!ValidId(id)) return nullptr;
    std::lock_guard<std::mutex> guard(mLock);
    return mSourceSounds[id];
}

size_t DSoundManager::GetDataSize(int id) {
    if (!ValidId(id)) return 0;
    std::lock_guard<std::mutex> guard(mLock);
    return mSourceSounds[id] ? mSourceSounds[id]->bytes.size() : 0;
}
