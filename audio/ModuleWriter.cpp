#include "audio/ModuleWriter.h"

#include <algorithm>

namespace modwriter {

namespace {

void Text(std::vector<uint8_t>& out, const std::string& text, size_t size) {
    for (size_t i = 0; i < size; ++i) out.push_back(i < text.size() ? static_cast<uint8_t>(text[i]) : 0);
}

void Word(std::vector<uint8_t>& out, size_t value) {
    out.push_back(static_cast<uint8_t>(value >> 8));
    out.push_back(static_cast<uint8_t>(value));
}

}  // namespace

int Period(int octave, int semitone) {
    static const int kOctaveOne[12] = {856, 808, 762, 720, 678, 640, 604, 570, 538, 508, 480, 453};
    return kOctaveOne[std::clamp(semitone, 0, 11)] >> (std::clamp(octave, 1, 3) - 1);
}

std::vector<uint8_t> Write(const std::string& title, const std::vector<Sample>& samples,
                           const std::vector<Pattern>& patterns, const std::vector<int>& order) {
    std::vector<uint8_t> out;
    Text(out, title, 20);
    for (size_t i = 0; i < 31; ++i) {
        const Sample empty;
        const Sample& s = i < samples.size() ? samples[i] : empty;
        const size_t words = s.data.size() / 2;
        Text(out, s.name, 22);
        Word(out, words);
        out.push_back(0);  // finetune
        out.push_back(static_cast<uint8_t>(std::clamp(s.volume, 0, 64)));
        Word(out, 0);
        Word(out, s.loop && words > 1 ? words : 1);
    }
    out.push_back(static_cast<uint8_t>(std::min<size_t>(order.size(), 128)));
    out.push_back(127);
    for (size_t i = 0; i < 128; ++i) out.push_back(static_cast<uint8_t>(i < order.size() ? order[i] : 0));
    Text(out, "M.K.", 4);
    for (const Pattern& pattern : patterns)
        for (const Row& row : pattern)
            for (const Note& n : row) {
                out.push_back(static_cast<uint8_t>((n.sample & 0xF0) | ((n.period >> 8) & 0x0F)));
                out.push_back(static_cast<uint8_t>(n.period));
                out.push_back(static_cast<uint8_t>(((n.sample & 0x0F) << 4) | (n.effect & 0x0F)));
                out.push_back(static_cast<uint8_t>(n.param));
            }
    for (const Sample& s : samples)
        for (size_t i = 0; i < s.data.size() / 2 * 2; ++i) out.push_back(static_cast<uint8_t>(s.data[i]));
    return out;
}

}  // namespace modwriter
