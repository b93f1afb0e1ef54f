#include "tests/support/FakeAudio.h"

bool FakeSoundInstance::Play(bool, bool) {
    mOwner->mPlayed.push_back(mId);
    return true;
}

bool FakeSoundInstance::IsPlaying() { return mOwner->mPlaying.count(mId) != 0; }

SoundInstance* FakeSoundManager::GetSoundInstance(int id) {
    mRequested.push_back(id);
    mInstances.push_back(std::make_unique<FakeSoundInstance>(this, id));
    return mInstances.back().get();
}

SoundInstance* FakeSoundManager::FindPlayingInstance(int id) {
    if (!mPlaying.count(id)) return nullptr;
    mInstances.push_back(std::make_unique<FakeSoundInstance>(this, id));
    return mInstances.back().get();
}
