#include "audio/BassTrackInterface.h"

#include <algorithm>
#include <cctype>
#include <vector>

#include "audio/FadeStep.h"
#include "audio/Mixer.h"
#include "audio/MusicLibrary.h"
#include "data/PakInterface.h"

namespace {

constexpr long kMaxTrackBytes = 256l << 20;

// The whole file through the file access layer; false when it cannot be read.
bool ReadTrackFile(const std::string& path, std::vector<uint8_t>& out) {
    PFILE* file = gPakInterfaceP ? gPakInterfaceP->FOpen(path.c_str(), "rb") : nullptr;
    if (!file) return false;
    bool ok = gPakInterfaceP->FSeek(file, 0, SEEK_END) == 0;
    const long size = ok ? gPakInterfaceP->FTell(file) : -1;
    ok = size > 0 && size <= kMaxTrackBytes && gPakInterfaceP->FSeek(file, 0, SEEK_SET) == 0;
    if (ok) {
        out.resize(static_cast<size_t>(size));
        ok = gPakInterfaceP->FRead(out.data(), 1, out.size(), file) == out.size();
    }
    gPakInterfaceP->FClose(file);
    return ok;
}

}  // namespace

std::unique_ptr<BassTrackInterface> BassTrackInterface::Create(Mixer& mixer, std::string* error, bool decodeInMix) {
    std::shared_ptr<MusicLibrary> library = MusicLibrary::Acquire(error);
    if (!library) return nullptr;
    return std::unique_ptr<BassTrackInterface>(new BassTrackInterface(mixer, std::move(library), decodeInMix));
}

BassTrackInterface::BassTrackInterface(Mixer& mixer, std::shared_ptr<MusicLibrary> library, bool decodeInMix)
    : mMixer(mixer), mLibrary(std::move(library)) {
    // The library mixes at the device's rate, so nothing is resampled twice.
    // One music state per process: a second interface (never made by the
    // game) gets no tracks and leaves the first one's state alone.
    mOwnsLibrary = mLibrary->Init(-1, static_cast<uint32_t>(mMixer.Rate()), 0, nullptr, nullptr) != 0;
    if (!mOwnsLibrary) return;
    mLibrary->SetConfig(MUSIC_CONFIG_BUFFER, 2000);
    if (decodeInMix) mLibrary->SetConfig(MUSIC_CONFIG_DECODE_IN_MIX, 1);
    mLibrary->Start();
    mLibrary->SetConfig(MUSIC_CONFIG_MODULE_VOLUME, 4000);
    mLibrary->SetConfig(MUSIC_CONFIG_STREAM_VOLUME, static_cast<uint32_t>(mStreamVolumePercent * 100));
    mMixer.AddSource(mLibrary.get());
}

BassTrackInterface::~BassTrackInterface() {
    if (mOwnsLibrary) {
        mMixer.RemoveSource(mLibrary.get());
        mLibrary->Stop();
        mLibrary->Free();  // frees every channel and its file
    }
    mTracks.clear();
    mGroupVolumes.clear();
}

BassTrackInterface::TrackRecord* BassTrackInterface::Find(int id) {
    auto it = mTracks.find(id);
    return it == mTracks.end() ? nullptr : &it->second;
}

double BassTrackInterface::GetEffectiveVolume(const TrackRecord& track) const {
    auto group = mGroupVolumes.find(track.mGroup);
    return (group == mGroupVolumes.end() ? 0.0 : group->second) * track.mVolume * mMasterVolume;
}

void BassTrackInterface::ApplyVolume(const TrackRecord& track) {
    mLibrary->ChannelSetAttribute(track.Channel(), MUSIC_ATTRIB_VOL, static_cast<float>(GetEffectiveVolume(track)));
    mMixer.Wake();  // a track made audible again
}

