#include <mpg123.h>
#include <tremor/ivorbisfile.h>

#include <algorithm>
#include <climits>
#include <cstring>

#include "musiclib/Decoders.h"

namespace {

// 16-bit interleaved PCM at the source's own rate.
class PcmSource {
public:
    virtual ~PcmSource() = default;
    virtual long Read(int16_t* samples, long frames) = 0;  // 0 at the end, <0 on error
    virtual bool SeekFrame(int64_t frame) = 0;
    int mRate = 0;
    int mChannels = 0;
};

// Memory reads for the decoders' callbacks.
struct MemoryFile {
    const std::vector<uint8_t>* bytes;
    int64_t pos = 0;
    size_t Read(void* dst, size_t n) {
        const size_t left = bytes->size() - static_cast<size_t>(pos);
        n = std::min(n, left);
        std::memcpy(dst, bytes->data() + pos, n);
        pos += static_cast<int64_t>(n);
        return n;
    }
    int64_t Seek(int64_t offset, int whence) {
        const int64_t base = whence == SEEK_SET ? 0 : whence == SEEK_CUR ? pos : static_cast<int64_t>(bytes->size());
        const int64_t to = base + offset;
        if (to < 0 || to > static_cast<int64_t>(bytes->size())) return -1;
        return pos = to;
    }
};

class WavSource : public PcmSource {
public:
    static std::unique_ptr<PcmSource> Open(const std::vector<uint8_t>& b) {
        if (b.size() < 12 || std::memcmp(b.data(), "RIFF", 4) != 0 || std::memcmp(b.data() + 8, "WAVE", 4) != 0)
            return nullptr;
        auto u16 = [&](size_t at) { return static_cast<uint32_t>(b[at] | b[at + 1] << 8); };
        auto u32 = [&](size_t at) { return u16(at) | u16(at + 2) << 16; };
        auto src = std::make_unique<WavSource>();
        int bits = 0;
        for (size_t at = 12; at + 8 <= b.size();) {
            const uint64_t size = u32(at + 4);
            const size_t body = at + 8;
            if (std::memcmp(&b[at], "fmt ", 4) == 0 && body + 16 <= b.size()) {
                if (u16(body) != 1) return nullptr;
                src->mChannels = static_cast<int>(u16(body + 2));
                src->mRate = static_cast<int>(u32(body + 4));
                bits = static_cast<int>(u16(body + 14));
            } else if (std::memcmp(&b[at], "data", 4) == 0) {
                if (bits != 16 || src->mChannels < 1 || src->mChannels > 2 || src->mRate < 100 || src->mRate > 200000)
                    return nullptr;
                src->mData = b.data() + body;
                src->mFrames = static_cast<int64_t>(std::min<uint64_t>(size, b.size() - body)) / (2 * src->mChannels);
                return src;
            }
            at = body + size + (size & 1);
        }
        return nullptr;
    }
    long Read(int16_t* out, long frames) override {
        frames = static_cast<long>(std::min<int64_t>(frames, mFrames - mPos));
        std::memcpy(out, mData + mPos * 2 * mChannels, static_cast<size_t>(frames) * 2 * mChannels);
        mPos += frames;
        return frames;
    }
    bool SeekFrame(int64_t frame) override {
        if (frame < 0 || frame > mFrames) return false;
        mPos = frame;
        return true;
    }

private:
    const uint8_t* mData = nullptr;
    int64_t mFrames = 0;
    int64_t mPos = 0;
};

class OggSource : public PcmSource {
public:
    static std::unique_ptr<PcmSource> Open(const std::vector<uint8_t>& bytes) {
        if (bytes.size() < 4 || std::memcmp(bytes.data(), "OggS", 4) != 0) return nullptr;
        auto src = std::unique_ptr<OggSource>(new OggSource(bytes));
        const ov_callbacks cb = {
            [](void* p, size_t s, size_t n, void* f) { return static_cast<MemoryFile*>(f)->Read(p, s * n) / (s ? s : 1); },
            [](void* f, ogg_int64_t o, int w) { return static_cast<MemoryFile*>(f)->Seek(o, w) < 0 ? -1 : 0; },
            [](void*) { return 0; },
            [](void* f) { return static_cast<long>(static_cast<MemoryFile*>(f)->pos); }};
        if (ov_open_callbacks(&src->mFile, &src->mVorbis, nullptr, 0, cb) < 0) return nullptr;
        src->mOpen = true;
        const vorbis_info* info = ov_info(&src->mVorbis, -1);
        if (!info || info->channels < 1 || info->channels > 2) return nullptr;
        src->mChannels = info->channels;
        src->mRate = static_cast<int>(info->rate);
        return src;
    }
    ~OggSource() override {
        if (mOpen) ov_clear(&mVorbis);
    }
    long Read(int16_t* out, long frames) override {
        long bytes = frames * 2 * mChannels, done = 0;
        while (done < bytes) {
            int section = 0;
            const long n = ov_read(&mVorbis, reinterpret_cast<char*>(out) + done, static_cast<int>(bytes - done), &section);
            if (n <= 0) break;  // the end, or a damaged page: what was read stands
            done += n;
        }
        return done / (2 * mChannels);
    }
    bool SeekFrame(int64_t frame) override { return ov_pcm_seek(&mVorbis, frame) == 0; }

private:
    explicit OggSource(const std::vector<uint8_t>& bytes) : mFile{&bytes} {}
    MemoryFile mFile;
    OggVorbis_File mVorbis{};
    bool mOpen = false;
};

class Mp3Source : public PcmSource {
public:
    static std::unique_ptr<PcmSource> Open(const std::vector<uint8_t>& bytes) {
        const bool id3 = bytes.size() >= 3 && std::memcmp(bytes.data(), "ID3", 3) == 0;
        const bool sync = bytes.size() >= 2 && bytes[0] == 0xFF && (bytes[1] & 0xE0) == 0xE0;
        if (!id3 && !sync) return nullptr;
        static const bool initialised = mpg123_init() == MPG123_OK;  // a no-op since 1.27, harmless before
        (void)initialised;
        auto src = std::unique_ptr<Mp3Source>(new Mp3Source(bytes));
        src->mHandle = mpg123_new(nullptr, nullptr);
        if (!src->mHandle) return nullptr;
        mpg123_param(src->mHandle, MPG123_ADD_FLAGS, MPG123_QUIET, 0.0);
        mpg123_format_none(src->mHandle);
        mpg123_format2(src->mHandle, 0, MPG123_MONO | MPG123_STEREO, MPG123_ENC_SIGNED_16);
        mpg123_replace_reader_handle(
            src->mHandle,
            [](void* f, void* p, size_t n) -> ssize_t { return static_cast<ssize_t>(static_cast<MemoryFile*>(f)->Read(p, n)); },
            [](void* f, off_t o, int w) -> off_t { return static_cast<off_t>(static_cast<MemoryFile*>(f)->Seek(o, w)); },
            nullptr);
        if (mpg123_open_handle(src->mHandle, &src->mFile) != MPG123_OK) return nullptr;
        long rate = 0;
        int channels = 0, encoding = 0;
        if (mpg123_getformat(src->mHandle, &rate, &channels, &encoding) != MPG123_OK || channels < 1 || channels > 2)
            return nullptr;
        src->mRate = static_cast<int>(rate);
        src->mChannels = channels;
        return src;
    }
    ~Mp3Source() override {
        if (mHandle) mpg123_delete(mHandle);
    }
    long Read(int16_t* out, long frames) override {
        size_t done = 0;
        const int result = mpg123_read(mHandle, out, static_cast<size_t>(frames) * 2 * mChannels, &done);
        if (result != MPG123_OK && result != MPG123_DONE && done == 0) return 0;
        return static_cast<long>(done / (2 * mChannels));
    }
    bool SeekFrame(int64_t frame) override { return mpg123_seek(mHandle, static_cast<off_t>(frame), SEEK_SET) >= 0; }

private:
    explicit Mp3Source(const std::vector<uint8_t>& bytes) : mFile{&bytes} {}
    MemoryFile mFile;
    mpg123_handle* mHandle = nullptr;
};

// Any source resampled linearly to the output rate, looping at its end.
class StreamDecoder : public Decoder {
public:
    StreamDecoder(std::unique_ptr<PcmSource> source, int outputRate)
        : mSource(std::move(source)),
          mStep((static_cast<uint64_t>(mSource->mRate) << 32) / static_cast<uint64_t>(outputRate)) {}

