#include "bench/BenchPictures.h"

#include "data/ImageData.h"
#include "render/Image.h"

ImageSurface* BenchPicture(int w, int h, int cols, int rows) {
    ImageData data;
    data.mWidth = w;
    data.mHeight = h;
    data.mBits.assign(static_cast<size_t>(w) * h, 0x80ffffffu);
    auto* image = new ImageSurface(data);
    image->mNumCols = cols;
    image->mNumRows = rows;
    return image;
}