void BassTrackInterface::SetAttributes(const TrackRecord& track) {
    mLibrary->ChannelSetAttribute(track.Channel(), MUSIC_ATTRIB_FREQ, -1.0f);
    ApplyVolume(track);
    mLibrary->ChannelSetAttribute(track.Channel(), MUSIC_ATTRIB_PAN, -101.0f);
}

bool BassTrackInterface::LoadTrack(int id, const std::string& fileName, const std::wstring& group) {
    std::string extension;
    const size_t dot = fileName.rfind('.');
    if (dot != std::string::npos) extension = fileName.substr(dot + 1);
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    const bool stream = extension == "wav" || extension == "ogg" || extension == "mp3";
    std::vector<uint8_t> bytes;
    if (!mOwnsLibrary || !ReadTrackFile(fileName, bytes)) return false;
    // The library keeps its own copy of the file, freed with the track.
    TrackRecord track;
    if (stream)
        track.mStreamHandle = mLibrary->StreamCreateFile(1, bytes.data(), 0, bytes.size(), 0);
    else
        track.mMusicHandle =
            mLibrary->MusicLoad(1, bytes.data(), 0, static_cast<uint32_t>(bytes.size()), mMusicFlags, 0);
    if (!track.Channel()) return false;
    track.mGroup = group;
    std::lock_guard<std::recursive_mutex> guard(mLock);
    UnloadTrack(id);  // a reload replaces the old track
    mTracks[id] = std::move(track);
    return true;
}

void BassTrackInterface::StartChannel(const TrackRecord& track, int startPosition, bool loop, bool fadeIn) {
    mMixer.Wake();
    const uint32_t loopFlag = loop ? MUSIC_FLAG_LOOP : 0;
    if (track.mMusicHandle) {
        // -1 plays on from where the module stands, as it does for streams,
        // so a track asked for again while it plays is not restarted.
        if (fadeIn && startPosition == -1) {
            mLibrary->ChannelFlags(track.mMusicHandle, loopFlag | MUSIC_FLAG_RAMP, 0xFFFFFFFFu);
            mLibrary->ChannelPlay(track.mMusicHandle, 0);
            return;
        }
        mLibrary->ChannelStop(track.mMusicHandle);
        const int64_t position = static_cast<int32_t>((startPosition & 0xFFFF) | MUSIC_POSITION_ORDER_ROW);
        mLibrary->ChannelSetPosition(track.mMusicHandle, static_cast<uint64_t>(position), 0);
        mLibrary->ChannelFlags(track.mMusicHandle, loopFlag | (fadeIn ? MUSIC_FLAG_RAMP : MUSIC_FLAG_RAMP | MUSIC_FLAG_STOP_ON_SEEK),
                               0xFFFFFFFFu);
        mLibrary->ChannelPlay(track.mMusicHandle, 0);
        return;
    }
    mLibrary->ChannelFlags(track.mStreamHandle, loopFlag, 0xFFFFFFFFu);
    mLibrary->ChannelPlay(track.mStreamHandle, startPosition != -1);
    if (startPosition > 0) mLibrary->ChannelSetPosition(track.mStreamHandle, static_cast<uint64_t>(startPosition), 0);
}

void BassTrackInterface::PlayTrack(int id, int startPosition, bool loop) {
    std::lock_guard<std::recursive_mutex> guard(mLock);
    TrackRecord* track = Find(id);
    if (!track) return;
    track->mVolume = track->mMaxVolume;
    track->mStopWhenSilent = !loop;
    track->mFadeStep = 0.0;
    SetAttributes(*track);
    mLibrary->ChannelStop(track->Channel());
    StartChannel(*track, startPosition, loop, false);
}

void BassTrackInterface::FadeInTrack(int id, int startPosition, double fadeSpeed, bool loop) {
    std::lock_guard<std::recursive_mutex> guard(mLock);
    TrackRecord* track = Find(id);
    if (!track) return;
    track->mFadeStep = fadeSpeed;
    track->mStopWhenSilent = !loop;
    mLibrary->ChannelStop(track->Channel());
    SetAttributes(*track);
    StartChannel(*track, startPosition, loop, true);
}

