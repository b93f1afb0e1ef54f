#pragma once
#include <cstdint>
#include <memory>
#include <vector>

// A decoder turns a file held in memory into float stereo at the output rate.
class Decoder {
public:
    virtual ~Decoder() = default;
    // Up to frames frames; fewer only at the end (0 when over).
    virtual int Read(float* stereo, int frames) = 0;
    virtual bool Restart() = 0;
    // Streams: bytes of 16-bit PCM at the source format. Modules: order and row.
    virtual bool Seek(uint64_t position) = 0;
    virtual void SetLoop(bool loop) { mLoop = loop; }

protected:
    bool mLoop = false;
};

// Ogg Vorbis, MP3 or WAV by their content; null when none of them fits.
std::unique_ptr<Decoder> OpenStream(const std::vector<uint8_t>& bytes, int outputRate);
// A tracker module through libxmp; null when it does not load.
std::unique_ptr<Decoder> OpenModule(const std::vector<uint8_t>& bytes, int outputRate);
