#include "audio/SoundFileBytes.h"

#include <algorithm>

#include "audio/SoundFiles.h"
#include "data/PakInterface.h"

namespace soundfiles {

bool ReadFileBytes(const std::string& path, std::vector<uint8_t>& out) {
    out.clear();
    if (!gPakInterfaceP) return false;
    PFILE* file = gPakInterfaceP->FOpen(path.c_str(), "rb");
    if (!file) return false;
    uint8_t chunk[65536];
    size_t n = 0;
    const size_t cap = static_cast<size_t>(kMaxSoundBytes) + 4096;
    while (out.size() < cap && (n = gPakInterfaceP->FRead(chunk, 1, std::min(sizeof(chunk), cap - out.size()), file)) > 0)
        out.insert(out.end(), chunk, chunk + n);
    gPakInterfaceP->FClose(file);
    return true;
}

}  // namespace soundfiles