void BassTrackInterface::FadeOutTrack(int id, bool stopWhenSilent, double fadeSpeed) {
    std::lock_guard<std::recursive_mutex> guard(mLock);
    if (TrackRecord* track = Find(id)) {
        if (track->mVolume != 0.0) track->mFadeStep = -fadeSpeed;
        track->mStopWhenSilent = stopWhenSilent;
    }
}

void BassTrackInterface::FadeOutAllTracks(bool stopWhenSilent, double fadeSpeed) {
    FadeOutWhere([](const TrackRecord&) { return true; }, stopWhenSilent, fadeSpeed);
}

void BassTrackInterface::FadeOutGroup(const std::wstring& group, bool stopWhenSilent, double fadeSpeed) {
    FadeOutWhere([&group](const TrackRecord& t) { return t.mGroup == group; }, stopWhenSilent, fadeSpeed);
}

template <typename Pick>
void BassTrackInterface::FadeOutWhere(Pick pick, bool stopWhenSilent, double fadeSpeed) {
    std::lock_guard<std::recursive_mutex> guard(mLock);
    for (auto& [id, track] : mTracks) {
        if (!pick(track)) continue;
        track.mFadeStep = -fadeSpeed;
        track.mStopWhenSilent = stopWhenSilent;
    }
}

void BassTrackInterface::Update() {
    std::lock_guard<std::recursive_mutex> guard(mLock);
    for (auto& [id, track] : mTracks) {
        if (track.mFadeStep == 0.0) continue;
        track.mVolume += track.mFadeStep;
        if (track.mVolume > track.mMaxVolume - kFadeMargin) {
            track.mVolume = track.mMaxVolume;
            track.mFadeStep = 0.0;
        } else if (track.mVolume < kFadeMargin) {
            track.mVolume = 0.0;
            track.mFadeStep = 0.0;
            if (track.mStopWhenSilent) mLibrary->ChannelStop(track.Channel());
        }
        ApplyVolume(track);
    }
}

// While a fade runs its 10 ms steps are heard, so the main loop keeps them on time.
bool BassTrackInterface::IsFading() {
    std::lock_guard<std::recursive_mutex> guard(mLock);
    for (const auto& [id, track] : mTracks)
        if (track.mFadeStep != 0.0) return true;
    return false;
}

void BassTrackInterface::StopTrack(int id) {
    std::lock_guard<std::recursive_mutex> guard(mLock);
    if (TrackRecord* track = Find(id)) {
        track->mVolume = 0.0;
        mLibrary->ChannelStop(track->Channel());
    }
}

void BassTrackInterface::StopAllTracks() {
    std::lock_guard<std::recursive_mutex> guard(mLock);
    for (auto& [id, track] : mTracks) StopTrack(id);
}

void BassTrackInterface::PauseTrack(int id) {
    std::lock_guard<std::recursive_mutex> guard(mLock);
    if (TrackRecord* track = Find(id)) mLibrary->ChannelPause(track->Channel());
}

void BassTrackInterface::ResumeTrack(int id) {
    std::lock_guard<std::recursive_mutex> guard(mLock);
    if (TrackRecord* track = Find(id)) mLibrary->ChannelPlay(track->Channel(), 0);
    mMixer.Wake();
}

void BassTrackInterface::Free(const TrackRecord& track) {
    if (track.mStreamHandle)
        mLibrary->StreamFree(track.mStreamHandle);
    else if (track.mMusicHandle)
        mLibrary->MusicFree(track.mMusicHandle);
}

void BassTrackInterface::UnloadTrack(int id) {
    std::lock_guard<std::recursive_mutex> guard(mLock);
    if (TrackRecord* track = Find(id)) {
        StopTrack(id);
        Free(*track);
        mTracks.erase(id);
    }
}

void BassTrackInterface::UnloadAllTracks() {
    std::lock_guard<std::recursive_mutex> guard(mLock);
    StopAllTracks();
    for (auto& [id, track] : mTracks) Free(track);
    mTracks.clear();
}

