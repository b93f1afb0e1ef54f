#pragma once
#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "audio/MusicApi.h"
#include "audio/TrackInterface.h"

class Mixer;
class MusicLibrary;

// The music of the program on our music library: tracks by id, each in a
// volume group, with fades stepped once per update. A track's gain is its
// group's volume x its own x the music master volume.
class BassTrackInterface : public TrackInterface {
public:
    // Null, with the message in *error, when the library or one of its entry
    // points is missing. decodeInMix: no feeder thread (offline rendering).
    static std::unique_ptr<BassTrackInterface> Create(Mixer& mixer, std::string* error, bool decodeInMix = false);
    ~BassTrackInterface() override;

    bool LoadTrack(int id, const std::string& fileName, const std::wstring& group) override;
    void PlayTrack(int id, int startPosition, bool loop) override;
    void StopTrack(int id) override;
    void PauseTrack(int id) override;
    void ResumeTrack(int id) override;
    void StopAllTracks() override;
    void UnloadTrack(int id) override;
    void UnloadAllTracks() override;
    void PauseAllTracks() override;
    void ResumeAllTracks() override;
    void PauseGroup(const std::wstring& group) override;
    void ResumeGroup(const std::wstring& group) override;
    std::wstring GetTrackGroup(int id) override;
    void FadeInTrack(int id, int startPosition, double fadeSpeed, bool loop) override;
    void FadeOutTrack(int id, bool stopWhenSilent, double fadeSpeed) override;
    void FadeOutAllTracks(bool stopWhenSilent, double fadeSpeed) override;
    void FadeOutGroup(const std::wstring& group, bool stopWhenSilent, double fadeSpeed) override;
    bool IsTrackPlaying(int id) override;
    void SetMasterVolume(double volume) override;
    void SetGroupVolume(const std::wstring& group, double volume) override;
    double GetGroupVolume(const std::wstring& group) override;
    void SetTrackAmplify(int id, double amplify) override;
    void Update() override;
    bool IsFading() override;

    void SetTrackVolume(int id, double volume);
    void SetTrackMaxVolume(int id, double volume);
    double GetTrackVolume(int id);

private:
    struct TrackRecord {
        MUSIC_HANDLE mMusicHandle = 0;
        MUSIC_HANDLE mStreamHandle = 0;
        double mVolume = 0.0;
        double mFadeStep = 0.0;
        double mMaxVolume = 1.0;
        bool mStopWhenSilent = false;
        std::wstring mGroup;
        MUSIC_HANDLE Channel() const { return mMusicHandle ? mMusicHandle : mStreamHandle; }
    };

    BassTrackInterface(Mixer& mixer, std::shared_ptr<MusicLibrary> library, bool decodeInMix);
    TrackRecord* Find(int id);
    double GetEffectiveVolume(const TrackRecord& track) const;
    void ApplyVolume(const TrackRecord& track);
    void SetAttributes(const TrackRecord& track);
    void StartChannel(const TrackRecord& track, int startPosition, bool loop, bool fadeIn);
    void Free(const TrackRecord& track);
    template <typename Pick>
    void FadeOutWhere(Pick pick, bool stopWhenSilent, double fadeSpeed);
    template <typename Pick>
    void PauseWhere(Pick pick);
    template <typename Pick>
    void ResumeWhere(Pick pick);

    Mixer& mMixer;
    std::shared_ptr<MusicLibrary> mLibrary;
    bool mOwnsLibrary = false;
    // Asset workers load tracks while the main thread plays them.
    std::recursive_mutex mLock;
    std::map<int, TrackRecord> mTracks;
    double mMasterVolume = 1.0;
    int mStreamVolumePercent = 40;
    unsigned mMusicFlags = 0x204;
    std::map<std::wstring, double> mGroupVolumes;
};
