#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

#include "data/ImageData.h"

// Bounds every decoder checks before it allocates pixels, so a hostile header
// cannot make us reserve gigabytes.
struct ImageLimits {
    int mMaxDimension = 16384;
    int64_t mMaxPixels = int64_t(64) << 20;  // 256 MB of BGRA
};

enum class ImageFormat { Unknown, PNG, JPEG, GIF, TGA };

// The format the leading bytes announce; TGA has no signature and is never
// returned here.
ImageFormat SniffImageFormat(const void* bytes, size_t size);
// From a file extension (without the dot, any case); Unknown for others.
ImageFormat ImageFormatFromExtension(const std::string& extension);

// Decoders from memory into 32-bit BGRA. On failure `out` is left empty and
// `error` (when given) says why. None of them crashes or reads out of bounds on
// damaged or truncated input.
bool DecodePNG(const void* bytes, size_t size, ImageData& out, std::string* error,
               const ImageLimits& limits = ImageLimits());
bool DecodeJPEG(const void* bytes, size_t size, ImageData& out, std::string* error,
                const ImageLimits& limits = ImageLimits());
bool DecodeGIF(const void* bytes, size_t size, ImageData& out, std::string* error,
               const ImageLimits& limits = ImageLimits());
bool DecodeTGA(const void* bytes, size_t size, ImageData& out, std::string* error,
               const ImageLimits& limits = ImageLimits());
// Sniffs the signature; data without one is tried as `fallback` (TGA for
// ".tga" files).
bool DecodeImage(const void* bytes, size_t size, ImageFormat fallback, ImageData& out,
                 std::string* error, const ImageLimits& limits = ImageLimits());

// Encoders into memory. The alpha channel is kept in PNG and dropped in JPEG.
bool EncodePNG(const ImageData& image, std::string& out);
bool EncodeJPEG(const ImageData& image, int quality, std::string& out);

// Whether width x height is acceptable under the limits.
bool ImageSizeAllowed(int64_t width, int64_t height, const ImageLimits& limits);
// Sets error (when given) and returns false, for one-line failure returns.
bool ImageFail(std::string* error, const std::string& message);
