#pragma once
#include <memory>
#include <string>

#include "audio/Mixer.h"
#include "audio/MusicApi.h"

class SharedLibrary;

// The resolved entry points of our music library, and its place in the mix.
// One table per process, shared by reference count.
class MusicLibrary : public MixerSource {
public:
    // Loads the library from the program's folder and resolves every entry
    // point. Null, with a message naming what is missing, on failure.
    static std::shared_ptr<MusicLibrary> Acquire(std::string* error);
    ~MusicLibrary() override;

    void MixInto(float* stereo, int frames) override { Mix(stereo, frames); }
    bool IsAudible() override { return Audible() != 0; }

    MUSIC_Init_t Init = nullptr;
    MUSIC_Free_t Free = nullptr;
    MUSIC_Start_t Start = nullptr;
    MUSIC_Stop_t Stop = nullptr;
    MUSIC_SetConfig_t SetConfig = nullptr;
    MUSIC_StreamCreateFile_t StreamCreateFile = nullptr;
    MUSIC_MusicLoad_t MusicLoad = nullptr;
    MUSIC_StreamFree_t StreamFree = nullptr;
    MUSIC_MusicFree_t MusicFree = nullptr;
    MUSIC_ChannelStop_t ChannelStop = nullptr;
    MUSIC_ChannelPlay_t ChannelPlay = nullptr;
    MUSIC_ChannelPause_t ChannelPause = nullptr;
    MUSIC_ChannelIsActive_t ChannelIsActive = nullptr;
    MUSIC_ChannelSetAttribute_t ChannelSetAttribute = nullptr;
    MUSIC_ChannelSetPosition_t ChannelSetPosition = nullptr;
    MUSIC_ChannelFlags_t ChannelFlags = nullptr;
    MUSIC_Mix_t Mix = nullptr;
    MUSIC_Audible_t Audible = nullptr;

private:
    MusicLibrary() = default;
    std::unique_ptr<SharedLibrary> mLibrary;
};
