#pragma once
#include <memory>
#include <string>
#include <vector>

#include "data/ImageData.h"
#include "platform/FileSystem.h"
#include "platform/System.h"
#include "platform/Window.h"
#include "render/D3DInterface.h"
#include "platform/GpuBackend.h"
#include "tests/support/AppHarness.h"

// A backend that records what it is asked to draw.
class RecordingBackend : public NullGpuBackend {
public:
    struct Draw {
        GpuDrawState mState;
        std::vector<GpuVertex> mVertices;
    };
    struct Constant {
        uint32_t mProgram;
        std::string mName;
        float mValue;
    };
    bool IsNull() const override { return false; }
    std::string GetName() const override { return "recording"; }
    void DrawQuads(const GpuDrawState& state, const GpuVertex* vertices, int quadCount) override {
        mDraws.push_back(Draw{state, std::vector<GpuVertex>(vertices, vertices + quadCount * 4)});
    }
    void SetProgramConstant(uint32_t program, const std::string& name, const float* values,
                            int) override {
        mConstants.push_back(Constant{program, name, values[0]});
    }
    std::string TakeError() override {
        std::string e;
        e.swap(mError);
        return e;
    }
    std::vector<Draw> mDraws;
    std::vector<Constant> mConstants;
    std::string mError;
};

// Installs a device for the test's lifetime; the device uninstalls itself as
// it goes, and the previous one comes back.
class ScopedDevice {
public:
    explicit ScopedDevice(std::unique_ptr<GpuBackend> backend)
        : mDevice(std::make_unique<D3DInterface>(std::move(backend))) {
        D3DInterface::Install(mDevice.get());
    }
    D3DInterface& Device() { return *mDevice; }

private:
    std::unique_ptr<D3DInterface> mDevice;
};

// Runs a test body in the source tree's gamedata folder.
class ScopedDataFolder {
public:
    ScopedDataFolder() : mPrevious(PlatformCurrentDirectory()) {
        PlatformChangeDirectory(TestGameDataFolder());
    }
    ~ScopedDataFolder() { PlatformChangeDirectory(mPrevious); }

private:
    std::string mPrevious;
};

// An image made by a function of (x, y), or a solid one.
template <class F>
ImageData MakePattern(int w, int h, F f) {
    ImageData d;
    d.mWidth = w;
    d.mHeight = h;
    d.mBits.resize(static_cast<size_t>(w) * h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) d.mBits[static_cast<size_t>(y) * w + x] = f(x, y);
    return d;
}

inline ImageData MakeImage(int w, int h, uint32_t argb) {
    return MakePattern(w, h, [argb](int, int) { return argb; });
}
