// Reads what a picture shows, for the end-to-end runs that check the game's
// screenshots as a player would look at them.
//
//   shotprobe size FILE                 prints "W H"
//   shotprobe region FILE X Y W H       prints the region's mean "R G B" and
//                                       its spread (mean absolute deviation,
//                                       0 for a flat colour, high for text)
//   shotprobe differ A B X Y W H        prints the mean absolute difference of
//                                       the region between two pictures
#include <cstdio>
#include <cstdlib>
#include <string>

#include "core/FileUtil.h"
#include "data/ImageCodec.h"

namespace {

bool Load(const char* path, ImageData& image) {
    std::string bytes, error;
    if (!ReadFileToString(path, bytes) ||
        !DecodeImage(bytes.data(), bytes.size(), ImageFormat::Unknown, image, &error)) {
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
