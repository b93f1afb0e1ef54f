#include "render/Image.h"

#include <algorithm>

#include "core/Log.h"
#include "render/D3DInterface.h"

// --- Image -------------------------------------------------------------------

Image::Image() = default;
Image::~Image() = default;

int Image::GetCelWidth() const { return mNumCols > 0 ? mWidth / mNumCols : mWidth; }
int Image::GetCelHeight() const { return mNumRows > 0 ? mHeight / mNumRows : mHeight; }

int Image::GetCelCount() const {
    if (!mFrames.empty()) return static_cast<int>(mFrames.size());
    return std::max(1, mNumCols) * std::max(1, mNumRows);
}

bool Image::IsSimple() const { return mNumCols <= 1 && mNumRows <= 1 && mFrames.empty(); }

const ImageFrame* Image::GetFrame(int index) const {
    if (index < 0 || index >= static_cast<int>(mFrames.size())) return nullptr;
    return &mFrames[static_cast<size_t>(index)];
}

Rect Image::GetCelRect(int cel) const {
    if (!mFrames.empty()) {
        const ImageFrame* frame = GetFrame(cel);
        if (!frame) frame = &mFrames[0];
        return Rect(frame->mOffsetX, frame->mOffsetY, frame->mWidth, frame->mHeight);
    }
    int cols = std::max(1, mNumCols);
    if (cel < 0 || cel >= GetCelCount()) cel = 0;
    int w = GetCelWidth(), h = GetCelHeight();
    return Rect((cel % cols) * w, (cel / cols) * h, w, h);
}

// --- ImageSurface ------------------------------------------------------------

ImageSurface::ImageSurface() { D3DInterface::RegisterSurface(this); }

ImageSurface::ImageSurface(ImageData data) : ImageSurface() { SetImageData(std::move(data)); }

ImageSurface::~ImageSurface() {
    mTarget.reset();
    D3DInterface::Get()->ReleaseSurfaceTextures(this);
    D3DInterface::UnregisterSurface(this);
}

bool ImageSurface::Create(int width, int height) {
    if (width <= 0 || height <= 0) {
        DebugPrintf("ImageSurface::Create: refused size %dx%d\n", width, height);
        return false;
    }
    // A render target keeps one texture, so its size is bounded by the limit.
    int limit = D3DInterface::Get()->GetMaxTextureSize();
    if (width > limit || height > limit) {
        DebugPrintf("ImageSurface::Create: %dx%d clamped to the texture limit %d\n", width,
                    height, limit);
        width = std::min(width, limit);
        height = std::min(height, limit);
    }
    mTarget.reset();
    D3DInterface::Get()->ReleaseSurfaceTextures(this);
    ForgetSource();
    // The transparent pixels are made only when read: a render target is
    // cleared on the GPU, and a frame-sized copy nobody reads is megabytes.
    mData.mWidth = width;
    mData.mHeight = height;
    mData.mBits = std::vector<uint32_t>();
    mWidth = width;
    mHeight = height;
    mFlags |= IMAGE_FLAG_RENDER_TARGET;
    mPremultiplied = true;  // transparent black is the same either way
    mDirty = true;
    mGpuNewer = false;
    return true;
}

void ImageSurface::SetImageData(ImageData data) {
    mTarget.reset();
    D3DInterface::Get()->ReleaseSurfaceTextures(this);
    if (data.mWidth <= 0 || data.mHeight <= 0 ||
        data.mBits.size() < static_cast<size_t>(data.mWidth) * static_cast<size_t>(data.mHeight)) {
        data = ImageData();
    }
    ForgetSource();
    mData = std::move(data);
    mWidth = mData.mWidth;
    mHeight = mData.mHeight;
    mPremultiplied = false;
    mDirty = true;
    mGpuNewer = false;
}

const ImageData& ImageSurface::GetImageData() {
    if (mGpuNewer) D3DInterface::Get()->ReadBackSurface(this);
    else EnsurePixels();
    return mData;
}

ImageData& ImageSurface::ModifyImageData() {
    if (mGpuNewer) D3DInterface::Get()->ReadBackSurface(this);
    else EnsurePixels();
    // Changed pixels are no longer the source's.
    ForgetSource();
    mDirty = true;
    return mData;
}

void ImageSurface::SetPixelSource(PixelSource source) {
    mSource = std::move(source);
    mReloadable.store(static_cast<bool>(mSource), std::memory_order_release);
}

void ImageSurface::ForgetSource() {
    mReloadable.store(false, std::memory_order_release);
    mSource = nullptr;
    mAlpha = std::vector<uint8_t>();
    mOpaque = false;
}

void ImageSurface::DropPixels(bool andMask) {
    if (!HasPixelSource() || mGpuNewer) return;
    mData.mBits = std::vector<uint32_t>();
    if (andMask) mAlpha = std::vector<uint8_t>();
}

bool ImageSurface::ReloadPixels() {
    if (!mData.mBits.empty()) return true;
    if (!HasPixelSource()) return false;
    ImageData data;
    if (!mSource(data) || data.mWidth != mWidth || data.mHeight != mHeight) {
        DebugPrintf("Picture '%s' could not be read again\n", mName.c_str());
        return false;
    }
    mData = std::move(data);
    return true;
}