template <typename Pick>
void BassTrackInterface::PauseWhere(Pick pick) {
    std::lock_guard<std::recursive_mutex> guard(mLock);
    for (auto& [id, track] : mTracks)
        if (pick(track) && mLibrary->ChannelIsActive(track.Channel()) == MUSIC_PLAYING)
            mLibrary->ChannelPause(track.Channel());
}

template <typename Pick>
void BassTrackInterface::ResumeWhere(Pick pick) {
    std::lock_guard<std::recursive_mutex> guard(mLock);
    for (auto& [id, track] : mTracks)
        if (pick(track) && mLibrary->ChannelIsActive(track.Channel()) == MUSIC_PAUSED)
            mLibrary->ChannelPlay(track.Channel(), 0);
    mMixer.Wake();
}

void BassTrackInterface::PauseAllTracks() {
    PauseWhere([](const TrackRecord&) { return true; });
}

void BassTrackInterface::ResumeAllTracks() {
    ResumeWhere([](const TrackRecord&) { return true; });
}

void BassTrackInterface::PauseGroup(const std::wstring& group) {
    PauseWhere([&group](const TrackRecord& t) { return t.mGroup == group; });
}

void BassTrackInterface::ResumeGroup(const std::wstring& group) {
    ResumeWhere([&group](const TrackRecord& t) { return t.mGroup == group; });
}

std::wstring BassTrackInterface::GetTrackGroup(int id) {
    std::lock_guard<std::recursive_mutex> guard(mLock);
    TrackRecord* track = Find(id);
    return track ? track->mGroup : std::wstring();
}

bool BassTrackInterface::IsTrackPlaying(int id) {
    std::lock_guard<std::recursive_mutex> guard(mLock);
    TrackRecord* track = Find(id);
    return track && mLibrary->ChannelIsActive(track->Channel()) == MUSIC_PLAYING;
}

void BassTrackInterface::SetMasterVolume(double volume) {
    std::lock_guard<std::recursive_mutex> guard(mLock);
    mMasterVolume = volume;
    for (auto& [id, track] : mTracks) ApplyVolume(track);
}

void BassTrackInterface::SetGroupVolume(const std::wstring& group, double volume) {
    std::lock_guard<std::recursive_mutex> guard(mLock);
    mGroupVolumes[group] = volume;
    for (auto& [id, track] : mTracks)
        if (track.mGroup == group) ApplyVolume(track);
}

double BassTrackInterface::GetGroupVolume(const std::wstring& group) {
    std::lock_guard<std::recursive_mutex> guard(mLock);
    auto it = mGroupVolumes.find(group);
    return it == mGroupVolumes.end() ? 0.0 : it->second;
}

void BassTrackInterface::SetTrackAmplify(int id, double amplify) {
    std::lock_guard<std::recursive_mutex> guard(mLock);
    if (TrackRecord* track = Find(id))
        mLibrary->ChannelSetAttribute(track->Channel(), MUSIC_ATTRIB_AMPLIFY, static_cast<float>(amplify));
}

void BassTrackInterface::SetTrackVolume(int id, double volume) {
    std::lock_guard<std::recursive_mutex> guard(mLock);
    if (TrackRecord* track = Find(id)) {
        track->mVolume = volume;
        ApplyVolume(*track);
    }
}

void BassTrackInterface::SetTrackMaxVolume(int id, double volume) {
    std::lock_guard<std::recursive_mutex> guard(mLock);
    if (TrackRecord* track = Find(id)) {
        track->mMaxVolume = volume;
        track->mVolume = std::min(track->mVolume, volume);
        ApplyVolume(*track);
    }
}

double BassTrackInterface::GetTrackVolume(int id) {
    std::lock_guard<std::recursive_mutex> guard(mLock);
    TrackRecord* track = Find(id);
    return track ? track->mVolume : 0.0;
}
