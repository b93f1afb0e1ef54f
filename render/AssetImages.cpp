#include "render/AssetImages.h"

#include "core/StringUtil.h"
#include "data/AssetManager.h"
#include "render/Image.h"

namespace {

class RendererImages : public AssetImageLoader {
public:
    std::shared_ptr<Image> MakeImage(ImageData&& data, const AssetImageDef& def,
                                     const std::string& file) override {
        ImageSurface* surface = CreateImageFromData(std::move(data), def.mCols, def.mRows);
        if (!surface) return nullptr;
        std::shared_ptr<Image> image(surface);
        image->mName = WStringToString(def.mName);
        if (!def.mFrames.empty()) {
            std::vector<ImageFrame> frames;
            for (const AssetFrame& f : def.mFrames) frames.push_back({f.mX, f.mY, f.mWidth, f.mHeight});
            image->SetFrames(std::move(frames));
        }
        // The file stays in the archive: the pixels are decoded again when
        // wanted rather than kept twice, once here and once in the texture.
        surface->SetPixelSource([file](ImageData& out) {
            std::string error;
            return LoadImageData(file, out, &error);
        });
        return image;
    }
};

}  // namespace

AssetImageLoader& RendererImageLoader() {
    static RendererImages loader;
    return loader;
}
