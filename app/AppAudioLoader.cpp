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
        return gAppBase && gAppBase->mMusicInterface &&
               gAppBase->mMusicInterface->LoadTrack(id, file, group);
    }
};

}  // namespace

AssetAudioLoader& AppAudioLoader() {
    static ApplicationAudio loader;
    return loader;
}
