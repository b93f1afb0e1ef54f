#pragma once
#include <cstdint>
#include <string>
#include <vector>

// A decoded image in memory: 32-bit BGRA, each uint32_t is 0xAARRGGBB.
struct ImageData {
    int mWidth = 0, mHeight = 0;
    std::vector<uint32_t> mBits;
};

// Loads an image through the file access layer. Without an extension (or when
// the named file is absent) tries ".png", ".jpg", ".gif", ".tga" in turn. An
// alpha image "_name" in the same folder, when present, supplies the alpha.
bool LoadImageData(const std::string& pathWithoutOrWithExtension, ImageData& out, std::string* error);

// Encodes in memory, then writes atomically.
bool WritePNG(const std::string& path, const ImageData& image);
bool WriteJPEG(const std::string& path, const ImageData& image, int quality = 80);
