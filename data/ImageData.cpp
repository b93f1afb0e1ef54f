#include "data/ImageData.h"

#include <cstring>

#include "core/FileUtil.h"
#include "core/Log.h"
#include "core/StringUtil.h"
#include "data/ImageCodec.h"
#include "data/PakInterface.h"

namespace {

// The extensions tried, in order, for a name given without one.
const char* const kImageExtensions[] = {".png", ".jpg", ".gif", ".tga"};

bool IsDecodableExtension(const std::string& ext) {
    return ext == "png" || ext == "jpg" || ext == "jpeg" || ext == "gif" || ext == "tga";
}

// The JPEG 2000 files of the original data have no decoder here: they count
// as missing so the caller falls back to whatever it does for absent images.
bool IsJpeg2000Extension(const std::string& ext) { return ext == "j2k" || ext == "jp2"; }

// Reads and decodes one existing file; false (error set) when absent or bad.
bool DecodeFile(const std::string& path, ImageData& out, std::string* error) {
    std::string bytes;
    if (!ReadDataFile(path, bytes)) return ImageFail(error, "cannot open " + QuoteValue(path));
    ImageFormat fallback = ImageFormatFromExtension(GetFileExtension(path));
    std::string why;
    if (!DecodeImage(bytes.data(), bytes.size(), fallback, out, &why)) {
        return ImageFail(error, why + " in " + QuoteValue(path));
    }
    return true;
}

// Finds the file for a name: the name itself when it carries a decodable
// extension and exists, else the name (minus such an extension) with each
// extension tried in turn.
bool FindImageFile(const std::string& path, std::string& found) {
    const std::string ext = GetFileExtension(path);
    std::string base = path;
    if (IsDecodableExtension(ext)) {
        if (DataFileExists(path)) {
            found = path;
            return true;
        }
        base = path.substr(0, path.size() - ext.size() - 1);
    }
    for (const char* e : kImageExtensions) {
        if (DataFileExists(base + e)) {
            found = base + e;
            return true;
        }
    }
    return false;
}

// "dir/name.ext" -> "dir/_name" (extension left for FindImageFile).
std::string AlphaImageBase(const std::string& file) {
    std::string dir = GetFileDir(file);
    std::string name = GetFileName(file);
    size_t dot = name.rfind('.');
    if (dot != std::string::npos) name.resize(dot);
    return dir + "_" + name;
}

// The alpha image's gray level (its red channel) becomes the alpha.
void ApplyAlphaImage(const std::string& file, ImageData& image) {
    std::string alphaFile;
    if (!FindImageFile(AlphaImageBase(file), alphaFile)) return;
    ImageData alpha;
    std::string why;
    if (!DecodeFile(alphaFile, alpha, &why)) {
        DebugPrintf("Alpha image ignored: %s\n", why.c_str());
        return;
    }
    if (alpha.mWidth != image.mWidth || alpha.mHeight != image.mHeight) {
        DebugPrintf("Alpha image '%s' is %dx%d, its image %dx%d: ignored\n", alphaFile.c_str(),
                    alpha.mWidth, alpha.mHeight, image.mWidth, image.mHeight);
        return;
    }
    for (size_t i = 0; i < image.mBits.size(); ++i) {
        uint32_t a = (alpha.mBits[i] >> 16) & 0xff;
        image.mBits[i] = (image.mBits[i] & 0x00ffffffu) | (a << 24);
    }
}

}  // namespace

bool ImageFail(std::string* error, const std::string& message) {
    if (error) *error = message;
    return false;
}

bool ImageSizeAllowed(int64_t width, int64_t height, const ImageLimits& limits) {
    return width > 0 && height > 0 && width <= limits.mMaxDimension &&
           height <= limits.mMaxDimension && width * height <= limits.mMaxPixels;
}

ImageFormat SniffImageFormat(const void* bytes, size_t size) {
    const auto* b = static_cast<const uint8_t*>(bytes);
    if (!b) return ImageFormat::Unknown;
    if (size >= 8 && std::memcmp(b, "\x89PNG\r\n\x1a\n", 8) == 0) return ImageFormat::PNG;
    if (size >= 3 && b[0] == 0xff && b[1] == 0xd8 && b[2] == 0xff) return ImageFormat::JPEG;
    if (size >= 6 && (std::memcmp(b, "GIF87a", 6) == 0 || std::memcmp(b, "GIF89a", 6) == 0)) {
        return ImageFormat::GIF;
    }
    return ImageFormat::Unknown;
}

ImageFormat ImageFormatFromExtension(const std::string& extension) {
    std::string ext = ToLower(extension);
    if (ext == "png") return ImageFormat::PNG;
    if (ext == "jpg" || ext == "jpeg") return ImageFormat::JPEG;
    if (ext == "gif") return ImageFormat::GIF;
    if (ext == "tga") return ImageFormat::TGA;
    return ImageFormat::Unknown;
}

bool DecodeImage(const void* bytes, size_t size, ImageFormat fallback, ImageData& out,
                 std::string* error, const ImageLimits& limits) {
    // The content decides, not the name: files renamed from .jpg to .png load.
    ImageFormat format = SniffImageFormat(bytes, size);
    if (format == ImageFormat::Unknown) format = fallback;
    switch (format) {
        case ImageFormat::PNG: return DecodePNG(bytes, size, out, error, limits);
        case ImageFormat::JPEG: return DecodeJPEG(bytes, size, out, error, limits);
        case ImageFormat::GIF: return DecodeGIF(bytes, size, out, error, limits);
        case ImageFormat::TGA: return DecodeTGA(bytes, size, out, error, limits);
        case ImageFormat::Unknown: break;
    }
    out = ImageData();
    return ImageFail(error, "unknown image format");
}

bool LoadImageData(const std::string& pathWithoutOrWithExtension, ImageData& out, std::string* error) {
    out = ImageData();
    const std::string& path = pathWithoutOrWithExtension;
    if (IsJpeg2000Extension(GetFileExtension(path))) {
        return ImageFail(error, "no JPEG 2000 decoder for " + QuoteValue(path));
    }
    std::string file;
    if (!FindImageFile(path, file)) return ImageFail(error, "image " + QuoteValue(path) + " not found");
    if (!DecodeFile(file, out, error)) return false;
    // An alpha image never has an alpha image of its own.
    if (GetFileName(file).rfind('_', 0) != 0) ApplyAlphaImage(file, out);
    return true;
}

bool WritePNG(const std::string& path, const ImageData& image) {
    std::string bytes;
    if (!EncodePNG(image, bytes)) {
        DebugPrintf("WritePNG: cannot encode %dx%d image for '%s'\n", image.mWidth, image.mHeight,
                    path.c_str());
        return false;
    }
    return WriteStringToFile(path, bytes);
}

bool WriteJPEG(const std::string& path, const ImageData& image, int quality) {
    std::string bytes;
    if (!EncodeJPEG(image, quality, bytes)) {
        DebugPrintf("WriteJPEG: cannot encode %dx%d image for '%s'\n", image.mWidth, image.mHeight,
                    path.c_str());
        return false;
    }
    return WriteStringToFile(path, bytes);
}
