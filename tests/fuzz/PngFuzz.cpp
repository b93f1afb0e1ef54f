#include "data/ImageCodec.h"
#include "tests/fuzz/FuzzTarget.h"

// Decodes the bytes as one image. Pixels are capped lower than in the game so
// a run spends its time on the parser, not on filling huge buffers.
FUZZ_TARGET(png) {
    ImageLimits limits;
    limits.mMaxDimension = 4096;
    limits.mMaxPixels = 1 << 20;
    ImageData image;
    std::string error;
    if (DecodePNG(data, size, image, &error, limits)) {
        // A success must describe its own pixels exactly.
        if (image.mBits.size() != size_t(image.mWidth) * size_t(image.mHeight)) __builtin_trap();
    }
    return 0;
}
