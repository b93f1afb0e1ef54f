// Writes the small sample images of the test overlay, tests/data/overlay/images
// (test fixtures, not game data): one of every kind the image readers take
// (RGBA, grayscale and paletted PNG, JPEG, GIF, plain and run-length TGA, an
// image with a "_" alpha image and a cel sheet). The pixels follow simple
// formulas that the tests check.
//
// usage: imagegen [output folder]   (default tests/data/overlay/images)
#include <cstdio>  // jpeglib.h needs FILE declared first
#include <gif_lib.h>
#include <jpeglib.h>
#include <png.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/FileUtil.h"
#include "data/ImageCodec.h"
#include "data/ImageData.h"

namespace {

uint32_t Argb(int a, int r, int g, int b) {
    return (uint32_t(a & 0xff) << 24) | (uint32_t(r & 0xff) << 16) | (uint32_t(g & 0xff) << 8) |
           uint32_t(b & 0xff);
}

bool Save(const std::string& folder, const std::string& name, const std::string& bytes) {
    std::string path = JoinPath(folder, name);
    if (bytes.empty() || !WriteStringToFile(path, bytes)) {
        std::fprintf(stderr, "imagegen: cannot write %s\n", path.c_str());
        return false;
    }
    std::printf("wrote %s (%zu bytes)\n", path.c_str(), bytes.size());
    return true;
}

// --- PNG in the stored forms the RGBA encoder does not produce --------------

void AppendBytes(png_structp png, png_bytep data, png_size_t length) {
    static_cast<std::string*>(png_get_io_ptr(png))->append(reinterpret_cast<char*>(data), length);
}
void NoFlush(png_structp) {}

// rows: packed rows in the stored form.
std::string EncodeRawPng(int width, int height, int bitDepth, int colorType,
                         const std::vector<std::vector<uint8_t>>& rows,
                         const std::vector<png_color>& palette, const std::vector<uint8_t>& trns,
                         bool interlaced) {
    std::string out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return std::string();
    }
    png_set_write_fn(png, &out, AppendBytes, NoFlush);
    png_set_IHDR(png, info, png_uint_32(width), png_uint_32(height), bitDepth, colorType,
                 interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    if (!palette.empty()) png_set_PLTE(png, info, palette.data(), int(palette.size()));
    if (!trns.empty()) png_set_tRNS(png, info, trns.data(), int(trns.size()), nullptr);
    png_write_info(png, info);
    std::vector<png_bytep> rowPointers;
    for (const auto& row : rows) rowPointers.push_back(const_cast<png_bytep>(row.data()));
    png_write_image(png, rowPointers.data());
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return out;
}

// 16x16, 8-bit gray, level (x + y) * 8.
std::string MakeGrayPng() {
    std::vector<std::vector<uint8_t>> rows(16, std::vector<uint8_t>(16));
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) rows[size_t(y)][size_t(x)] = uint8_t((x + y) * 8);
    return EncodeRawPng(16, 16, 8, PNG_COLOR_TYPE_GRAY, rows, {}, {}, false);
}

// 16x8, 4-bit palette: index = x; colour i = (i*16, 255-i*16, i*8); index 0
// fully transparent, index 1 half transparent (tRNS). Interlaced.
std::string MakePalettePng() {
    std::vector<png_color> palette(16);
    for (int i = 0; i < 16; ++i) {
        palette[size_t(i)] = png_color{png_byte(i * 16), png_byte(255 - i * 16), png_byte(i * 8)};
    }
    std::vector<uint8_t> trns = {0, 128};
    std::vector<std::vector<uint8_t>> rows(8, std::vector<uint8_t>(8));
    for (auto& row : rows)
        for (int x = 0; x < 16; x += 2) row[size_t(x / 2)] = uint8_t((x << 4) | (x + 1));
    return EncodeRawPng(16, 8, 4, PNG_COLOR_TYPE_PALETTE, rows, palette, trns, true);
}

// 8x8, 16-bit RGB: stripped to 8 bits on load (the high byte).
std::string MakeDeepPng() {
    std::vector<std::vector<uint8_t>> rows(8, std::vector<uint8_t>(8 * 6));
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 8; ++x) {
            uint8_t* p = rows[size_t(y)].data() + x * 6;
            p[0] = uint8_t(x * 32); p[1] = 0x11;  // R
            p[2] = uint8_t(y * 32); p[3] = 0x22;  // G
            p[4] = 0x80;            p[5] = 0x33;  // B
        }
    }
    return EncodeRawPng(8, 8, 16, PNG_COLOR_TYPE_RGB, rows, {}, {}, false);
}

