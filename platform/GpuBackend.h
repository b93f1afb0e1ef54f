#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/Viewport.h"

// The thin layer between the renderer and the GPU. The OpenGL implementation
// lives in platform/gl/; NullGpuBackend draws nothing so every layer above
// runs without a display. All calls are made on the main thread.

// One vertex of a textured quad: position in target pixels, texture
// coordinates 0..1, colour as 0xAARRGGBB (straight alpha).
struct GpuVertex {
    float mX, mY;
    float mU, mV;
    uint32_t mColor;
};

enum class GpuBlend : uint8_t {
    Normal,       // source over
    Additive,
    Multiply,
    Subtractive,  // destination minus source
    Replace,      // no blending
    Overlay,      // shader blends with a copy of the destination
    SoftLight,
    MaskAlpha,    // the destination is scaled by the source's alpha
};

// Everything that decides how a run of quads is drawn.
struct GpuDrawState {
    uint32_t mTarget = 0;     // 0: the backend's default framebuffer
    int mTargetWidth = 0;
    int mTargetHeight = 0;
    uint32_t mTexture = 0;    // 0: plain colour
    bool mTexturePremultiplied = false;
    uint32_t mProgram = 0;    // 0: the built-in program for the blend
    GpuBlend mBlend = GpuBlend::Normal;
    bool mScissor = false;
    int mScissorX = 0, mScissorY = 0, mScissorWidth = 0, mScissorHeight = 0;  // target pixels, top-left origin

    bool SameAs(const GpuDrawState& o) const {
        return mTarget == o.mTarget && mTexture == o.mTexture && mProgram == o.mProgram &&
               mBlend == o.mBlend && mTexturePremultiplied == o.mTexturePremultiplied &&
               mScissor == o.mScissor && (!mScissor || (mScissorX == o.mScissorX &&
               mScissorY == o.mScissorY && mScissorWidth == o.mScissorWidth &&
               mScissorHeight == o.mScissorHeight));
    }
};

class GpuBackend {
public:
    virtual ~GpuBackend() = default;

    virtual bool IsNull() const = 0;
    virtual std::string GetName() const = 0;
    virtual int GetMaxTextureSize() const = 0;

    // Textures hold 0xAARRGGBB pixels; pixels may be null (transparent).
    virtual uint32_t CreateTexture(int width, int height, const uint32_t* pixels) = 0;
    virtual void UpdateTexture(uint32_t texture, int width, int height, const uint32_t* pixels) = 0;
    virtual void DeleteTexture(uint32_t texture) = 0;

    // A framebuffer drawing into a texture; 0 on failure.
    virtual uint32_t CreateTarget(uint32_t texture, int width, int height) = 0;
    virtual void DeleteTarget(uint32_t target) = 0;
    virtual void ClearTarget(uint32_t target, int width, int height, float r, float g, float b,
                             float a) = 0;
    // Reads a rectangle (top-left origin) as 0xAARRGGBB rows, top row first.
    virtual bool ReadPixels(uint32_t target, int targetHeight, int x, int y, int width,
                            int height, uint32_t* out) = 0;
    // Copies a target into a texture of the same size on the GPU.
    virtual bool CopyTargetToTexture(uint32_t target, uint32_t texture, int width,
                                     int height) = 0;
    // Copies the window's drawable area from its top-left corner (width x
    // height pixels) into a texture, top row first like every target.
    virtual bool CopyWindowToTexture(uint32_t texture, int width, int height, int drawableHeight) = 0;

    // GLSL sources; 0 and an error text on failure.
    virtual uint32_t CreateProgram(const std::string& vertexSource,
                                   const std::string& fragmentSource, std::string* error) = 0;
    virtual void DeleteProgram(uint32_t program) = 0;
    virtual void SetProgramConstant(uint32_t program, const std::string& name, const float* values,
                                    int count) = 0;

    // Draws quads (4 vertices each, corners in order top-left, top-right,
    // bottom-right, bottom-left).
    virtual void DrawQuads(const GpuDrawState& state, const GpuVertex* vertices, int quadCount) = 0;

    // A frame's quads sent once, then drawn by ranges: `quads` lists, in
    // drawing order, which quads (of 4 vertices each) the draws take.
    // DrawUploadedQuads draws `count` of them from the `first`-th. The
    // default keeps a copy and draws through DrawQuads.
    virtual void UploadQuads(const GpuVertex* vertices, int vertexCount, const uint32_t* quads, int quadCount);
    virtual void DrawUploadedQuads(const GpuDrawState& state, int first, int count);
    // Fills a rectangle (target pixels, top-left origin) with a colour
    // (straight alpha, stored premultiplied), nothing else.
    virtual void ClearTargetPart(uint32_t target, int width, int height, int x, int y, int partWidth,
                                 int partHeight, float r, float g, float b, float a);

    // Shows a target's texture in the window's drawable area at the viewport,
    // black outside it.
    virtual void PresentTexture(uint32_t texture, int drawableWidth, int drawableHeight, int viewX,
                                int viewY, int viewWidth, int viewHeight) = 0;
    // Draws only the part (drawable pixels, top-left origin) of the same
    // picture into the default framebuffer, leaving the rest as it is.
    virtual void PresentTexturePart(uint32_t texture, int drawableWidth, int drawableHeight, int viewX,
                                    int viewY, int viewWidth, int viewHeight, const Viewport& part) = 0;

    // Empty when no error is pending; otherwise the error's text (clears it).
    virtual std::string TakeError() = 0;

private:
    std::vector<GpuVertex> mUploaded;  // the default UploadQuads' copy, quads in order
};

// Accepts everything, draws nothing; handles are counted so they stay distinct.
class NullGpuBackend : public GpuBackend {
public:
    bool IsNull() const override { return true; }
    std::string GetName() const override { return "null"; }
    int GetMaxTextureSize() const override { return mMaxTextureSize; }
    uint32_t CreateTexture(int, int, const uint32_t*) override { return ++mNextHandle; }
    void UpdateTexture(uint32_t, int, int, const uint32_t*) override {}
    void DeleteTexture(uint32_t) override {}
    uint32_t CreateTarget(uint32_t, int, int) override { return ++mNextHandle; }
    void DeleteTarget(uint32_t) override {}
    void ClearTarget(uint32_t, int, int, float, float, float, float) override {}
    bool ReadPixels(uint32_t, int, int, int, int width, int height, uint32_t* out) override;
    bool CopyTargetToTexture(uint32_t, uint32_t, int, int) override { return true; }
    bool CopyWindowToTexture(uint32_t, int, int, int) override { return true; }
    uint32_t CreateProgram(const std::string&, const std::string&, std::string*) override {
        return ++mNextHandle;
    }
    void DeleteProgram(uint32_t) override {}
    void SetProgramConstant(uint32_t, const std::string&, const float*, int) override {}
    void DrawQuads(const GpuDrawState&, const GpuVertex*, int) override {}
    void PresentTexture(uint32_t, int, int, int, int, int, int) override {}
    void PresentTexturePart(uint32_t, int, int, int, int, int, int, const Viewport&) override {}
    std::string TakeError() override { return {}; }

    int mMaxTextureSize = 4096;

private:
    uint32_t mNextHandle = 0;
};
