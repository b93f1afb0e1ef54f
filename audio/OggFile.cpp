#include <tremor/ivorbisfile.h>

#include <algorithm>
#include <cstdio>

#include "audio/SoundFileBytes.h"
#include "audio/SoundFiles.h"
#include "data/PakInterface.h"

namespace soundfiles {

namespace {

size_t ReadCallback(void* ptr, size_t size, size_t count, void* file) {
    return gPakInterfaceP->FRead(ptr, size, count, static_cast<PFILE*>(file));
}

int SeekCallback(void* file, ogg_int64_t offset, int origin) {
    if (!file || offset < LONG_MIN || offset > LONG_MAX) return -1;
    return gPakInterfaceP->FSeek(static_cast<PFILE*>(file), static_cast<long>(offset), origin);
}

int CloseCallback(void* file) { return gPakInterfaceP->FClose(static_cast<PFILE*>(file)); }

long TellCallback(void* file) { return gPakInterfaceP->FTell(static_cast<PFILE*>(file)); }

}  // namespace

bool ReadOgg(const std::string& path, PcmBuffer& out) {
    out = PcmBuffer();
    if (!gPakInterfaceP) return false;
    PFILE* file = gPakInterfaceP->FOpen(path.c_str(), "rb");
    if (!file) return false;
    OggVorbis_File vf;
    const ov_callbacks callbacks = {ReadCallback, SeekCallback, CloseCallback, TellCallback};
    if (ov_open_callbacks(file, &vf, nullptr, 0, callbacks) < 0) {
        gPakInterfaceP->FClose(file);
        return false;
    }
    const vorbis_info* info = ov_info(&vf, -1);
    PcmBuffer pcm;
    pcm.format = {info ? info->channels : 0, 16, info ? static_cast<int>(info->rate) : 0};
    bool ok = pcm.format.IsPlayable();
    // The stated length may be missing (an unseekable stream, -1) or wrong:
    // it only sizes the first allocation, and decoding stops at the cap.
    const int64_t stated = ok ? static_cast<int64_t>(ov_pcm_total(&vf, -1)) * pcm.format.BlockAlign() : -1;
    if (stated > 0) pcm.bytes.reserve(static_cast<size_t>(std::min(stated, kMaxSoundBytes)));
    char buffer[8192];
    int section = 0;
    while (ok && static_cast<int64_t>(pcm.bytes.size()) < kMaxSoundBytes) {
        const long n = ov_read(&vf, buffer, sizeof(buffer), &section);
        if (n == 0) break;
        if (n < 0) {
            ok = false;  // a damaged page: refuse rather than keep a broken sound
            break;
        }
        pcm.bytes.insert(pcm.bytes.end(), buffer, buffer + n);
    }
    ov_clear(&vf);
    if (!ok || pcm.bytes.empty() || (stated > 0 && static_cast<int64_t>(pcm.bytes.size()) < std::min(stated, kMaxSoundBytes)))
        return false;
    pcm.bytes.resize(std::min<size_t>(pcm.bytes.size(), static_cast<size_t>(kMaxSoundBytes)) / pcm.format.BlockAlign() *
                     pcm.format.BlockAlign());
    out = std::move(pcm);
    return true;
}

}  // namespace soundfiles
