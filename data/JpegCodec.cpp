#include <cstdio>  // jpeglib.h needs FILE and size_t declared first
#include <jpeglib.h>

#include <csetjmp>
#include <cstring>
#include <memory>
#include <vector>

#include "data/ImageCodec.h"

namespace {

// libjpeg's default error handler calls exit(); ours jumps back to the caller.
struct JpegErrorManager {
    jpeg_error_mgr mPublic;
    jmp_buf mJump;
    char mMessage[JMSG_LENGTH_MAX] = {};
};

void JpegErrorExit(j_common_ptr cinfo) {
    auto* err = reinterpret_cast<JpegErrorManager*>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, err->mMessage);
    longjmp(err->mJump, 1);
}

void JpegOutputMessage(j_common_ptr) {}

// Warnings ("corrupt data", "premature end") are treated as failures: a
// damaged image should not load as a half-gray picture.
void JpegEmitMessage(j_common_ptr cinfo, int level) {
    if (level < 0) JpegErrorExit(cinfo);
}

// A source manager over bytes already read through the file layer. Running
// out of data is an error instead of the library's usual fake end marker.
struct JpegMemorySource {
    jpeg_source_mgr mPublic;
    const JOCTET* mData = nullptr;
    size_t mSize = 0;
};

void JpegInitSource(j_decompress_ptr) {}

[[noreturn]] void JpegFailNow(j_common_ptr cinfo, const char* message) {
    auto* err = reinterpret_cast<JpegErrorManager*>(cinfo->err);
    std::snprintf(err->mMessage, sizeof(err->mMessage), "%s", message);
    longjmp(err->mJump, 1);
}

boolean JpegFillInputBuffer(j_decompress_ptr cinfo) {
    JpegFailNow(reinterpret_cast<j_common_ptr>(cinfo), "unexpected end of file");
}

void JpegSkipInputData(j_decompress_ptr cinfo, long count) {
    if (count <= 0) return;
    jpeg_source_mgr* src = cinfo->src;
    if (static_cast<size_t>(count) > src->bytes_in_buffer) {
        JpegFailNow(reinterpret_cast<j_common_ptr>(cinfo), "unexpected end of file");
    }
    src->next_input_byte += count;
    src->bytes_in_buffer -= static_cast<size_t>(count);
}

void JpegTermSource(j_decompress_ptr) {}

// Progressive files can carry thousands of tiny scans that each cost a full
// pass over the coefficients; a real image never needs many.
constexpr int kMaxJpegScans = 200;

void JpegProgress(j_common_ptr cinfo) {
    auto* d = reinterpret_cast<j_decompress_ptr>(cinfo);
    if (d->input_scan_number > kMaxJpegScans) JpegFailNow(cinfo, "too many scans");
}

struct JpegDecodeJob {
    jpeg_decompress_struct mInfo;
    JpegErrorManager mError;
    JpegMemorySource mSource;
    jpeg_progress_mgr mProgress;
    std::vector<JSAMPLE> mRow;
    ImageData* mOut = nullptr;
    const ImageLimits* mLimits = nullptr;
    std::string mLimitError;
};

