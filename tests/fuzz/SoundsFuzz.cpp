#include <vector>

#include "audio/SoundFiles.h"
#include "tests/fuzz/FuzzTarget.h"

// Reads the bytes as a WAV and as an AU sound effect. A success holds whole
// frames of a format the mixer plays, and never more than the input gave.
FUZZ_TARGET(sounds) {
    const std::vector<uint8_t> file(data, data + size);
    PcmBuffer pcm;
    for (bool au : {false, true}) {
        if (!(au ? soundfiles::ParseAu(file, pcm) : soundfiles::ParseWav(file, pcm))) continue;
        if (!pcm.format.IsPlayable() || pcm.bytes.size() % pcm.format.BlockAlign() != 0 ||
            pcm.bytes.size() > 2 * size)
            __builtin_trap();
    }
    return 0;
}
