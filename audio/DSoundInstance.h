#pragma once
#include <memory>

#include "audio/PcmBuffer.h"
#include "audio/SoundManager.h"

class DSoundManager;
class Voice;

// One channel's copy of a sound: a mixer voice sharing the id's samples.
// Without a voice (no device or no sound) it is inert and never plays.
class DSoundInstance : public SoundInstance {
public:
    DSoundInstance(DSoundManager* manager, int soundId, SharedPcm source);
    ~DSoundInstance() override;

    // False when the voice could not be made for a sound that exists.
    bool HasFailed() const { return mFailed; }
    int GetSoundId() const { return mSoundId; }
    bool GetAutoRelease() const { return mAutoRelease; }
    void SetAutoRelease(bool autoRelease) { mAutoRelease = autoRelease; }
    int GetFrequency() const;

    void Release() override;
    void SetBaseVolume(double volume) override;
    void SetBasePan(int pan) override;
    void AdjustPitch(double semitones) override;
    void SetVolume(double volume) override;
    void SetPan(int pan) override;
    bool Play(bool looping, bool autoRelease) override;
    void Stop() override;
    bool IsPlaying() override;
    bool IsReleased() override;
    double GetVolume() override { return mVolume; }

    void ApplyVolume();
    // Linear volume to hundredths of a decibel on a curve that falls to
    // silence below about 4% (0.5 gives -605).
    static int VolumeToHundredthsDb(double volume);

private:
    void ApplyPan();

    DSoundManager* mSoundManager;
    std::shared_ptr<Voice> mSoundBuffer;
    bool mFailed = false;
    bool mAutoRelease = false;
    bool mHasPlayed = false;
    bool mReleased = false;
    int mSoundId;
    int mBasePan = 0;
    double mBaseVolume = 1.0;
    int mPan = 0;
    double mVolume = 1.0;
    int mDefaultFrequency = 44100;
};
