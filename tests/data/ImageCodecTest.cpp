#include <gtest/gtest.h>

#include <string>

#include "data/ImageCodec.h"
#include "data/ImageData.h"
#include "tests/data/DataFilesTestSupport.h"
#include "tests/support/TestOverlay.h"

using namespace datafiles_test;

namespace {

// The sample pictures of tools/imagegen are test fixtures, not game data.
std::string Images() { return TestOverlayFolder() + "/images/"; }

uint32_t Pixel(const ImageData& image, int x, int y) {
    return image.mBits.at(size_t(y) * size_t(image.mWidth) + size_t(x));
}

int Channel(uint32_t pixel, int shift) { return int((pixel >> shift) & 0xff); }

ImageData Load(const std::string& name) {
    ImageData image;
    std::string error;
    EXPECT_TRUE(LoadImageData(Images() + name, image, &error)) << name << ": " << error;
    return image;
}

std::string Bytes(const std::string& name) {
    std::string bytes;
    EXPECT_TRUE(ReadFileToString(Images() + name, bytes)) << name;
    return bytes;
}

// A TGA header of the given image type, size and bits per pixel.
std::string TgaHeader(int type, int width, int height, int bits) {
    std::string tga(18, '\0');
    tga[2] = char(type);
    tga[12] = char(width & 0xff);
    tga[13] = char(width >> 8);
    tga[14] = char(height & 0xff);
    tga[15] = char(height >> 8);
    tga[16] = char(bits);
    return tga;
}

// Every sample file, for the damage tests.
const char* const kSamples[] = {"sample_rgba.png",  "sample_gray.png",  "sample_palette.png",
                                "sample_deep.png",  "sample_photo.jpg", "sample_icon.gif",
                                "sample_rle.tga",   "sample_plain.tga", "sample_masked.jpg",
                                "sample_cels.png",  "sample_progressive.jpg", "sample_cmyk.jpg"};

}  // namespace

// Exact pixels (ARGB) from the lossless forms.
TEST(ImageCodec, LosslessFormsGiveExactPixels) {
    struct Case {
        const char* file;
        int width, height, x, y;
        uint32_t pixel;
    };
    const Case cases[] = {
        {"sample_rgba", 32, 24, 3, 2, 0xf3181480u},  // found without its extension
        {"sample_gray.png", 16, 16, 5, 3, 0xff404040u},
        {"sample_palette.png", 16, 8, 0, 7, 0x0000ff00u},  // 4-bit, tRNS, interlaced
        {"sample_palette.png", 16, 8, 1, 4, 0x8010ef08u},
        {"sample_palette.png", 16, 8, 5, 6, 0xff50af28u},
        {"sample_deep.png", 8, 8, 2, 3, 0xff406080u},  // 16-bit RGB keeps the high bytes
        {"sample_cels.png", 64, 32, 20, 20, 0xff966964u},  // cel 5: (150, 105, 100)
        {"sample_icon.gif", 20, 10, 0, 0, 0x00000000u},  // interlaced; index 0 transparent
        {"sample_icon.gif", 20, 10, 5, 0, 0xffff0000u},
        {"sample_icon.gif", 20, 10, 0, 2, 0xff00ff00u},
        {"sample_icon.gif", 20, 10, 17, 4, 0xff0000ffu},  // (3 + 4) % 4 = 3: blue
        {"sample_icon.gif", 20, 10, 12, 9, 0xff0000ffu},  // (2 + 9) % 4 = 3: blue
        {"sample_rle.tga", 8, 4, 0, 0, 0xc800ff28u},  // RLE, 32-bit, top-down
        {"sample_rle.tga", 8, 4, 2, 3, 0xc8b44b28u},
        {"sample_rle.tga", 8, 4, 6, 1, 0xff000000u},
        {"sample_rle.tga", 8, 4, 7, 3, 0xffffffffu},
        {"sample_plain.tga", 6, 4, 2, 0, 0xff020202u},  // 8-bit gray, bottom-up
        {"sample_plain.tga", 6, 4, 1, 3, 0xff979797u},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.file) + " at " + std::to_string(c.x) + "," + std::to_string(c.y));
        ImageData image = Load(c.file);
        ASSERT_EQ(image.mWidth, c.width);
        ASSERT_EQ(image.mHeight, c.height);
        EXPECT_EQ(Pixel(image, c.x, c.y), c.pixel);
    }
}