bool RunJpegDecode(JpegDecodeJob* job) {
    jpeg_decompress_struct* cinfo = &job->mInfo;
    if (setjmp(job->mError.mJump)) return false;

    jpeg_read_header(cinfo, TRUE);
    if (!ImageSizeAllowed(cinfo->image_width, cinfo->image_height, *job->mLimits)) {
        job->mLimitError = "image too large";
        return false;
    }
    if (cinfo->num_components != 1 && cinfo->num_components != 3 &&
        cinfo->num_components != 4) {
        job->mLimitError = "unsupported colour components";
        return false;
    }
    // CMYK stays CMYK in libjpeg (no conversion to RGB); everything else
    // arrives as RGB.
    bool cmyk = cinfo->jpeg_color_space == JCS_CMYK || cinfo->jpeg_color_space == JCS_YCCK;
    cinfo->out_color_space = cmyk ? JCS_CMYK : JCS_RGB;
    jpeg_start_decompress(cinfo);

    const int width = static_cast<int>(cinfo->output_width);
    const int height = static_cast<int>(cinfo->output_height);
    const int comps = cinfo->output_components;
    if (comps != (cmyk ? 4 : 3)) {
        job->mLimitError = "unexpected output components";
        return false;
    }
    job->mOut->mWidth = width;
    job->mOut->mHeight = height;
    job->mOut->mBits.assign(size_t(width) * size_t(height), 0);
    job->mRow.resize(size_t(width) * size_t(comps));
    while (cinfo->output_scanline < cinfo->output_height) {
        uint32_t* dest = job->mOut->mBits.data() + size_t(cinfo->output_scanline) * size_t(width);
        JSAMPROW row = job->mRow.data();
        if (jpeg_read_scanlines(cinfo, &row, 1) != 1) {
            job->mLimitError = "no scanline";
            return false;
        }
        const JSAMPLE* s = job->mRow.data();
        for (int x = 0; x < width; ++x, s += comps) {
            uint32_t r, g, b;
            if (cmyk) {
                // Adobe writes inverted CMYK; with K this gives plain RGB.
                uint32_t k = s[3];
                r = s[0] * k / 255;
                g = s[1] * k / 255;
                b = s[2] * k / 255;
            } else {
                r = s[0];
                g = s[1];
                b = s[2];
            }
            dest[x] = 0xff000000u | (r << 16) | (g << 8) | b;
        }
    }
    jpeg_finish_decompress(cinfo);
    return true;
}

}  // namespace

bool DecodeJPEG(const void* bytes, size_t size, ImageData& out, std::string* error,
                const ImageLimits& limits) {
    out = ImageData();
    const auto* b = static_cast<const uint8_t*>(bytes);
    if (!bytes || size < 4 || b[0] != 0xff || b[1] != 0xd8) {
        return ImageFail(error, "not a JPEG file");
    }
    auto job = std::make_unique<JpegDecodeJob>();
    job->mOut = &out;
    job->mLimits = &limits;
    jpeg_decompress_struct* cinfo = &job->mInfo;
    cinfo->err = jpeg_std_error(&job->mError.mPublic);
    job->mError.mPublic.error_exit = JpegErrorExit;
    job->mError.mPublic.output_message = JpegOutputMessage;
    job->mError.mPublic.emit_message = JpegEmitMessage;
    if (setjmp(job->mError.mJump)) {
        jpeg_destroy_decompress(cinfo);
        return ImageFail(error, "JPEG: cannot start decoder");
    }
    jpeg_create_decompress(cinfo);

    job->mSource.mData = b;
    job->mSource.mSize = size;
    job->mSource.mPublic.init_source = JpegInitSource;
    job->mSource.mPublic.fill_input_buffer = JpegFillInputBuffer;
    job->mSource.mPublic.skip_input_data = JpegSkipInputData;
    job->mSource.mPublic.resync_to_restart = jpeg_resync_to_restart;
    job->mSource.mPublic.term_source = JpegTermSource;
    job->mSource.mPublic.next_input_byte = b;
    job->mSource.mPublic.bytes_in_buffer = size;
    cinfo->src = &job->mSource.mPublic;
    job->mProgress.progress_monitor = JpegProgress;
    cinfo->progress = &job->mProgress;
    // Bound the library's own working memory as well (coefficient buffers of
    // progressive images).
    cinfo->mem->max_memory_to_use = 512L << 20;

    bool ok = RunJpegDecode(job.get());
    jpeg_destroy_decompress(cinfo);
    if (!ok) {
        out = ImageData();
        std::string why = !job->mLimitError.empty() ? job->mLimitError : job->mError.mMessage;
        return ImageFail(error, "JPEG: " + (why.empty() ? std::string("damaged file") : why));
    }
    return true;
}

