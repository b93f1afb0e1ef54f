#pragma once
#include <string>

#include "data/AssetManager.h"

// One playing copy of a loaded sound effect.
class SoundInstance {
public:
    virtual ~SoundInstance() = default;
    virtual void Release() = 0;
    virtual void SetBaseVolume(double volume) = 0;
    virtual void SetBasePan(int pan) = 0;
    virtual void AdjustPitch(double semitones) = 0;
    virtual void SetVolume(double volume) = 0;
    virtual void SetPan(int pan) = 0;
    virtual bool Play(bool looping, bool autoRelease) = 0;
    virtual void Stop() = 0;
    virtual bool IsPlaying() = 0;
    virtual bool IsReleased() = 0;
    virtual double GetVolume() = 0;
};

// The sound effects of the program, addressed by sound ids 0..kMaxSounds-1.
class SoundManager {
public:
    static constexpr int kMaxSounds = kMaxAssetSounds;
    static constexpr int kMaxChannels = 32;

    virtual ~SoundManager() = default;
    virtual bool Initialized() = 0;
    virtual int FindSound(const std::string& name) = 0;
    virtual bool LoadSound(int id, const std::string& name) = 0;
    virtual void ReleaseSound(int id) = 0;
    virtual void SetVolume(double volume) = 0;
    virtual bool SetBaseVolume(int id, double volume) = 0;
    virtual bool SetBasePan(int id, int pan) = 0;
    virtual SoundInstance* GetSoundInstance(int id) { return nullptr; }
    virtual SoundInstance* FindPlayingInstance(int id) { return nullptr; }
    virtual void ReleaseSounds() = 0;
    virtual void ReleaseChannels() = 0;
    virtual double GetMasterVolume() = 0;
    virtual void SetMasterVolume(double volume) = 0;
    virtual void Flush() = 0;
    virtual void SetCooperativeWindow(void* window, bool flag) = 0;
    virtual void StopAllSounds() = 0;
    virtual void StopSound(int id) = 0;
    virtual int GetFreeSoundId() = 0;
    virtual int GetNumSounds() = 0;
};
