#include "data/ImageData.h"

bool LoadImageData(const std::string&, ImageData& out, std::string* error) {
    out = ImageData();
    if (error) *error = "image loading is not available yet";
    return false;
}

bool WritePNG(const std::string&, const ImageData&) { return false; }
bool WriteJPEG(const std::string&, const ImageData&, int) { return false; }
