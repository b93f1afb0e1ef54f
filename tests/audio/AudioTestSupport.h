#pragma once
#include <cmath>
#include <cstdint>
#include <fstream>
#include <string>
#include <memory>
#include <vector>

#include "audio/Mixer.h"

inline void WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

// The test sounds kept in the source tree (tests/audio/data).
inline std::string AudioDataFile(const std::string& name) {
    return std::string(QUILTRO7_SOURCE_DIR) + "/tests/audio/data/" + name;
}

// A 16-bit sine of the given frequency, whole cycles only so loops are seamless.
inline SharedPcm MakeSine(int rate, double hz, int frames, int channels = 1, double amplitude = 0.5) {
    auto pcm = std::make_shared<PcmBuffer>();
    pcm->format = {channels, 16, rate};
    pcm->bytes.resize(static_cast<size_t>(frames) * channels * 2);
    auto* s = reinterpret_cast<int16_t*>(pcm->bytes.data());
    for (int i = 0; i < frames; ++i)
        for (int c = 0; c < channels; ++c)
            s[i * channels + c] = static_cast<int16_t>(32767 * amplitude * std::sin(2 * M_PI * hz * i / rate));
    return pcm;
}

// Renders the mix offline and returns interleaved stereo.
inline std::vector<float> RenderFrames(Mixer& mixer, int frames, int block = 512) {
    std::vector<float> out(static_cast<size_t>(frames) * 2);
    for (int at = 0; at < frames; at += block) mixer.Render(out.data() + 2 * at, std::min(block, frames - at));
    return out;
}

inline double Peak(const std::vector<float>& stereo, int channel, size_t fromFrame = 0) {
    double peak = 0;
    for (size_t i = fromFrame; 2 * i + channel < stereo.size(); ++i)
        peak = std::max(peak, std::abs(static_cast<double>(stereo[2 * i + channel])));
    return peak;
}

// Upward zero crossings of one channel per second.
inline double MeasuredHz(const std::vector<float>& stereo, int rate) {
    int crossings = 0;
    for (size_t i = 1; 2 * i < stereo.size(); ++i)
        if (stereo[2 * (i - 1)] < 0 && stereo[2 * i] >= 0) ++crossings;
    return crossings * static_cast<double>(rate) / (stereo.size() / 2);
}
