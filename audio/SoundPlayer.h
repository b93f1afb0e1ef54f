#pragma once
#include <array>
#include <functional>
#include <map>
#include <set>
#include <vector>

#include "audio/SoundManager.h"

// The application's front end for effects: one-shots with a repeat guard in
// update steps, and counted looping sounds with fades. The effects volume is
// left to the sound manager, so every loop ends at that volume whether it
// faded, was muted or neither.
class SoundPlayer {
public:
    using ManagerSource = std::function<SoundManager*()>;
    explicit SoundPlayer(ManagerSource manager);
    virtual ~SoundPlayer();

    void Update();
    void PlaySound(int soundId, int minimumGap, double volumeFactor);
    void PlayLooping(int soundId, double fadeSpeed);
    void StopLooping(int soundId, double fadeSpeed);
    void StopAllLooping();
    void SetLoopsMuted(bool muted, const std::set<int>& soundIds);

    int GetTick() const { return mTick; }
    bool IsLooping(int soundId) const { return mLoopingSounds.count(soundId) != 0; }
    double GetLoopVolume(int soundId) const;

private:
    struct LoopingSound {
        SoundInstance* mInstance = nullptr;
        double mFadeStep = 0.0;
        double mVolume = 0.0;
        int mRefCount = 0;
    };
    struct DelayedSound {
        int mSoundId;
        int mCountdown;
    };
    struct FollowUpSound {
        int mSoundId;
        int mCountdown;
        SoundInstance* mInstance;
    };
    static bool ValidId(int id) { return id >= 0 && id < SoundManager::kMaxSounds; }

    ManagerSource mManager;
    std::map<int, int> mLastPlayTick;
    std::vector<DelayedSound> mDelayedSounds;
    std::vector<FollowUpSound> mFollowUpSounds;
    std::map<int, LoopingSound> mLoopingSounds;
    int mTick = 0;
    std::array<SoundInstance*, SoundManager::kMaxSounds> mKeptInstances{};
};
