#include "audio/MusicLibrary.h"

#include <mutex>
#include <type_traits>

#include "platform/SharedLibrary.h"

namespace {

std::mutex gMusicLibraryLock;
std::weak_ptr<MusicLibrary> gMusicLibrary;

}  // namespace

std::shared_ptr<MusicLibrary> MusicLibrary::Acquire(std::string* error) {
    std::lock_guard<std::mutex> guard(gMusicLibraryLock);
    if (auto existing = gMusicLibrary.lock()) return existing;
    std::string reason;
    std::unique_ptr<SharedLibrary> library =
        SharedLibrary::Open(PlatformProgramFolder() + MUSIC_LIBRARY_FILE, &reason);
    if (!library) {
        if (error) *error = "Can't find " MUSIC_LIBRARY_FILE ". (" + reason + ")";
        return nullptr;
    }
    std::shared_ptr<MusicLibrary> table(new MusicLibrary());
    bool ok = true;
    auto resolve = [&](auto& entry, const char* name) {
        if (!ok) return;
        entry = reinterpret_cast<std::remove_reference_t<decltype(entry)>>(library->Symbol(name));
        if (!entry) {
            ok = false;
            if (error) *error = std::string(name) + " function not found in " MUSIC_LIBRARY_FILE;
        }
    };
    resolve(table->Init, "MUSIC_Init");
    resolve(table->Free, "MUSIC_Free");
    resolve(table->Stop, "MUSIC_Stop");
    resolve(table->Start, "MUSIC_Start");
    resolve(table->SetConfig, "MUSIC_SetConfig");
    resolve(table->ChannelStop, "MUSIC_ChannelStop");
    resolve(table->ChannelPlay, "MUSIC_ChannelPlay");
    resolve(table->ChannelPause, "MUSIC_ChannelPause");
    resolve(table->ChannelSetAttribute, "MUSIC_ChannelSetAttribute");
    resolve(table->ChannelSetPosition, "MUSIC_ChannelSetPosition");
    resolve(table->ChannelIsActive, "MUSIC_ChannelIsActive");
    resolve(table->ChannelFlags, "MUSIC_ChannelFlags");
    resolve(table->MusicLoad, "MUSIC_MusicLoad");
    resolve(table->MusicFree, "MUSIC_MusicFree");
    resolve(table->StreamCreateFile, "MUSIC_StreamCreateFile");
    resolve(table->StreamFree, "MUSIC_StreamFree");
    resolve(table->Mix, "MUSIC_Mix");
    resolve(table->Audible, "MUSIC_Audible");
    if (!ok) return nullptr;
    table->mLibrary = std::move(library);
    gMusicLibrary = table;
    return table;
}

MusicLibrary::~MusicLibrary() = default;