// --- Images through our own encoders ---------------------------------------

// 32x24 RGBA: R = x*8, G = y*10, B = 128, A = 255 - x*4.
ImageData MakeRgba() {
    ImageData img;
    img.mWidth = 32;
    img.mHeight = 24;
    for (int y = 0; y < 24; ++y)
        for (int x = 0; x < 32; ++x) img.mBits.push_back(Argb(255 - x * 4, x * 8, y * 10, 128));
    return img;
}

// 32x32 opaque: left half red, right half blue (flat areas survive JPEG).
ImageData MakePhoto() {
    ImageData img;
    img.mWidth = 32;
    img.mHeight = 32;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) img.mBits.push_back(x < 16 ? Argb(255, 255, 0, 0) : Argb(255, 0, 0, 255));
    return img;
}

// 16x16 flat green, and its alpha image: gray level x * 16.
ImageData MakeMasked() {
    ImageData img;
    img.mWidth = 16;
    img.mHeight = 16;
    img.mBits.assign(256, Argb(255, 0, 200, 0));
    return img;
}
ImageData MakeMask() {
    ImageData img;
    img.mWidth = 16;
    img.mHeight = 16;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) img.mBits.push_back(Argb(255, x * 16, x * 16, x * 16));
    return img;
}

// 64x32 cel sheet, 4 columns x 2 rows of 16x16 cels; cel n is flat
// (n * 30, 255 - n * 30, 100).
ImageData MakeCels() {
    ImageData img;
    img.mWidth = 64;
    img.mHeight = 32;
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 64; ++x) {
            int n = (y / 16) * 4 + x / 16;
            img.mBits.push_back(Argb(255, n * 30, 255 - n * 30, 100));
        }
    }
    return img;
}

// --- JPEG forms our RGB encoder does not write --------------------------------

struct JpegBuffer {
    unsigned char* mData = nullptr;
    unsigned long mSize = 0;
};

// components 1: gray samples; 4: Adobe (inverted) CMYK samples.
std::string EncodeRawJpeg(int width, int height, int components, bool progressive,
                          const std::vector<uint8_t>& samples) {
    jpeg_compress_struct cinfo;
    jpeg_error_mgr err;
    cinfo.err = jpeg_std_error(&err);
    jpeg_create_compress(&cinfo);
    JpegBuffer buffer;
    jpeg_mem_dest(&cinfo, &buffer.mData, &buffer.mSize);
    cinfo.image_width = JDIMENSION(width);
    cinfo.image_height = JDIMENSION(height);
    cinfo.input_components = components;
    cinfo.in_color_space = components == 1 ? JCS_GRAYSCALE : JCS_CMYK;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, 95, TRUE);
    if (progressive) jpeg_simple_progression(&cinfo);
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(samples.data() + size_t(cinfo.next_scanline) * size_t(width * components));
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    std::string out(reinterpret_cast<char*>(buffer.mData), buffer.mSize);
    std::free(buffer.mData);
    return out;
}

// 24x16 progressive gray JPEG: flat bands, level (x / 8) * 100.
std::string MakeProgressiveGrayJpeg() {
    std::vector<uint8_t> samples;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 24; ++x) samples.push_back(uint8_t((x / 8) * 100));
    return EncodeRawJpeg(24, 16, 1, true, samples);
}

// 16x16 CMYK JPEG (Adobe, inverted): left half red, right half blue.
std::string MakeCmykJpeg() {
    std::vector<uint8_t> samples;
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            bool left = x < 8;
            samples.push_back(left ? 255 : 0);    // C (inverted: 255 = no cyan)
            samples.push_back(0);                 // M
            samples.push_back(left ? 0 : 255);    // Y
            samples.push_back(255);               // K (inverted: no black)
        }
    }
    return EncodeRawJpeg(16, 16, 4, false, samples);
}

// --- GIF ---------------------------------------------------------------------

int AppendGifBytes(GifFileType* gif, const GifByteType* data, int length) {
    static_cast<std::string*>(gif->UserData)->append(reinterpret_cast<const char*>(data), size_t(length));
    return length;
}