    int Read(float* stereo, int frames) override {
        int made = 0;
        while (made < frames) {
            // Two source frames to interpolate between: the one at the
            // position and the next.
            if ((mPos >> 32) + 1 >= static_cast<uint64_t>(mHave)) {
                if (!Refill()) return made;
                continue;
            }
            // As many frames as the buffered source gives without a refill.
            const uint64_t end = static_cast<uint64_t>(mHave - 1) << 32;
            const int run = static_cast<int>(std::min<uint64_t>(frames - made, (end - mPos + mStep - 1) / mStep));
            if (mSource->mChannels == 2)
                Interpolate<2>(stereo + 2 * made, run);
            else
                Interpolate<1>(stereo + 2 * made, run);
            made += run;
        }
        return made;
    }
    bool Restart() override { return Seek(0); }
    bool Seek(uint64_t position) override {
        const int64_t frame = static_cast<int64_t>(position / (2 * static_cast<uint64_t>(mSource->mChannels)));
        if (!mSource->SeekFrame(frame)) return false;
        mHave = 0;
        mPos = 0;
        mEnded = false;
        return true;
    }

private:
    // `frames` frames from the buffered source, which holds the next frame of
    // each.
    template <int Channels>
    void Interpolate(float* out, int frames) {
        constexpr float kScale = 1.0f / 32768.0f;
        const int16_t* buffer = mBuffer.data();
        uint64_t pos = mPos;
        for (int i = 0; i < frames; ++i, pos += mStep) {
            const int16_t* a = buffer + (pos >> 32) * Channels;
            // From 32 bits: a signed conversion, which the processor does in
            // one instruction (a 64-bit unsigned one takes a branch).
            const float frac = static_cast<float>(static_cast<int64_t>(static_cast<uint32_t>(pos))) *
                               (1.0f / 4294967296.0f);
            const float left = a[0] + (a[Channels] - a[0]) * frac;
            float right = left;
            if constexpr (Channels == 2) right = a[1] + (a[3] - a[1]) * frac;
            out[2 * i] = left * kScale;
            out[2 * i + 1] = right * kScale;
        }
        mPos = pos;
    }