bool ImageSurface::EnsurePixels() {
    if (ReloadPixels()) return true;
    if (!(mFlags & IMAGE_FLAG_RENDER_TARGET) || mWidth <= 0 || mHeight <= 0) return false;
    mData.mWidth = mWidth;
    mData.mHeight = mHeight;
    mData.mBits.assign(static_cast<size_t>(mWidth) * static_cast<size_t>(mHeight), 0);
    return true;
}

int ImageSurface::GetAlphaAt(int x, int y) {
    if (x < 0 || y < 0 || x >= mWidth || y >= mHeight) return 0;
    const size_t at = static_cast<size_t>(y) * static_cast<size_t>(mWidth) + static_cast<size_t>(x);
    if (mGpuNewer) D3DInterface::Get()->ReadBackSurface(this);
    if (!mData.mBits.empty()) return mData.mWidth == mWidth ? static_cast<int>(mData.mBits[at] >> 24) : -1;
    // A render target not drawn into is transparent.
    if ((mFlags & IMAGE_FLAG_RENDER_TARGET) && !HasPixelSource()) return 0;
    if (mOpaque) return 255;
    if (mAlpha.empty() && HasPixelSource()) {
        ImageData data;
        if (mSource(data) && data.mWidth == mWidth && data.mHeight == mHeight) {
            mOpaque = std::all_of(data.mBits.begin(), data.mBits.end(), [](uint32_t p) { return (p >> 24) == 255; });
            if (mOpaque) return 255;
            mAlpha.resize(data.mBits.size());
            for (size_t i = 0; i < data.mBits.size(); ++i) mAlpha[i] = static_cast<uint8_t>(data.mBits[i] >> 24);
        }
    }
    if (mAlpha.empty()) return -1;
    return mAlpha[at];
}

ImageRenderTarget* ImageSurface::GetRenderTarget() {
    if (mWidth <= 0 || mHeight <= 0) return nullptr;
    if (!mTarget) {
        mFlags |= IMAGE_FLAG_RENDER_TARGET;
        mTarget = std::make_unique<ImageRenderTarget>(this);
    }
    return mTarget.get();
}

void ImageSurface::ReleaseTextures() {
    mTarget.reset();
    D3DInterface::Get()->ReleaseSurfaceTextures(this);
}

// --- ImageChild, ImageAtlasPiece ----------------------------------------------

ImageChild::ImageChild(Image* parent, const Rect& rect) : mParent(parent), mRect(rect) {
    if (mParent) {
        // Keep the rectangle inside the parent.
        Rect bounds(0, 0, mParent->GetWidth(), mParent->GetHeight());
        mRect = rect.Intersection(bounds);
    } else {
        mRect = Rect();
    }
    mWidth = mRect.mWidth;
    mHeight = mRect.mHeight;
}

ImageSurface* ImageChild::GetSurface() { return mParent ? mParent->GetSurface() : nullptr; }

Rect ImageChild::GetSurfaceRect() const {
    if (!mParent) return Rect();
    Rect parent = mParent->GetSurfaceRect();
    return Rect(parent.mX + mRect.mX, parent.mY + mRect.mY, mRect.mWidth, mRect.mHeight);
}

ImageAtlasPiece::ImageAtlasPiece(Image* atlas, const Rect& rect, std::string atlasName)
    : ImageChild(atlas, rect), mAtlasName(std::move(atlasName)) {}

// --- ImageRenderTarget ----------------------------------------------------------

ImageRenderTarget::ImageRenderTarget(ImageSurface* surface) : mSurface(surface) {}

ImageRenderTarget::~ImageRenderTarget() { Release(); }

uint32_t ImageRenderTarget::GetHandle() {
    if (mHandle) return mHandle;
    D3DInterface* device = D3DInterface::Get();
    // A target needs its surface in one texture; a surface split for drawing
    // is made again whole (it fails when larger than the GPU allows).
    if (mSurface->GetPieces().size() > 1) device->ReleaseSurfaceTextures(mSurface);
    if (!device->PrepareSurface(mSurface)) return 0;
    if (mSurface->GetPieces().size() != 1) return 0;
    mOwner = device;
    mHandle = device->GetBackend().CreateTarget(mSurface->GetFirstTexture(), mSurface->GetWidth(),
                                                mSurface->GetHeight());
    device->CheckResult("CreateRenderTarget", mHandle != 0);
    return mHandle;
}

void ImageRenderTarget::Release() {
    if (mHandle && mOwner) mOwner->DeleteTarget(mHandle);
    mHandle = 0;
    mOwner = nullptr;
}

// --- Creation for the asset manager ------------------------------------------------

ImageSurface* CreateImageFromData(ImageData data, int cols, int rows) {
    auto* surface = new ImageSurface(std::move(data));
    surface->mNumCols = std::max(1, cols);
    surface->mNumRows = std::max(1, rows);
    return surface;
}