// 20x10, interlaced, 4 colours, index (x / 5 + y) % 4; index 0 transparent.
// Colours: 0 black, 1 red, 2 green, 3 blue.
std::string MakeGif() {
    std::string out;
    int err = 0;
    GifFileType* gif = EGifOpen(&out, AppendGifBytes, &err);
    if (!gif) return std::string();
    GifColorType colors[4] = {{0, 0, 0}, {255, 0, 0}, {0, 255, 0}, {0, 0, 255}};
    ColorMapObject* map = GifMakeMapObject(4, colors);
    EGifSetGifVersion(gif, true);
    bool ok = EGifPutScreenDesc(gif, 20, 10, 2, 0, map) != GIF_ERROR;
    GraphicsControlBlock gcb;
    gcb.DisposalMode = DISPOSAL_UNSPECIFIED;
    gcb.UserInputFlag = false;
    gcb.DelayTime = 0;
    gcb.TransparentColor = 0;
    GifByteType ext[4];
    EGifGCBToExtension(&gcb, ext);
    ok = ok && EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, 4, ext) != GIF_ERROR;
    ok = ok && EGifPutImageDesc(gif, 0, 0, 20, 10, true, nullptr) != GIF_ERROR;
    // Interlaced: rows go out in the four-pass order.
    const int start[4] = {0, 4, 2, 1}, step[4] = {8, 8, 4, 2};
    std::vector<GifPixelType> line(20);
    for (int pass = 0; pass < 4 && ok; ++pass) {
        for (int y = start[pass]; y < 10 && ok; y += step[pass]) {
            for (int x = 0; x < 20; ++x) line[size_t(x)] = GifPixelType((x / 5 + y) % 4);
            ok = EGifPutLine(gif, line.data(), 20) != GIF_ERROR;
        }
    }
    EGifCloseFile(gif, &err);
    GifFreeMapObject(map);
    return ok ? out : std::string();
}

// --- TGA ---------------------------------------------------------------------

std::string TgaHeader(int type, int width, int height, int bits, int descriptor) {
    std::string h(18, '\0');
    h[2] = char(type);
    h[12] = char(width & 0xff);
    h[13] = char(width >> 8);
    h[14] = char(height & 0xff);
    h[15] = char(height >> 8);
    h[16] = char(bits);
    h[17] = char(descriptor);
    return h;
}

// 8x4, 32-bit, run-length encoded, stored top-down. Row y is one run of
// colour (y*60, 255-y*60, 40, alpha 200) over x 0..5, then two raw pixels
// (0,0,0,255) and (255,255,255,255).
std::string MakeRleTga() {
    std::string out = TgaHeader(10, 8, 4, 32, 0x20 | 8);
    for (int y = 0; y < 4; ++y) {
        out += char(0x80 | 5);  // run of 6
        out += char(40);
        out += char(255 - y * 60);
        out += char(y * 60);
        out += char(200);
        out += char(1);  // raw, 2 pixels
        out += std::string("\x00\x00\x00\xff\xff\xff\xff\xff", 8);
    }
    return out;
}

// 6x4, 8-bit gray, uncompressed, stored bottom-up: displayed row y has gray
// level y * 50 + x.
std::string MakeGrayTga() {
    std::string out = TgaHeader(3, 6, 4, 8, 0);
    for (int stored = 0; stored < 4; ++stored) {
        int y = 3 - stored;
        for (int x = 0; x < 6; ++x) out += char(y * 50 + x);
    }
    return out;
}

std::string Png(const ImageData& image) {
    std::string bytes;
    EncodePNG(image, bytes);
    return bytes;
}

std::string Jpeg(const ImageData& image) {
    std::string bytes;
    EncodeJPEG(image, 90, bytes);
    return bytes;
}

}  // namespace

int main(int argc, char** argv) {
    std::string folder = argc > 1 ? argv[1] : "tests/data/overlay/images";
    bool ok = true;
    ok &= Save(folder, "sample_rgba.png", Png(MakeRgba()));
    ok &= Save(folder, "sample_gray.png", MakeGrayPng());
    ok &= Save(folder, "sample_palette.png", MakePalettePng());
    ok &= Save(folder, "sample_deep.png", MakeDeepPng());
    ok &= Save(folder, "sample_photo.jpg", Jpeg(MakePhoto()));
    ok &= Save(folder, "sample_progressive.jpg", MakeProgressiveGrayJpeg());
    ok &= Save(folder, "sample_cmyk.jpg", MakeCmykJpeg());
    ok &= Save(folder, "sample_icon.gif", MakeGif());
    ok &= Save(folder, "sample_rle.tga", MakeRleTga());
    ok &= Save(folder, "sample_plain.tga", MakeGrayTga());
    ok &= Save(folder, "sample_masked.jpg", Jpeg(MakeMasked()));
    ok &= Save(folder, "_sample_masked.png", Png(MakeMask()));
    ok &= Save(folder, "sample_cels.png", Png(MakeCels()));
    return ok ? 0 : 1;
}
