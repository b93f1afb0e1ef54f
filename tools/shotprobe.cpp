// Reads what a picture shows, for the end-to-end runs that check the game's
// screenshots as a player would look at them.
//
//   shotprobe size FILE                 prints "W H"
//   shotprobe region FILE X Y W H       prints the region's mean "R G B" and
//                                       its spread (mean absolute deviation,
//                                       0 for a flat colour, high for text)
//   shotprobe differ A B X Y W H        prints the mean absolute difference of
//                                       the region between two pictures
//
// A picture is a PNG (or any image the game reads), or an X window dump in
// true colour, as Xvfb -fbdir keeps its screen: what the X server shows, not
// what the game meant to draw.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "core/FileUtil.h"
#include "data/ImageCodec.h"

namespace {

uint32_t BigEndian32(const std::string& bytes, size_t at) {
    uint32_t value = 0;
    for (size_t i = 0; i < 4; ++i) value = value << 8 | static_cast<uint8_t>(bytes[at + i]);
    return value;
}

// An X window dump (version 7) of 32-bit ZPixmap pixels with 8-bit channels.
bool DecodeWindowDump(const std::string& bytes, ImageData& image) {
    enum { kHeaderSize, kVersion, kFormat, kDepth, kWidth, kHeight, kXOffset, kByteOrder, kBitmapUnit,
           kBitOrder, kBitmapPad, kBitsPerPixel, kBytesPerLine, kVisualClass, kRedMask, kGreenMask, kBlueMask,
           kBitsPerRgb, kColormapEntries, kColors, kFields = 25 };
    if (bytes.size() < kFields * 4 || BigEndian32(bytes, kVersion * 4) != 7) return false;
    uint32_t h[kFields];
    for (int i = 0; i < kFields; ++i) h[i] = BigEndian32(bytes, static_cast<size_t>(i) * 4);
    if (h[kFormat] != 2 || h[kBitsPerPixel] != 32 || h[kRedMask] != 0xFF0000 || h[kGreenMask] != 0xFF00 ||
        h[kBlueMask] != 0xFF || h[kWidth] == 0 || h[kHeight] == 0 || h[kWidth] > 16384 || h[kHeight] > 16384 ||
        h[kBytesPerLine] < h[kWidth] * 4)
        return false;
    const uint64_t start = static_cast<uint64_t>(h[kHeaderSize]) + static_cast<uint64_t>(h[kColors]) * 12;
    if (start + static_cast<uint64_t>(h[kBytesPerLine]) * h[kHeight] > bytes.size()) return false;
    image.mWidth = static_cast<int>(h[kWidth]);
    image.mHeight = static_cast<int>(h[kHeight]);
    image.mBits.resize(static_cast<size_t>(image.mWidth) * image.mHeight);
    for (int y = 0; y < image.mHeight; ++y)
        for (int x = 0; x < image.mWidth; ++x) {
            const size_t at = start + static_cast<size_t>(y) * h[kBytesPerLine] + static_cast<size_t>(x) * 4;
            uint32_t pixel = 0;
            for (size_t i = 0; i < 4; ++i) {
                const uint32_t byte = static_cast<uint8_t>(bytes[at + i]);
                pixel |= h[kByteOrder] == 0 ? byte << (8 * i) : byte << (24 - 8 * i);
            }
            image.mBits[static_cast<size_t>(y) * image.mWidth + x] = 0xFF000000u | (pixel & 0xFFFFFF);
        }
    return true;
}

bool Load(const char* path, ImageData& image) {
    std::string bytes, error;
    if (!ReadFileToString(path, bytes)) error = "(unreadable)";
    else if (DecodeWindowDump(bytes, image)) return true;
    if (!error.empty() || !DecodeImage(bytes.data(), bytes.size(), ImageFormat::Unknown, image, &error)) {
        std::fprintf(stderr, "shotprobe: cannot read %s %s\n", path, error.c_str());
        return false;
    }
    return true;
}

struct Region {
    int x, y, w, h;
};

// The region cut to the picture; false when nothing of it is inside.
bool Clip(const ImageData& image, Region& r) {
    if (r.x < 0) r.w += r.x, r.x = 0;
    if (r.y < 0) r.h += r.y, r.y = 0;
    if (r.x + r.w > image.mWidth) r.w = image.mWidth - r.x;
    if (r.y + r.h > image.mHeight) r.h = image.mHeight - r.y;
    return r.w > 0 && r.h > 0;
}

int Channel(uint32_t pixel, int c) { return static_cast<int>((pixel >> (16 - 8 * c)) & 0xFF); }

int PrintRegion(const ImageData& image, Region r) {
    if (!Clip(image, r)) return 2;
    double sum[3] = {0, 0, 0};
    const double count = static_cast<double>(r.w) * r.h;
    for (int y = r.y; y < r.y + r.h; ++y)
        for (int x = r.x; x < r.x + r.w; ++x)
            for (int c = 0; c < 3; ++c) sum[c] += Channel(image.mBits[y * image.mWidth + x], c);
    double spread = 0;
    for (int y = r.y; y < r.y + r.h; ++y)
        for (int x = r.x; x < r.x + r.w; ++x)
            for (int c = 0; c < 3; ++c)
                spread += std::abs(Channel(image.mBits[y * image.mWidth + x], c) - sum[c] / count);
    std::printf("%d %d %d %d\n", static_cast<int>(sum[0] / count + 0.5), static_cast<int>(sum[1] / count + 0.5),
                static_cast<int>(sum[2] / count + 0.5), static_cast<int>(spread / (3 * count) + 0.5));
    return 0;
}

int PrintDiffer(const ImageData& a, const ImageData& b, Region r) {
    if (a.mWidth != b.mWidth || a.mHeight != b.mHeight) {
        std::printf("255\n");
        return 0;
    }
    if (!Clip(a, r)) return 2;
    double total = 0;
    for (int y = r.y; y < r.y + r.h; ++y)
        for (int x = r.x; x < r.x + r.w; ++x)
            for (int c = 0; c < 3; ++c)
                total += std::abs(Channel(a.mBits[y * a.mWidth + x], c) - Channel(b.mBits[y * b.mWidth + x], c));
    std::printf("%d\n", static_cast<int>(total / (3.0 * r.w * r.h) + 0.5));
    return 0;
}

int Usage() {
    std::fprintf(stderr, "usage: shotprobe size FILE | region FILE X Y W H | differ A B X Y W H\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) return Usage();
    const std::string mode = argv[1];
    ImageData a, b;
    if (mode == "size" && argc == 3) {
        if (!Load(argv[2], a)) return 1;
        std::printf("%d %d\n", a.mWidth, a.mHeight);
        return 0;
    }
    auto region = [&](int first) {
        return Region{std::atoi(argv[first]), std::atoi(argv[first + 1]), std::atoi(argv[first + 2]),
                      std::atoi(argv[first + 3])};
    };
    if (mode == "region" && argc == 7) return Load(argv[2], a) ? PrintRegion(a, region(3)) : 1;
    if (mode == "differ" && argc == 8) return Load(argv[2], a) && Load(argv[3], b) ? PrintDiffer(a, b, region(4)) : 1;
    return Usage();
}
