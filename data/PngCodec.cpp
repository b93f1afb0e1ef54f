#include <png.h>

#include <csetjmp>
#include <cstring>
#include <vector>

#include "data/ImageCodec.h"

namespace {

struct PngReadState {
    const uint8_t* mData = nullptr;
    size_t mSize = 0;
    size_t mPos = 0;
    std::string mError;
};

void PngReadCallback(png_structp png, png_bytep dest, png_size_t length) {
    auto* state = static_cast<PngReadState*>(png_get_io_ptr(png));
    if (length > state->mSize - state->mPos) {
        png_error(png, "unexpected end of file");  // does not return
    }
    std::memcpy(dest, state->mData + state->mPos, length);
    state->mPos += length;
}

void PngErrorCallback(png_structp png, png_const_charp message) {
    auto* state = static_cast<PngReadState*>(png_get_error_ptr(png));
    if (state && state->mError.empty()) state->mError = message ? message : "PNG error";
    png_longjmp(png, 1);
}

void PngWarningCallback(png_structp, png_const_charp) {}

// Everything that must survive a longjmp lives behind this pointer, so no
// local is modified between setjmp and the jump.
struct PngDecodeJob {
    PngReadState mState;
    std::vector<png_bytep> mRows;
    ImageData* mOut = nullptr;
    const ImageLimits* mLimits = nullptr;
    std::string mLimitError;
};

bool RunPngDecode(png_structp png, png_infop info, PngDecodeJob* job) {
    if (setjmp(png_jmpbuf(png))) return false;

    png_set_read_fn(png, &job->mState, PngReadCallback);
    png_set_user_limits(png, static_cast<png_uint_32>(job->mLimits->mMaxDimension),
                        static_cast<png_uint_32>(job->mLimits->mMaxDimension));
    // Ancillary chunks (text, ICC profiles) are bounded so a hostile file cannot
    // make libpng buffer megabytes we never use.
    png_set_chunk_malloc_max(png, 8u << 20);
    png_read_info(png, info);

    png_uint_32 width = 0, height = 0;
    int bitDepth = 0, colorType = 0, interlace = 0;
    png_get_IHDR(png, info, &width, &height, &bitDepth, &colorType, &interlace, nullptr, nullptr);
    if (!ImageSizeAllowed(width, height, *job->mLimits)) {
        job->mLimitError = "image too large";
        return false;
    }

    // Whatever the stored form, ask libpng for 8-bit BGRA.
    if (colorType == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(png);
    if (colorType == PNG_COLOR_TYPE_GRAY && bitDepth < 8) png_set_expand_gray_1_2_4_to_8(png);
    if (png_get_valid(png, info, PNG_INFO_tRNS)) png_set_tRNS_to_alpha(png);
    if (bitDepth == 16) png_set_strip_16(png);
    if (colorType == PNG_COLOR_TYPE_GRAY || colorType == PNG_COLOR_TYPE_GRAY_ALPHA) {
        png_set_gray_to_rgb(png);
    }
    png_set_bgr(png);
    png_set_filler(png, 0xff, PNG_FILLER_AFTER);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    if (png_get_rowbytes(png, info) != size_t(width) * 4) {
        job->mLimitError = "unsupported PNG pixel layout";
        return false;
    }

    job->mOut->mWidth = static_cast<int>(width);
    job->mOut->mHeight = static_cast<int>(height);
    job->mOut->mBits.assign(size_t(width) * height, 0);
    job->mRows.resize(height);
    for (png_uint_32 y = 0; y < height; ++y) {
        job->mRows[y] = reinterpret_cast<png_bytep>(job->mOut->mBits.data() + size_t(y) * width);
    }
    png_read_image(png, job->mRows.data());
    png_read_end(png, nullptr);
    return true;
}

}  // namespace

bool DecodePNG(const void* bytes, size_t size, ImageData& out, std::string* error,
               const ImageLimits& limits) {
    out = ImageData();
    if (!bytes || size < 8 || png_sig_cmp(static_cast<png_const_bytep>(bytes), 0, 8) != 0) {
        return ImageFail(error, "not a PNG file");
    }
    PngDecodeJob job;
    job.mState.mData = static_cast<const uint8_t*>(bytes);
    job.mState.mSize = size;
    job.mOut = &out;
    job.mLimits = &limits;

    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &job.mState,
                                             PngErrorCallback, PngWarningCallback);
    if (!png) return ImageFail(error, "out of memory");
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        return ImageFail(error, "out of memory");
    }
    bool ok = RunPngDecode(png, info, &job);
    png_destroy_read_struct(&png, &info, nullptr);
    if (!ok) {
        out = ImageData();
        std::string why = !job.mLimitError.empty() ? job.mLimitError : job.mState.mError;
        return ImageFail(error, "PNG: " + (why.empty() ? std::string("damaged file") : why));
    }
    return true;
}

namespace {

struct PngWriteState {
    std::string* mOut = nullptr;
    std::vector<png_bytep> mRows;
    std::vector<uint32_t> mScratch;
};

void PngWriteCallback(png_structp png, png_bytep data, png_size_t length) {
    auto* state = static_cast<PngWriteState*>(png_get_io_ptr(png));
    state->mOut->append(reinterpret_cast<const char*>(data), length);
}

void PngFlushCallback(png_structp) {}

void PngWriteErrorCallback(png_structp png, png_const_charp) { png_longjmp(png, 1); }

bool RunPngEncode(png_structp png, png_infop info, const ImageData* image, PngWriteState* state) {
    if (setjmp(png_jmpbuf(png))) return false;
    png_set_write_fn(png, state, PngWriteCallback, PngFlushCallback);
    png_set_IHDR(png, info, static_cast<png_uint_32>(image->mWidth),
                 static_cast<png_uint_32>(image->mHeight), 8, PNG_COLOR_TYPE_RGB_ALPHA,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    png_set_bgr(png);  // our pixels are B, G, R, A in memory
    state->mRows.resize(static_cast<size_t>(image->mHeight));
    for (int y = 0; y < image->mHeight; ++y) {
        state->mRows[static_cast<size_t>(y)] = reinterpret_cast<png_bytep>(
            const_cast<uint32_t*>(image->mBits.data() + size_t(y) * size_t(image->mWidth)));
    }
    png_write_image(png, state->mRows.data());
    png_write_end(png, nullptr);
    return true;
}

}  // namespace

bool EncodePNG(const ImageData& image, std::string& out) {
    out.clear();
    if (image.mWidth <= 0 || image.mHeight <= 0 ||
        image.mBits.size() != size_t(image.mWidth) * size_t(image.mHeight)) {
        return false;
    }
    PngWriteState state;
    state.mOut = &out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr,
                                              PngWriteErrorCallback, PngWarningCallback);
    if (!png) return false;
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        return false;
    }
    bool ok = RunPngEncode(png, info, &image, &state);
    png_destroy_write_struct(&png, &info);
    if (!ok) out.clear();
    return ok;
}
