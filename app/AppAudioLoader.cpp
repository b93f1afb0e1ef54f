#include "app/AppAudioLoader.h"

#include "app/PomoAppBase.h"
#include "audio/SoundManager.h"
#include "audio/TrackInterface.h"
#include "data/AssetManager.h"

namespace {

class ApplicationAudio : public AssetAudioLoader {
public:
    bool LoadSound(int id, const std::string& path) override {
        return gAppBase && gAppBase->mSoundManager && gAppBase->mSoundManager->LoadSound(id, path);
    }
    bool LoadTrack(int id, const std::string& file, const std::wstring& group) override {
        if (!gAppBase || !gAppBase->mMusicInterface) return false;
        // With no audio device the music is inert: like the sounds, a track
        // then counts as loaded without being read, so a machine without a
        // sound card plays the game in silence instead of refusing to start.
        if (!gAppBase->mAudioOutput) return true;
        return gAppBase->mMusicInterface->LoadTrack(id, file, group);
    }
};

}  // namespace

AssetAudioLoader& AppAudioLoader() {
    static ApplicationAudio loader;
    return loader;
}