TEST(ImageCodec, JpegForms) {
    ImageData photo = Load("sample_photo.jpg");
    ASSERT_EQ(photo.mWidth, 32);
    uint32_t left = Pixel(photo, 3, 10), right = Pixel(photo, 28, 10);
    EXPECT_EQ(left >> 24, 0xffu);
    EXPECT_GT(Channel(left, 16), 240);
    EXPECT_LT(Channel(left, 0), 16);
    EXPECT_GT(Channel(right, 0), 240);
    EXPECT_LT(Channel(right, 16), 16);

    ImageData progressive = Load("sample_progressive.jpg");  // progressive gray
    ASSERT_EQ(progressive.mWidth, 24);
    for (int band = 0; band < 3; ++band) {
        uint32_t p = Pixel(progressive, band * 8 + 3, 8);
        EXPECT_NEAR(Channel(p, 16), band * 100, 4) << band;
        EXPECT_EQ(Channel(p, 16), Channel(p, 0));
        EXPECT_EQ(p >> 24, 0xffu);
    }

    ImageData cmyk = Load("sample_cmyk.jpg");  // Adobe CMYK comes out as RGB
    ASSERT_EQ(cmyk.mWidth, 16);
    EXPECT_GT(Channel(Pixel(cmyk, 2, 2), 16), 230);
    EXPECT_LT(Channel(Pixel(cmyk, 2, 2), 0), 25);
    EXPECT_GT(Channel(Pixel(cmyk, 13, 2), 0), 230);
    EXPECT_LT(Channel(Pixel(cmyk, 13, 2), 16), 25);
}

TEST(ImageCodec, AlphaImageSuppliesAlpha) {
    ImageData masked = Load("sample_masked");
    ASSERT_EQ(masked.mWidth, 16);
    for (int x : {0, 3, 15}) {
        EXPECT_NEAR(int(Pixel(masked, x, 7) >> 24), x * 16, 2) << x;
        EXPECT_GT(Channel(Pixel(masked, x, 7), 8), 180);  // still green
    }
    // The alpha image itself loads as a plain image.
    ImageData mask = Load("_sample_masked.png");
    EXPECT_EQ(Pixel(mask, 3, 0), 0xff303030u);
}

TEST(ImageCodec, NamesMissingFilesAndAMismatchedAlphaImage) {
    ImageData image;
    std::string error;
    // A name whose extension names no file falls back to the other kinds.
    EXPECT_TRUE(LoadImageData(Images() + "sample_photo.png", image, &error)) << error;
    EXPECT_EQ(image.mWidth, 32);
    EXPECT_FALSE(LoadImageData(Images() + "no_such_image", image, &error));
    EXPECT_TRUE(image.mBits.empty());
    EXPECT_NE(error.find("not found"), std::string::npos);
    // JPEG 2000 names count as missing even when a file of that name exists.
    ScratchFolder temp("imagetest");
    EXPECT_FALSE(LoadImageData(temp.Write("pic.jp2", Bytes("sample_rgba.png")), image, &error));
    EXPECT_FALSE(LoadImageData(temp.Write("pic.j2k", Bytes("sample_rgba.png")), image, &error));
    // Content decides the decoder: a PNG stored as .tga still loads.
    EXPECT_TRUE(LoadImageData(temp.Write("renamed.tga", Bytes("sample_gray.png")), image, &error)) << error;
    // Backslashes and other cases reach the same file.
    EXPECT_TRUE(LoadImageData(Images() + "SAMPLE_RGBA.PNG", image, &error)) << error;
    // An alpha image of another size is ignored.
    temp.Write("masked.png", Bytes("sample_rgba.png"));
    temp.Write("_masked.png", Bytes("sample_gray.png"));
    SetDebugOutputEnabled(false);
    EXPECT_TRUE(LoadImageData(temp / "masked", image, &error)) << error;
    SetDebugOutputEnabled(true);
    EXPECT_EQ(Pixel(image, 3, 2), 0xf3181480u);
}

// Every kind is read from the pak by the asset tests; here the alpha image
// is found in the pak too, by a name in other case and with backslashes.
TEST(ImageCodec, LoadsFromThePakWithItsAlphaImage) {
    ScratchFolder temp("imagetest");
    PakInterface layer;
    ASSERT_TRUE(layer.AddPakFile(temp.Write("main.pak", BuildPak({
        {"images/sample_masked.jpg", Bytes("sample_masked.jpg"), 0},
        {"images/_sample_masked.png", Bytes("_sample_masked.png"), 0},
    }))));
    UsePakInterface use(layer);
    ImageData image;
    std::string error;
    EXPECT_TRUE(LoadImageData(temp.Path() + "\\IMAGES\\Sample_Masked", image, &error)) << error;
    EXPECT_NEAR(int(Pixel(image, 3, 7) >> 24), 48, 2);
}

