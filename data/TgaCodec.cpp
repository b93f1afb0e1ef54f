#include <cstring>
#include <vector>

#include "data/ImageCodec.h"

// Our own TGA reader: true-colour (24/32-bit) and 8-bit grayscale, stored
// plain or run-length encoded, bottom-up or top-down.
namespace {

constexpr size_t kTgaHeaderSize = 18;

struct TgaHeader {
    int mIdLength = 0;
    int mColorMapType = 0;
    int mImageType = 0;
    int mColorMapLength = 0;
    int mColorMapEntryBits = 0;
    int mWidth = 0;
    int mHeight = 0;
    int mPixelBits = 0;
    int mDescriptor = 0;
};

int ReadLE16(const uint8_t* p) { return p[0] | (p[1] << 8); }

TgaHeader ParseHeader(const uint8_t* p) {
    TgaHeader h;
    h.mIdLength = p[0];
    h.mColorMapType = p[1];
    h.mImageType = p[2];
    h.mColorMapLength = ReadLE16(p + 5);
    h.mColorMapEntryBits = p[7];
    h.mWidth = ReadLE16(p + 12);
    h.mHeight = ReadLE16(p + 14);
    h.mPixelBits = p[16];
    h.mDescriptor = p[17];
    return h;
}

uint32_t ReadPixel(const uint8_t* s, int bytesPerPixel) {
    switch (bytesPerPixel) {
        case 1: return 0xff000000u | (uint32_t(s[0]) << 16) | (uint32_t(s[0]) << 8) | s[0];
        case 3: return 0xff000000u | (uint32_t(s[2]) << 16) | (uint32_t(s[1]) << 8) | s[0];
        default: return (uint32_t(s[3]) << 24) | (uint32_t(s[2]) << 16) | (uint32_t(s[1]) << 8) | s[0];
    }
}

}  // namespace

bool DecodeTGA(const void* bytes, size_t size, ImageData& out, std::string* error,
               const ImageLimits& limits) {
    out = ImageData();
    const auto* data = static_cast<const uint8_t*>(bytes);
    if (!data || size < kTgaHeaderSize) return ImageFail(error, "TGA: file too short");
    TgaHeader h = ParseHeader(data);

    const bool rle = h.mImageType == 10 || h.mImageType == 11;
    const bool gray = h.mImageType == 3 || h.mImageType == 11;
    const bool trueColor = h.mImageType == 2 || h.mImageType == 10;
    if (!gray && !trueColor) return ImageFail(error, "TGA: unsupported image type");
    if (gray && h.mPixelBits != 8) return ImageFail(error, "TGA: unsupported gray depth");
    if (trueColor && h.mPixelBits != 24 && h.mPixelBits != 32) {
        return ImageFail(error, "TGA: unsupported colour depth");
    }
    if (h.mColorMapType > 1) return ImageFail(error, "TGA: bad colour map type");
    if (h.mWidth <= 0 || h.mHeight <= 0) return ImageFail(error, "TGA: empty image");
    if (!ImageSizeAllowed(h.mWidth, h.mHeight, limits)) return ImageFail(error, "TGA: image too large");

    // A colour map on a true-colour image is allowed and ignored.
    size_t pos = kTgaHeaderSize + size_t(h.mIdLength);
    if (h.mColorMapType == 1) {
        pos += size_t(h.mColorMapLength) * size_t((h.mColorMapEntryBits + 7) / 8);
    }
    if (pos > size) return ImageFail(error, "TGA: truncated header");

    const int bpp = h.mPixelBits / 8;
    const size_t count = size_t(h.mWidth) * size_t(h.mHeight);
    std::vector<uint32_t> pixels(count);
    if (!rle) {
        if ((size - pos) / size_t(bpp) < count) return ImageFail(error, "TGA: truncated pixel data");
        for (size_t i = 0; i < count; ++i, pos += size_t(bpp)) pixels[i] = ReadPixel(data + pos, bpp);
    } else {
        size_t i = 0;
        while (i < count) {
            if (pos >= size) return ImageFail(error, "TGA: truncated pixel data");
            const uint8_t packet = data[pos++];
            const size_t run = size_t(packet & 0x7f) + 1;
            if (run > count - i) return ImageFail(error, "TGA: run past the end of the image");
            if (packet & 0x80) {
                if (size - pos < size_t(bpp)) return ImageFail(error, "TGA: truncated pixel data");
                const uint32_t p = ReadPixel(data + pos, bpp);
                pos += size_t(bpp);
                for (size_t k = 0; k < run; ++k) pixels[i++] = p;
            } else {
                if ((size - pos) / size_t(bpp) < run) return ImageFail(error, "TGA: truncated pixel data");
                for (size_t k = 0; k < run; ++k, pos += size_t(bpp)) pixels[i++] = ReadPixel(data + pos, bpp);
            }
        }
    }

    // Rows are stored bottom-up unless descriptor bit 5 says top-down; bit 4
    // stores each row right to left.
    const bool topDown = (h.mDescriptor & 0x20) != 0;
    const bool rightToLeft = (h.mDescriptor & 0x10) != 0;
    out.mWidth = h.mWidth;
    out.mHeight = h.mHeight;
    out.mBits.resize(count);
    for (int y = 0; y < h.mHeight; ++y) {
        const int srcY = topDown ? y : h.mHeight - 1 - y;
        const uint32_t* src = pixels.data() + size_t(srcY) * size_t(h.mWidth);
        uint32_t* dest = out.mBits.data() + size_t(y) * size_t(h.mWidth);
        if (rightToLeft) {
            for (int x = 0; x < h.mWidth; ++x) dest[x] = src[h.mWidth - 1 - x];
        } else {
            std::memcpy(dest, src, size_t(h.mWidth) * sizeof(uint32_t));
        }
    }
    return true;
}
