#include "render/AssetImages.h"

#include "core/StringUtil.h"
#include "data/AssetManager.h"
#include "render/Image.h"

namespace {

class RendererImages : public AssetImageLoader {
public:
    std::shared_ptr<Image> MakeImage(ImageData&& data, const AssetImageDef& def) override {
        std::shared_ptr<Image> image(CreateImageFromData(std::move(data), def.mCols, def.mRows));
        if (!image) return nullptr;
        image->mName = WStringToString(def.mName);
        if (!def.mFrames.empty()) {
            std::vector<ImageFrame> frames;
            for (const AssetFrame& f : def.mFrames) frames.push_back({f.mX, f.mY, f.mWidth, f.mHeight});
            image->SetFrames(std::move(frames));
        }
        return image;
    }
};

}  // namespace

AssetImageLoader& RendererImageLoader() {
    static RendererImages loader;
    return loader;
}
