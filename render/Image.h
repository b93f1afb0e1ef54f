#pragma once
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/Geometry.h"
#include "data/ImageData.h"

class D3DInterface;
class ImageSurface;
class ImageRenderTarget;

// One entry of an image's frame table: where a frame's pixels sit inside the
// image and how large they are.
struct ImageFrame {
    int mOffsetX = 0;
    int mOffsetY = 0;
    int mWidth = 0;
    int mHeight = 0;
};

// A named image made of cels laid out in a grid of columns and rows, with an
// optional frame table. Pixels live in an ImageSurface; an ImageChild or an
// ImageAtlasPiece shows a rectangle of another image's surface.
class Image {
public:
    Image();
    virtual ~Image();
    Image(const Image&) = delete;
    Image& operator=(const Image&) = delete;

    int GetWidth() const { return mWidth; }
    int GetHeight() const { return mHeight; }
    int GetCelWidth() const;
    int GetCelHeight() const;
    int GetCelCount() const;
    // One cel (grid) only and no frame table.
    bool IsSimple() const;

    // The rectangle of a cel in this image's own pixels. With a frame table
    // the frame's rectangle is used; out-of-range indices give cel 0.
    Rect GetCelRect(int cel) const;

    // Frame table (optional): per frame offset x, offset y, width, height.
    const std::vector<ImageFrame>& GetFrames() const { return mFrames; }
    void SetFrames(std::vector<ImageFrame> frames) { mFrames = std::move(frames); }
    bool HasFrameTable() const { return !mFrames.empty(); }
    const ImageFrame* GetFrame(int index) const;

    // Where this image's pixels are: a surface and the rectangle inside it.
    // Null when the image has no pixels (an empty surface, a child of nothing).
    virtual ImageSurface* GetSurface() = 0;
    virtual Rect GetSurfaceRect() const { return Rect(0, 0, mWidth, mHeight); }

    std::string mName;
    int mNumCols = 1;
    int mNumRows = 1;

protected:
    int mWidth = 0;
    int mHeight = 0;
    std::vector<ImageFrame> mFrames;
};

// One GPU texture that holds a tile of a surface (surfaces larger than the
// texture limit are split into several).
struct TexturePiece {
    uint32_t mTexture = 0;  // backend handle, 0 until made
    int mX = 0;             // where the piece sits in the surface
    int mY = 0;
    int mWidth = 0;
    int mHeight = 0;
};

// Image flag bits.
enum ImageFlags : uint32_t {
    IMAGE_FLAG_NONE = 0,
    IMAGE_FLAG_RENDER_TARGET = 1u << 0,  // drawn into; keeps a single texture
    IMAGE_FLAG_EXTERNAL = 1u << 1,       // pixels written by an outside player
    IMAGE_FLAG_NO_CPU_COPY = 1u << 2,    // pixels live only on the GPU
};

// A drawable surface: its pixels in memory (decoded by a loader on any
// thread) and the textures made from them on the main thread when the surface
// is first drawn. Every live surface is registered with the device.
class ImageSurface : public Image {
public:
    ImageSurface();
    explicit ImageSurface(ImageData data);
    ~ImageSurface() override;

    // (Re)creates an empty (transparent) surface of this size. Sizes of 0 or
    // less are refused (false); larger than the texture limit are clamped.
    bool Create(int width, int height);
    // Replaces the pixels (the size follows the data).
    void SetImageData(ImageData data);
    // The pixels as they are in memory (read back from the GPU first for a
    // render target that has been drawn into).
    const ImageData& GetImageData();
    // The memory copy for changes in place (read back first when drawn into);
    // marks it changed.
    ImageData& ModifyImageData();
    // Marks the memory copy changed; textures are refreshed on the next draw.
    void MarkDirty() { mDirty = true; }

