#pragma once
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "audio/SoundManager.h"
#include "audio/TrackInterface.h"

class FakeSoundManager;

// A sound instance that reports its plays to its manager.
class FakeSoundInstance : public SoundInstance {
public:
    FakeSoundInstance(FakeSoundManager* owner, int id) : mOwner(owner), mId(id) {}
    void Release() override {}
    void SetBaseVolume(double) override {}
    void SetBasePan(int) override {}
    void AdjustPitch(double) override {}
    void SetVolume(double volume) override { mVolume = volume; }
    void SetPan(int pan) override { mPan = pan; }
    bool Play(bool looping, bool autoRelease) override;
    void Stop() override {}
    bool IsPlaying() override;
    bool IsReleased() override { return false; }
    double GetVolume() override { return mVolume; }

    int mPan = 0;
    double mVolume = 1.0;

private:
    FakeSoundManager* mOwner;
    int mId;
};

// The sound layer of tests: records which ids were asked for and started, and
// answers "playing" from a set the test controls.
class FakeSoundManager : public SoundManager {
public:
    bool Initialized() override { return true; }
    int FindSound(const std::string&) override { return -1; }
    bool LoadSound(int, const std::string&) override { return true; }
    void ReleaseSound(int) override {}
    void SetVolume(double volume) override { mVolume = volume; }
    bool SetBaseVolume(int, double) override { return true; }
    bool SetBasePan(int, int) override { return true; }
    SoundInstance* GetSoundInstance(int id) override;
    SoundInstance* FindPlayingInstance(int id) override;
    void ReleaseSounds() override {}
    void ReleaseChannels() override {}
    double GetMasterVolume() override { return 1.0; }
    void SetMasterVolume(double) override {}
    void Flush() override {}
    void SetCooperativeWindow(void*, bool) override {}
    void StopAllSounds() override { ++mStopAllCount; }
    void StopSound(int) override {}
    int GetFreeSoundId() override { return 0; }
    int GetNumSounds() override { return 0; }

    std::vector<int> mRequested;  // ids handed out by GetSoundInstance
    std::vector<int> mPlayed;     // ids started
    std::set<int> mPlaying;       // ids that report playing
    double mVolume = -1.0;
    int mStopAllCount = 0;
    FakeSoundInstance* Instance(size_t i) { return mInstances.at(i).get(); }

private:
    std::vector<std::unique_ptr<FakeSoundInstance>> mInstances;
};

// The music interface of tests: group volumes, updates and playing tracks.
class FakeTrackInterface : public TrackInterface {
public:
    bool IsTrackPlaying(int id) override { return mPlaying.count(id) != 0; }
    void SetGroupVolume(const std::wstring& group, double volume) override { mGroups[group] = volume; }
    void Update() override { ++mUpdates; }

    std::set<int> mPlaying;
    std::map<std::wstring, double> mGroups;
    int mUpdates = 0;
};
