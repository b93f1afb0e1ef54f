#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

#include "data/ImageCodec.h"

// Decodes the bytes as one image. Pixels are capped lower than in the game so
// a run spends its time on the parser, not on filling huge buffers.
inline int FuzzImageDecoder(decltype(&DecodePNG) decode, const uint8_t* data, size_t size) {
    ImageLimits limits;
    limits.mMaxDimension = 4096;
    limits.mMaxPixels = 1 << 20;
    ImageData image;
    std::string error;
    // A success must describe its own pixels exactly.
    if (decode(data, size, image, &error, limits) &&
        image.mBits.size() != size_t(image.mWidth) * size_t(image.mHeight))
        __builtin_trap();
    return 0;
}