    // Where the pixels can be decoded again (an asset's file). Such a surface
    // keeps no memory copy once its textures are made: the copy comes back
    // from the source when something reads it. Set last, once the pixels are
    // in place; changing the pixels forgets the source.
    using PixelSource = std::function<bool(ImageData&)>;
    void SetPixelSource(PixelSource source);
    bool HasPixelSource() const { return mReloadable.load(std::memory_order_acquire); }
    // Frees the memory copy when the source can give it again; `andMask`
    // the hit tests' mask too.
    void DropPixels(bool andMask = false);
    bool HasPixelsInMemory() const { return !mData.mBits.empty(); }
    // The alpha (0 to 255) of a pixel for hit tests, -1 when the pixels live
    // only on the GPU. A surface without its memory copy keeps a mask of one
    // byte per pixel, made the first time it is asked.
    int GetAlphaAt(int x, int y);
    bool IsDirty() const { return mDirty; }

    uint32_t mFlags = IMAGE_FLAG_NONE;
    // Colours in the pixels are already multiplied by alpha (render targets).
    bool mPremultiplied = false;

    ImageSurface* GetSurface() override { return mWidth > 0 && mHeight > 0 ? this : nullptr; }

    // Textures (main thread only).
    const std::vector<TexturePiece>& GetPieces() const { return mPieces; }
    uint32_t GetFirstTexture() const { return mPieces.empty() ? 0 : mPieces[0].mTexture; }
    bool HasTextures() const { return !mPieces.empty(); }
    // The device's count of presented frames when it was last drawn.
    uint64_t GetLastDrawnFrame() const { return mLastDrawnFrame; }
    // The render target of this surface, made on first use.
    ImageRenderTarget* GetRenderTarget();
    void ReleaseTextures();

private:
    friend class D3DInterface;
    friend class Graphics;
    // The memory copy back from the source (or the transparent pixels of an
    // empty render target); false when there is none to have.
    bool EnsurePixels();
    bool ReloadPixels();
    void ForgetSource();
    ImageData mData;
    PixelSource mSource;
    std::atomic<bool> mReloadable{false};
    std::vector<uint8_t> mAlpha;
    bool mOpaque = false;  // every pixel's alpha is 255: no mask needed
    std::vector<TexturePiece> mPieces;
    std::unique_ptr<ImageRenderTarget> mTarget;
    D3DInterface* mTextureOwner = nullptr;  // the device that made mPieces
    bool mDirty = true;
    bool mGpuNewer = false;  // drawn into since the memory copy was made
    // When it was last drawn: the device's frame count and seconds.
    uint64_t mLastDrawnFrame = 0;
    double mLastDrawnSeconds = 0.0;
};

// A rectangle of another image, sharing its surface. The parent must outlive it.
class ImageChild : public Image {
public:
    ImageChild(Image* parent, const Rect& rect);
    ImageSurface* GetSurface() override;
    Rect GetSurfaceRect() const override;
    Image* GetParent() const { return mParent; }

private:
    Image* mParent;
    Rect mRect;
};

// A named piece of an atlas image: a child that remembers its atlas.
class ImageAtlasPiece : public ImageChild {
public:
    ImageAtlasPiece(Image* atlas, const Rect& rect, std::string atlasName);
    const std::string& GetAtlasName() const { return mAtlasName; }

private:
    std::string mAtlasName;
};

// The framebuffer object that draws into a surface's texture.
class ImageRenderTarget {
public:
    explicit ImageRenderTarget(ImageSurface* surface);
    ~ImageRenderTarget();
    ImageSurface* GetSurface() const { return mSurface; }
    // Backend handle of the target, 0 when it could not be made.
    uint32_t GetHandle();
    void Release();

private:
    friend class D3DInterface;
    ImageSurface* mSurface;
    D3DInterface* mOwner = nullptr;
    uint32_t mHandle = 0;
};

// Used by the asset manager: a surface from decoded pixels, with its grid.
ImageSurface* CreateImageFromData(ImageData data, int cols, int rows);
