#include <gif_lib.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "data/ImageCodec.h"

namespace {

struct GifMemoryReader {
    const uint8_t* mData = nullptr;
    size_t mSize = 0;
    size_t mPos = 0;
};

int GifReadFunc(GifFileType* gif, GifByteType* dest, int length) {
    auto* reader = static_cast<GifMemoryReader*>(gif->UserData);
    if (length <= 0) return 0;
    size_t n = std::min(static_cast<size_t>(length), reader->mSize - reader->mPos);
    std::memcpy(dest, reader->mData + reader->mPos, n);
    reader->mPos += n;
    return static_cast<int>(n);
}

// Only the first frame is decoded: the game shows still pictures. Everything
// outside that frame (or marked transparent) is left fully transparent.
bool DecodeFirstFrame(GifFileType* gif, ImageData& out, const ImageLimits& limits,
                      std::string& why) {
    int transparentIndex = -1;
    for (;;) {
        GifRecordType type;
        if (DGifGetRecordType(gif, &type) == GIF_ERROR) {
            why = "damaged record";
            return false;
        }
        if (type == TERMINATE_RECORD_TYPE) {
            why = "no image in file";
            return false;
        }
        if (type == EXTENSION_RECORD_TYPE) {
            int code = 0;
            GifByteType* ext = nullptr;
            if (DGifGetExtension(gif, &code, &ext) == GIF_ERROR) {
                why = "damaged extension";
                return false;
            }
            if (code == GRAPHICS_EXT_FUNC_CODE && ext && ext[0] >= 4) {
                transparentIndex = (ext[1] & 1) ? ext[4] : -1;
            }
            while (ext) {
                if (DGifGetExtensionNext(gif, &ext) == GIF_ERROR) {
                    why = "damaged extension";
                    return false;
                }
            }
            continue;
        }
        if (type != IMAGE_DESC_RECORD_TYPE) continue;

        if (DGifGetImageDesc(gif) == GIF_ERROR) {
            why = "damaged image descriptor";
            return false;
        }
        const GifImageDesc& desc = gif->Image;
        const int frameW = desc.Width, frameH = desc.Height;
        if (frameW <= 0 || frameH <= 0 || desc.Left < 0 || desc.Top < 0) {
            why = "empty frame";
            return false;
        }
        int canvasW = gif->SWidth > 0 ? gif->SWidth : desc.Left + frameW;
        int canvasH = gif->SHeight > 0 ? gif->SHeight : desc.Top + frameH;
        if (!ImageSizeAllowed(canvasW, canvasH, limits) ||
            !ImageSizeAllowed(frameW, frameH, limits)) {
            why = "image too large";
            return false;
        }
        const ColorMapObject* map = desc.ColorMap ? desc.ColorMap : gif->SColorMap;
        if (!map || !map->Colors || map->ColorCount <= 0) {
            why = "no colour map";
            return false;
        }
        uint32_t palette[256];
        for (int i = 0; i < 256; ++i) {
            if (i < map->ColorCount) {
                const GifColorType& c = map->Colors[i];
                palette[i] = 0xff000000u | (uint32_t(c.Red) << 16) | (uint32_t(c.Green) << 8) | c.Blue;
            } else {
                palette[i] = 0xff000000u;
            }
        }
        if (transparentIndex >= 0) palette[transparentIndex] = 0;

        out.mWidth = canvasW;
        out.mHeight = canvasH;
        out.mBits.assign(size_t(canvasW) * size_t(canvasH), 0);
        std::vector<GifPixelType> line(static_cast<size_t>(frameW));

        // Interlaced frames store rows in four passes.
        static const int kStart[4] = {0, 4, 2, 1};
        static const int kStep[4] = {8, 8, 4, 2};
        const int passes = desc.Interlace ? 4 : 1;
        for (int pass = 0; pass < passes; ++pass) {
            int start = desc.Interlace ? kStart[pass] : 0;
            int step = desc.Interlace ? kStep[pass] : 1;
            for (int row = start; row < frameH; row += step) {
                if (DGifGetLine(gif, line.data(), frameW) == GIF_ERROR) {
                    why = "damaged pixel data";
                    return false;
                }
                int y = desc.Top + row;
                if (y >= canvasH) continue;
                uint32_t* dest = out.mBits.data() + size_t(y) * size_t(canvasW);
                for (int x = 0; x < frameW && desc.Left + x < canvasW; ++x) {
                    dest[desc.Left + x] = palette[line[static_cast<size_t>(x)]];
                }
            }
        }
        return true;
    }
}

}  // namespace

bool DecodeGIF(const void* bytes, size_t size, ImageData& out, std::string* error,
               const ImageLimits& limits) {
    out = ImageData();
    if (!bytes || size < 6 || std::memcmp(bytes, "GIF", 3) != 0) {
        return ImageFail(error, "not a GIF file");
    }
    GifMemoryReader reader;
    reader.mData = static_cast<const uint8_t*>(bytes);
    reader.mSize = size;
    int err = 0;
    GifFileType* gif = DGifOpen(&reader, GifReadFunc, &err);
    if (!gif) return ImageFail(error, "GIF: damaged header");
    std::string why;
    bool ok = DecodeFirstFrame(gif, out, limits, why);
    DGifCloseFile(gif, &err);
    if (!ok) {
        out = ImageData();
        return ImageFail(error, "GIF: " + why);
    }
    return true;
}