    // Moves the last frame to the front and reads more after it.
    bool Refill() {
        const int ch = mSource->mChannels;
        const uint64_t at = mPos >> 32;
        if (mHave > 0 && at < static_cast<uint64_t>(mHave)) {
            std::copy(mBuffer.begin() + static_cast<long>(at * ch), mBuffer.begin() + static_cast<long>(mHave * ch), mBuffer.begin());
            mHave -= static_cast<long>(at);
        } else {
            mHave = 0;
        }
        mPos &= 0xFFFFFFFFu;
        if (mEnded) return false;
        mBuffer.resize(static_cast<size_t>(kChunk + 2) * ch);
        long n = mSource->Read(mBuffer.data() + mHave * ch, kChunk);
        if (n <= 0 && mLoop && mSource->SeekFrame(0)) n = mSource->Read(mBuffer.data() + mHave * ch, kChunk);
        if (n <= 0) {
            mEnded = true;  // the fraction of the last frame is not worth a pad
            return false;
        }
        mHave += n;
        return true;
    }

    static constexpr long kChunk = 4096;
    std::unique_ptr<PcmSource> mSource;
    uint64_t mStep;
    std::vector<int16_t> mBuffer;
    long mHave = 0;
    uint64_t mPos = 0;
    bool mEnded = false;
};

}  // namespace

std::unique_ptr<Decoder> OpenStream(const std::vector<uint8_t>& bytes, int outputRate) {
    std::unique_ptr<PcmSource> source = WavSource::Open(bytes);
    if (!source) source = OggSource::Open(bytes);
    if (!source) source = Mp3Source::Open(bytes);
    if (!source || source->mRate < 100 || source->mRate > 200000) return nullptr;
    return std::make_unique<StreamDecoder>(std::move(source), outputRate);
}
