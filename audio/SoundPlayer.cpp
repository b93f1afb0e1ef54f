#include "audio/SoundPlayer.h"

#include "audio/FadeStep.h"

SoundPlayer::SoundPlayer(ManagerSource manager) : mManager(std::move(manager)) {}

SoundPlayer::~SoundPlayer() {
    for (SoundInstance* kept : mKeptInstances)
        if (kept) kept->Release();
}

void SoundPlayer::PlaySound(int soundId, int minimumGap, double volumeFactor) {
    if (!ValidId(soundId)) return;
    auto last = mLastPlayTick.find(soundId);
    if (last != mLastPlayTick.end() && mTick - last->second <= minimumGap) return;
    SoundInstance* instance = mKeptInstances[soundId];
    const bool autoRelease = instance == nullptr;
    SoundManager* manager = mManager();
    if (!instance && manager) instance = manager->GetSoundInstance(soundId);
    if (instance) {
        instance->SetVolume(instance->GetVolume() * volumeFactor);
        instance->Play(false, autoRelease);
    }
    mLastPlayTick[soundId] = mTick;
}

void SoundPlayer::PlayLooping(int soundId, double fadeSpeed) {
    if (!ValidId(soundId)) return;
    auto it = mLoopingSounds.find(soundId);
    if (it != mLoopingSounds.end()) {
        ++it->second.mRefCount;
        return;
    }
    SoundManager* manager = mManager();
    SoundInstance* instance = manager ? manager->GetSoundInstance(soundId) : nullptr;
    if (!instance) return;
    instance->Play(true, false);
    LoopingSound loop{instance, fadeSpeed, 1.0, 1};
    if (fadeSpeed != 0.0) {
        instance->SetVolume(0.0);
        loop.mVolume = 0.0;
    }
    mLoopingSounds[soundId] = loop;
}

void SoundPlayer::StopLooping(int soundId, double fadeSpeed) {
    auto it = mLoopingSounds.find(soundId);
    if (it == mLoopingSounds.end() || --it->second.mRefCount >= 1) return;
    if (fadeSpeed != 0.0) {
        it->second.mFadeStep = -fadeSpeed;
        return;
    }
    it->second.mInstance->Release();
    mLoopingSounds.erase(it);
}

void SoundPlayer::StopAllLooping() {
    for (auto& [id, loop] : mLoopingSounds) loop.mInstance->Release();
    mLoopingSounds.clear();
}

void SoundPlayer::SetLoopsMuted(bool muted, const std::set<int>& soundIds) {
    for (int id : soundIds) {
        auto it = mLoopingSounds.find(id);
        if (it != mLoopingSounds.end()) it->second.mInstance->SetVolume(muted ? 0.0 : it->second.mVolume);
    }
}

double SoundPlayer::GetLoopVolume(int soundId) const {
    auto it = mLoopingSounds.find(soundId);
    return it == mLoopingSounds.end() ? 0.0 : it->second.mVolume;
}

void SoundPlayer::Update() {
    ++mTick;
    for (size_t i = 0; i < mDelayedSounds.size();) {
        if (mDelayedSounds[i].mCountdown-- <= 0) {
            const int id = mDelayedSounds[i].mSoundId;
            mDelayedSounds.erase(mDelayedSounds.begin() + static_cast<long>(i));
            PlaySound(id, 0, 1.0);
        } else {
            ++i;
        }
    }
    for (size_t i = 0; i < mFollowUpSounds.size();) {
        FollowUpSound& f = mFollowUpSounds[i];
        if (!f.mInstance->IsPlaying() && --f.mCountdown < 1) {
            const int id = f.mSoundId;
            mFollowUpSounds.erase(mFollowUpSounds.begin() + static_cast<long>(i));
            PlaySound(id, 0, 1.0);
        } else {
            ++i;
        }
    }
    for (auto it = mLoopingSounds.begin(); it != mLoopingSounds.end(); ++it) {
        LoopingSound& loop = it->second;
        if (loop.mFadeStep == 0.0) continue;
        loop.mVolume += loop.mFadeStep;
        if (loop.mVolume >= 1.0 - kFadeMargin) {
            loop.mVolume = 1.0;
            loop.mFadeStep = 0.0;
        }
        if (loop.mVolume <= kFadeMargin) {
            loop.mInstance->Release();
            mLoopingSounds.erase(it);
            return;  // the remaining loops step on the next update
        }
        loop.mInstance->SetVolume(loop.mVolume);
    }
}
