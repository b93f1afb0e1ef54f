#include <xmp.h>

#include <algorithm>
#include <climits>

#include "musiclib/Decoders.h"

namespace {

class ModuleDecoder : public Decoder {
public:
    ModuleDecoder() : mContext(xmp_create_context()) {}
    ~ModuleDecoder() override {
        if (mStarted) xmp_end_player(mContext);
        if (mLoaded) xmp_release_module(mContext);
        xmp_free_context(mContext);
    }

    bool Load(const std::vector<uint8_t>& bytes, int outputRate) {
        // The real length: libxmp must never read past the block.
        if (!mContext || bytes.empty() || bytes.size() > static_cast<size_t>(LONG_MAX)) return false;
        if (xmp_load_module_from_memory(mContext, bytes.data(), static_cast<long>(bytes.size())) != 0) return false;
        mLoaded = true;
        xmp_module_info info;
        xmp_get_module_info(mContext, &info);
        mOrders = info.mod ? info.mod->len : 0;
        mStarted = xmp_start_player(mContext, outputRate, 0) == 0;
        return mStarted;
    }

    int Read(float* stereo, int frames) override {
        mSamples.resize(static_cast<size_t>(frames) * 2);
        // One pass unless looping; 0 asks for endless repeats.
        if (xmp_play_buffer(mContext, mSamples.data(), frames * 4, mLoop ? 0 : 1) != 0) return 0;
        for (int i = 0; i < frames * 2; ++i) stereo[i] = mSamples[static_cast<size_t>(i)] * (1.0f / 32768.0f);
        return frames;
    }
    bool Restart() override {
        xmp_restart_module(mContext);
        xmp_play_buffer(mContext, nullptr, 0, 0);  // forget the count of passes
        return true;
    }
    bool Seek(uint64_t position) override {
        const int order = static_cast<int>(position & 0xFFFF);
        const int row = static_cast<int>((position >> 16) & 0x7FFF);
        if (!(position & 0x80000000u) || order >= mOrders) return false;
        xmp_play_buffer(mContext, nullptr, 0, 0);
        return xmp_set_position(mContext, order) >= 0 && (row == 0 || xmp_set_row(mContext, row) >= 0);
    }

private:
    xmp_context mContext;
    bool mLoaded = false;
    bool mStarted = false;
    int mOrders = 0;
    std::vector<int16_t> mSamples;
};

}  // namespace

std::unique_ptr<Decoder> OpenModule(const std::vector<uint8_t>& bytes, int outputRate) {
    auto decoder = std::make_unique<ModuleDecoder>();
    if (!decoder->Load(bytes, outputRate)) return nullptr;
    return decoder;
}
