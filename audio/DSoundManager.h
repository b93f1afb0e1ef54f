#pragma once
#include <array>
#include <chrono>
#include <memory>
#include <mutex>
#include <string>

#include "audio/PcmBuffer.h"
#include "audio/SoundManager.h"

class Mixer;
class DSoundInstance;

// The sound effects on our mixer: the decoded sound of each id, shared by the
// voices that play it, and 32 channels of instances. Without a mixer (no audio
// device) loads succeed without loading and instances never play.
class DSoundManager : public SoundManager {
public:
    explicit DSoundManager(Mixer* mixer);
    ~DSoundManager() override;

    bool Initialized() override { return mMixer != nullptr; }
    int FindSound(const std::string& name) override;
    bool LoadSound(int id, const std::string& name) override;
    void ReleaseSound(int id) override;
    void SetVolume(double volume) override;
    bool SetBaseVolume(int id, double volume) override;
    bool SetBasePan(int id, int pan) override;
    SoundInstance* GetSoundInstance(int id) override;
    SoundInstance* FindPlayingInstance(int id) override;
    void ReleaseSounds() override;
    void ReleaseChannels() override;
    double GetMasterVolume() override;
    void SetMasterVolume(double volume) override;
    void Flush() override {}
    void SetCooperativeWindow(void*, bool) override {}
    void StopAllSounds() override;
    void StopSound(int id) override;
    int GetFreeSoundId() override;
    int GetNumSounds() override;

    // The cached copy of a sound name, or empty for names that get none
    // (absolute paths, drive letters, names of two characters or fewer).
    static std::string CachedPath(const std::string& name);

    Mixer* GetMixer() const { return mMixer; }
    double GetEffectsVolume() const { return mMasterVolume; }
    SharedPcm GetPcm(int id);
    size_t GetDataSize(int id);

private:
    static bool ValidId(int id) { return id >= 0 && id < kMaxSounds; }
    void ReleaseSoundLocked(int id);
    void StopChannels(int id, bool all);
    bool LoadInto(int id, const std::string& name);

    Mixer* mMixer;
    // Asset workers load while the main thread plays: the id tables are
    // guarded; the channels belong to the main thread.
    std::mutex mLock;
    std::array<SharedPcm, kMaxSounds> mSourceSounds;
    std::array<std::string, kMaxSounds> mSourceFileNames;
    std::array<double, kMaxSounds> mBaseVolumes;
    std::array<int, kMaxSounds> mBasePans{};
    std::array<std::unique_ptr<DSoundInstance>, kMaxChannels> mPlayingSounds;
    double mMasterVolume = 1.0;
    std::chrono::steady_clock::time_point mLastReleaseTick{};
};