namespace {

struct JpegMemoryDest {
    jpeg_destination_mgr mPublic;
    std::string* mOut = nullptr;
    JOCTET mBuffer[16384];
};

void JpegInitDestination(j_compress_ptr cinfo) {
    auto* dest = reinterpret_cast<JpegMemoryDest*>(cinfo->dest);
    dest->mPublic.next_output_byte = dest->mBuffer;
    dest->mPublic.free_in_buffer = sizeof(dest->mBuffer);
}

boolean JpegEmptyOutputBuffer(j_compress_ptr cinfo) {
    auto* dest = reinterpret_cast<JpegMemoryDest*>(cinfo->dest);
    dest->mOut->append(reinterpret_cast<const char*>(dest->mBuffer), sizeof(dest->mBuffer));
    dest->mPublic.next_output_byte = dest->mBuffer;
    dest->mPublic.free_in_buffer = sizeof(dest->mBuffer);
    return TRUE;
}

void JpegTermDestination(j_compress_ptr cinfo) {
    auto* dest = reinterpret_cast<JpegMemoryDest*>(cinfo->dest);
    dest->mOut->append(reinterpret_cast<const char*>(dest->mBuffer),
                       sizeof(dest->mBuffer) - dest->mPublic.free_in_buffer);
}

struct JpegEncodeJob {
    jpeg_compress_struct mInfo;
    JpegErrorManager mError;
    JpegMemoryDest mDest;
    std::vector<JSAMPLE> mRow;
};

bool RunJpegEncode(JpegEncodeJob* job, const ImageData* image, int quality) {
    jpeg_compress_struct* cinfo = &job->mInfo;
    if (setjmp(job->mError.mJump)) return false;
    cinfo->image_width = static_cast<JDIMENSION>(image->mWidth);
    cinfo->image_height = static_cast<JDIMENSION>(image->mHeight);
    cinfo->input_components = 3;
    cinfo->in_color_space = JCS_RGB;
    jpeg_set_defaults(cinfo);
    jpeg_set_quality(cinfo, quality, TRUE);
    jpeg_start_compress(cinfo, TRUE);
    job->mRow.resize(size_t(image->mWidth) * 3);
    while (cinfo->next_scanline < cinfo->image_height) {
        const uint32_t* src = image->mBits.data() + size_t(cinfo->next_scanline) * size_t(image->mWidth);
        for (int x = 0; x < image->mWidth; ++x) {
            job->mRow[size_t(x) * 3 + 0] = static_cast<JSAMPLE>((src[x] >> 16) & 0xff);
            job->mRow[size_t(x) * 3 + 1] = static_cast<JSAMPLE>((src[x] >> 8) & 0xff);
            job->mRow[size_t(x) * 3 + 2] = static_cast<JSAMPLE>(src[x] & 0xff);
        }
        JSAMPROW row = job->mRow.data();
        jpeg_write_scanlines(cinfo, &row, 1);
    }
    jpeg_finish_compress(cinfo);
    return true;
}

}  // namespace

bool EncodeJPEG(const ImageData& image, int quality, std::string& out) {
    out.clear();
    if (image.mWidth <= 0 || image.mHeight <= 0 || image.mWidth > 65500 || image.mHeight > 65500 ||
        image.mBits.size() != size_t(image.mWidth) * size_t(image.mHeight)) {
        return false;
    }
    if (quality < 1) quality = 1;
    if (quality > 100) quality = 100;
    auto job = std::make_unique<JpegEncodeJob>();
    jpeg_compress_struct* cinfo = &job->mInfo;
    cinfo->err = jpeg_std_error(&job->mError.mPublic);
    job->mError.mPublic.error_exit = JpegErrorExit;
    job->mError.mPublic.output_message = JpegOutputMessage;
    if (setjmp(job->mError.mJump)) {
        jpeg_destroy_compress(cinfo);
        out.clear();
        return false;
    }
    jpeg_create_compress(cinfo);
    job->mDest.mOut = &out;
    job->mDest.mPublic.init_destination = JpegInitDestination;
    job->mDest.mPublic.empty_output_buffer = JpegEmptyOutputBuffer;
    job->mDest.mPublic.term_destination = JpegTermDestination;
    cinfo->dest = &job->mDest.mPublic;
    bool ok = RunJpegEncode(job.get(), &image, quality);
    jpeg_destroy_compress(cinfo);
    if (!ok) out.clear();
    return ok;
}
