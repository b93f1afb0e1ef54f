#include <memory>
#include <string>

#include "audio/MusicLibrary.h"
#include "tests/fuzz/FuzzTarget.h"

// Hands the bytes to our music library as a stream and as a module and plays
// a little of whatever loads (decoding in the mixing call, no thread).
FUZZ_TARGET(music) {
    static std::shared_ptr<MusicLibrary> library = [] {
        std::string error;
        auto lib = MusicLibrary::Acquire(&error);
        if (!lib) __builtin_trap();  // the library belongs beside the program
        lib->Init(-1, 48000, 0, nullptr, nullptr);
        lib->SetConfig(MUSIC_CONFIG_DECODE_IN_MIX, 1);
        lib->SetConfig(MUSIC_CONFIG_BUFFER, 50);
        lib->Start();
        return lib;
    }();
    float out[2 * 1024];
    for (bool module : {false, true}) {
        const MUSIC_HANDLE h = module ? library->MusicLoad(1, data, 0, static_cast<uint32_t>(size), 0x204, 0)
                                      : library->StreamCreateFile(1, data, 0, size, 0);
        if (!h) continue;
        library->ChannelFlags(h, MUSIC_FLAG_LOOP, MUSIC_FLAG_LOOP);
        library->ChannelPlay(h, 1);
        for (int i = 0; i < 4; ++i) library->Mix(out, 1024);
        library->ChannelSetPosition(h, module ? 0x80010001u : 4096u, 0);
        library->Mix(out, 1024);
        if (module ? !library->MusicFree(h) : !library->StreamFree(h)) __builtin_trap();
    }
    return 0;
}
