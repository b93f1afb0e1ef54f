#include "render/Screenshot.h"

#include <memory>

#include "core/FileUtil.h"
#include "core/Log.h"
#include "core/StringUtil.h"
#include "data/ImageData.h"
#include "render/D3DInterface.h"
#include "render/Image.h"

std::string SaveScreenshot(D3DInterface& device, const std::string& folder) {
    std::string dir = folder;
    if (!dir.empty() && dir.back() != '/') dir += '/';
    if (!CreateDirectories(dir)) {
        DebugPrintf("Screenshot: cannot create '%s'\n", dir.c_str());
        return {};
    }
    std::string path;
    for (int number = 1; number <= 9999; ++number) {
        std::string candidate = dir + StrFormat("screenshot_%04d.png", number);
        if (!FileExists(candidate)) {
            path = candidate;
            break;
        }
    }
    if (path.empty()) return {};
    std::unique_ptr<ImageSurface> copy(device.CopyScreenImage());
    ImageData data = copy->GetImageData();
    // The frame is opaque; its alpha channel says nothing.
    for (uint32_t& pixel : data.mBits) pixel |= 0xFF000000u;
    if (!WritePNG(path, data)) {
        DebugPrintf("Screenshot: cannot write '%s'\n", path.c_str());
        return {};
    }
    DebugPrintf("Screenshot: %s\n", path.c_str());
    return path;
}
