#include "audio/DSoundInstance.h"

#include <algorithm>
#include <cmath>
#include <new>

#include "audio/DSoundManager.h"
#include "audio/Mixer.h"

DSoundInstance::DSoundInstance(DSoundManager* manager, int soundId, SharedPcm source)
    : mSoundManager(manager), mSoundId(soundId) {
    if (source && manager->GetMixer()) {
        try {
            mSoundBuffer = std::make_shared<Voice>(std::move(source));
            manager->GetMixer()->Attach(mSoundBuffer);
            mDefaultFrequency = mSoundBuffer->GetFrequency();
        } catch (const std::bad_alloc&) {
            mSoundBuffer.reset();
            mFailed = true;
        }
    }
    ApplyVolume();
}

DSoundInstance::~DSoundInstance() {
    if (mSoundBuffer) mSoundManager->GetMixer()->Detach(mSoundBuffer.get());
}

int DSoundInstance::GetFrequency() const { return mSoundBuffer ? mSoundBuffer->GetFrequency() : 0; }

void DSoundInstance::Release() {
    Stop();
    mReleased = true;
}

void DSoundInstance::SetBaseVolume(double volume) {
    mBaseVolume = volume;
    ApplyVolume();
}

void DSoundInstance::SetVolume(double volume) {
    mVolume = volume;
    ApplyVolume();
}

void DSoundInstance::SetBasePan(int pan) {
    mBasePan = pan;
    ApplyPan();
}

void DSoundInstance::SetPan(int pan) {
    mPan = pan;
    ApplyPan();
}

int DSoundInstance::VolumeToHundredthsDb(double volume) {
    const int db = static_cast<int>((std::log10(9.0 * std::max(volume, 0.0) + 1.0) - 1.0) * 2333.0);
    return db < -2000 ? Voice::kSilence : std::min(db, 0);
}

void DSoundInstance::ApplyVolume() {
    if (mSoundBuffer)
        mSoundBuffer->SetVolume(VolumeToHundredthsDb(mVolume * mBaseVolume * mSoundManager->GetEffectsVolume()));
}

void DSoundInstance::ApplyPan() {
    // The sum of two pans may leave the range; the voice clamps it.
    if (mSoundBuffer) mSoundBuffer->SetPan(mPan + mBasePan);
}

void DSoundInstance::AdjustPitch(double semitones) {
    if (!mSoundBuffer) return;
    const double hz = mDefaultFrequency * std::pow(1.0594630943592953, semitones);
    mSoundBuffer->SetFrequency(static_cast<int>(std::clamp(hz, 100.0, 100000.0)));
}

bool DSoundInstance::Play(bool looping, bool autoRelease) {
    Stop();
    mHasPlayed = true;
    mAutoRelease = autoRelease;
    if (!mSoundBuffer) return false;
    mSoundBuffer->Play(looping);
    mSoundManager->GetMixer()->Wake();
    return true;
}

void DSoundInstance::Stop() {
    if (!mSoundBuffer) return;
    mSoundBuffer->Stop();
    mSoundBuffer->Rewind();
    mAutoRelease = false;
}

bool DSoundInstance::IsPlaying() { return mHasPlayed && mSoundBuffer && mSoundBuffer->IsPlaying(); }

bool DSoundInstance::IsReleased() {
    if (!mReleased && mAutoRelease && mHasPlayed && !IsPlaying()) Release();
    return mReleased;
}