TEST(ImageCodec, DamagedFilesFailCleanlyOrDescribeTheirPixels) {
    for (const char* name : kSamples) {
        const std::string bytes = Bytes(name);
        const ImageFormat format = ImageFormatFromExtension(GetFileExtension(name));
        // The GIF reader stops after the first frame, so losing only the
        // trailer byte still gives the whole picture.
        size_t intact = std::string(name).find(".gif") != std::string::npos ? 1 : 0;
        for (size_t len = 0; len + intact < bytes.size(); ++len) {
            ImageData image;
            std::string error;
            EXPECT_FALSE(DecodeImage(bytes.data(), len, format, image, &error)) << name << " cut to " << len;
            EXPECT_TRUE(image.mBits.empty());
            EXPECT_FALSE(error.empty());
        }
        for (size_t i = 0; i < bytes.size(); ++i) {
            for (uint8_t flip : {0x01, 0x80, 0xff}) {
                std::string damaged = bytes;
                damaged[i] = char(uint8_t(damaged[i]) ^ flip);
                ImageData image;
                std::string error;
                if (DecodeImage(damaged.data(), damaged.size(), format, image, &error)) {
                    EXPECT_EQ(image.mBits.size(), size_t(image.mWidth) * size_t(image.mHeight));
                } else {
                    EXPECT_TRUE(image.mBits.empty());
                }
            }
        }
    }
    // A PNG whose pixel data fails its checksum is refused.
    std::string png = Bytes("sample_rgba.png");
    png[png.size() - 20] ^= 0x55;
    ImageData image;
    EXPECT_FALSE(DecodePNG(png.data(), png.size(), image, nullptr));
}

TEST(ImageCodec, SizeLimitsRefuseHugeHeaders) {
    ImageLimits small;
    small.mMaxDimension = 16;
    small.mMaxPixels = 200;
    ImageData image;
    std::string error;
    std::string rgba = Bytes("sample_rgba.png");
    EXPECT_FALSE(DecodePNG(rgba.data(), rgba.size(), image, &error, small));
    std::string photo = Bytes("sample_photo.jpg");
    EXPECT_FALSE(DecodeJPEG(photo.data(), photo.size(), image, &error, small));
    std::string gif = Bytes("sample_icon.gif");
    EXPECT_FALSE(DecodeGIF(gif.data(), gif.size(), image, &error, small));
    // 60000 x 60000 TGA header with no pixels: refused before allocating.
    std::string tga = TgaHeader(2, 60000, 60000, 32);
    EXPECT_FALSE(DecodeTGA(tga.data(), tga.size(), image, &error));
    EXPECT_NE(error.find("too large"), std::string::npos);
    EXPECT_TRUE(ImageSizeAllowed(16384, 4096, ImageLimits()));
    EXPECT_FALSE(ImageSizeAllowed(16385, 1, ImageLimits()));
    EXPECT_FALSE(ImageSizeAllowed(0, 10, ImageLimits()));
}

TEST(ImageCodec, TgaEdgeCases) {
    ImageData image;
    std::string error;
    // A run that would write past the last pixel is refused.
    std::string overrun = TgaHeader(11, 2, 1, 8) + std::string("\x82\x10", 2);
    EXPECT_FALSE(DecodeTGA(overrun.data(), overrun.size(), image, &error));
    // Right-to-left rows are mirrored.
    std::string mirrored = TgaHeader(3, 2, 1, 8) + std::string("\x0a\x14", 2);
    mirrored[17] = 0x10;
    ASSERT_TRUE(DecodeTGA(mirrored.data(), mirrored.size(), image, &error)) << error;
    EXPECT_EQ(Pixel(image, 0, 0), 0xff141414u);
    EXPECT_EQ(Pixel(image, 1, 0), 0xff0a0a0au);
    // Unsupported kinds (colour-mapped, 16-bit) are refused.
    for (const std::string& refused : {TgaHeader(1, 2, 1, 8), TgaHeader(2, 2, 1, 16)})
        EXPECT_FALSE(DecodeTGA(refused.data(), refused.size(), image, &error));
}

TEST(ImageCodec, WritersRoundTrip) {
    ScratchFolder temp("imagetest");
    ImageData source = Load("sample_rgba.png");
    ASSERT_TRUE(WritePNG(temp / "shots/out.png", source));
    ImageData back;
    std::string error;
    ASSERT_TRUE(LoadImageData(temp / "shots/out.png", back, &error)) << error;
    EXPECT_EQ(back.mBits, source.mBits);

    ImageData photo = Load("sample_photo.jpg");
    ASSERT_TRUE(WriteJPEG(temp / "thumb.jpg", photo));
    ASSERT_TRUE(LoadImageData(temp / "thumb.jpg", back, &error)) << error;
    ASSERT_EQ(back.mWidth, 32);
    EXPECT_GT(Channel(Pixel(back, 3, 3), 16), 230);
    EXPECT_EQ(Pixel(back, 3, 3) >> 24, 0xffu);

    SetDebugOutputEnabled(false);
    EXPECT_FALSE(WritePNG(temp / "empty.png", ImageData()));
    ImageData inconsistent;
    inconsistent.mWidth = 4;
    inconsistent.mHeight = 4;
    EXPECT_FALSE(WriteJPEG(temp / "bad.jpg", inconsistent));
    SetDebugOutputEnabled(true);
    EXPECT_FALSE(FileExists(temp / "empty.png"));
}
