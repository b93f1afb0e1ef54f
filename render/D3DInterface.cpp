#include "render/D3DInterface.h"

#include <algorithm>
#include <cmath>
#include <chrono>
#include <set>
#include <thread>

#include "core/Log.h"
#include "platform/System.h"
#include "platform/Window.h"
#include "platform/gl/GLBackend.h"
#include "render/Graphics.h"
#include "render/Image.h"
#include "render/ShaderProgram.h"

namespace {
D3DInterface* gInstalledDevice = nullptr;

// The device used when none is installed (tools, tests, loaders before the
// window). Never destroyed: surfaces held by static tables may outlive main.
D3DInterface* SharedNullDevice() {
    static D3DInterface* device = new D3DInterface();
    return device;
}

// Both outlive every static table that may still hold surfaces at exit.
CritSect& SurfaceCrit() {
    static CritSect* crit = new CritSect();
    return *crit;
}
std::set<ImageSurface*>& LiveSurfaces() {
    static std::set<ImageSurface*>* surfaces = new std::set<ImageSurface*>();
    return *surfaces;
}

std::thread::id gMainThread = std::this_thread::get_id();

// A picture left out of this many drawn frames and seconds gives its texture
// back. Frames, not time alone: a still screen draws none, so what it shows
// keeps its textures however long it stands; one drawn again is decoded
// again, milliseconds once.
constexpr uint64_t kIdleCheckFrames = 16;
constexpr uint64_t kIdleFrames = 16;
constexpr double kIdleSeconds = 4.0;
bool OnMainThread() { return std::this_thread::get_id() == gMainThread; }
}  // namespace

D3DInterface::D3DInterface() : mBackend(std::make_unique<NullGpuBackend>()) {
    mGameSize = Point(mWidth, mHeight);
    mDisplaySize = mGameSize;
}

D3DInterface::D3DInterface(std::unique_ptr<GpuBackend> backend, int width, int height)
    : mBackend(backend ? std::move(backend) : std::make_unique<NullGpuBackend>()),
      mWidth(std::max(1, width)),
      mHeight(std::max(1, height)) {
    mGameSize = Point(mWidth, mHeight);
    mDisplaySize = mGameSize;
}

D3DInterface::~D3DInterface() {
    if (gInstalledDevice == this) gInstalledDevice = nullptr;
    // What it releases belongs to the window's context, whatever another
    // window (a message window's) made current since.
    if (mWindow) mWindow->MakeCurrent();
    mScreen.reset();
    ShaderProgram::ReleaseDevice(this);
    // Surfaces that outlive the device lose their textures now, while the
    // context still exists; they are made again if another device draws them.
    AutoCrit lock(SurfaceCrit());
    for (ImageSurface* surface : LiveSurfaces()) {
        if (surface->mTarget && surface->mTarget->mOwner == this) surface->mTarget->Release();
        if (surface->mTextureOwner != this) continue;
        for (TexturePiece& piece : surface->mPieces)
            if (piece.mTexture) mBackend->DeleteTexture(piece.mTexture);
        surface->mPieces.clear();
        surface->mTextureOwner = nullptr;
        surface->mDirty = true;
    }
    DeleteDeadObjects();
}

void D3DInterface::DeleteDeadObjects() {
    if (!OnMainThread()) return;
    AutoCrit lock(mDeviceCrit);
    for (uint32_t t : mDeadTargets) mBackend->DeleteTarget(t);
    for (uint32_t t : mDeadTextures) mBackend->DeleteTexture(t);
    mDeadTargets.clear();
    mDeadTextures.clear();
}

void D3DInterface::DeleteTarget(uint32_t handle) {
    if (!handle) return;
    AutoCrit lock(mDeviceCrit);
    if (OnMainThread() && !mRecording) mBackend->DeleteTarget(handle);
    else mDeadTargets.push_back(handle);
}

bool D3DInterface::Init(PlatformWindow* window, int width, int height, bool vsync) {
    gMainThread = std::this_thread::get_id();
    mWindow = window;
    mWidth = std::max(1, width);
    mHeight = std::max(1, height);
    mGameSize = Point(mWidth, mHeight);
    mDisplaySize = mGameSize;
    if (window) {
        window->MakeCurrent();
        int dw = 0, dh = 0;
        window->GetDesktopSize(dw, dh);
        if (dw > 0 && dh > 0) mDisplaySize = Point(dw, dh);
        std::string error;
        std::unique_ptr<GpuBackend> gl = CreateGLBackend(&error);
        if (gl) {
            mBackend = std::move(gl);
        } else {
            DebugPrintf("OpenGL renderer unavailable (%s); drawing nothing.\n", error.c_str());
            mBackend = std::make_unique<NullGpuBackend>();
            mWindow = nullptr;
        }
        SetVSync(vsync);
    }
    mScreen.reset();
    return !mBackend->IsNull();
}

D3DInterface* D3DInterface::Get() {
    return gInstalledDevice ? gInstalledDevice : SharedNullDevice();
}

void D3DInterface::Install(D3DInterface* device) {
    gInstalledDevice = device;
    if (device) gMainThread = std::this_thread::get_id();
}

int D3DInterface::GetMaxTextureSize() const {
    int limit = mBackend->GetMaxTextureSize();
    if (mMaxTextureOverride > 0) limit = std::min(limit, mMaxTextureOverride);
    return std::max(1, limit);
}

ImageSurface* D3DInterface::GetScreenSurface() {
    if (!mScreen) {
        mScreen = std::make_unique<ImageSurface>();
        mScreen->mName = "screen";
        // The frame is one texture even when a test forces a small limit.
        int saved = mMaxTextureOverride;
        mMaxTextureOverride = 0;
        mScreen->Create(mWidth, mHeight);
        mMaxTextureOverride = saved;
        mScreen->mPremultiplied = true;
    }
    return mScreen.get();
}

bool D3DInterface::CanDrawIntoWindow() const {
    if (!mDirectAllowed || !mWindow || mBackend->IsNull() || !mWindow->CanPresentPart()) return false;
    int dw = 0, dh = 0;
    mWindow->GetDrawableSize(dw, dh);
    return dw == mWidth && dh == mHeight;
}

uint32_t D3DInterface::FrameTargetHandle() {
    if (mDirect) return 0;
    ImageSurface* screen = GetScreenSurface();
    ImageRenderTarget* target = screen->GetRenderTarget();
    const uint32_t handle = target ? target->GetHandle() : 0;
    if (handle) screen->mGpuNewer = true;
    return handle;
}

GpuDrawState D3DInterface::FrameState() const {
    GpuDrawState state;
    state.mTarget = kFrameTarget;
    state.mTargetWidth = mWidth;
    state.mTargetHeight = mHeight;
    return state;
}

void D3DInterface::BeginFrame(const Color& clearColor) {
    if (mRecording) FlushRecording();  // a frame begun and never shown
    DeleteDeadObjects();
    ++mFrameNumber;
    const bool direct = CanDrawIntoWindow();
    if (direct != mDirect) {
        // The other target does not hold the last frame.
        mDirect = direct;
        mHasFrame = false;
        // The window's back buffer serves: the off-screen frame's 3 MiB go.
        if (mDirect && mScreen) ReleaseSurfaceTextures(mScreen.get());
    }
    mRecording = true;
    mWholeFrame = false;
    mRecorder.Clear();
    mRecorder.AddClear(FrameState(), Color(clearColor.mRed, clearColor.mGreen, clearColor.mBlue).ToARGB());
}

void D3DInterface::DrawFrameQuads(const GpuDrawState& state, ShaderProgram* shader, const GpuVertex* vertices,
                                  int quadCount) {
    if (quadCount <= 0) return;
    if (mRecording) {
        mRecorder.Add(state, shader, vertices, quadCount);
        return;
    }
    GpuDrawState drawn = state;
    drawn.mTarget = FrameTargetHandle();
    if (!mDirect && !drawn.mTarget) return;
    if (shader) shader->ApplyConstants();
    mBackend->DrawQuads(drawn, vertices, quadCount);
}

void D3DInterface::ClearFrame(const Color& color) {
    if (mRecording) {
        mRecorder.AddClear(FrameState(), color.ToARGB());
        return;
    }
    const uint32_t handle = FrameTargetHandle();
    if (!mDirect && !handle) return;
    mBackend->ClearTarget(handle, mWidth, mHeight, color.mRed / 255.0f, color.mGreen / 255.0f, color.mBlue / 255.0f,
                          color.mAlpha / 255.0f);
}

Rect D3DInterface::BeginArea() {
    const Rect outer = mArea;
    mArea = Rect();
    return outer;
}

Rect D3DInterface::EndArea(const Rect& outer) {
    const Rect inner = mArea;
    mArea = outer.Union(inner);
    return inner;
}

void D3DInterface::FlushRecording() {
    if (!mRecording) return;
    mRecording = false;
    mWholeFrame = true;
    const uint32_t handle = FrameTargetHandle();
    if (mDirect || handle) mRecorder.ReplayWhole(*mBackend, handle);
    mRecorder.Clear();
}

Rect D3DInterface::DrawCursor() {
    if (!HasCursor() || mCursorX < 0 || mCursorY < 0) return Rect();
    const Rect outer = BeginArea();
    {
        Graphics g(nullptr);
        if (mCursorDrawer) {
            mCursorDrawer(g, mCursorX, mCursorY);
        } else {
            g.DrawImage(mCursorImage, static_cast<float>(mCursorX - mCursorHotX),
                        static_cast<float>(mCursorY - mCursorHotY));
        }
    }
    return EndArea(outer);
}

void D3DInterface::Present(const DirtyRegion* changed) {
    const Rect cursor = DrawCursor();
    mDrawnCursorX = mCursorX;
    mDrawnCursorY = mCursorY;
    const Rect frame(0, 0, mWidth, mHeight);
    bool whole = !changed || !mHasFrame || mWholeFrame || !mRecording;
    DirtyRegion region;
    if (!whole) {
        region = *changed;
        region.Add(mDrawnCursorArea);
        region.Add(cursor);
        region.Clip(frame);
        whole = static_cast<double>(region.Area()) > kWholeFrameShare * static_cast<double>(mWidth) * mHeight;
    }
    mDrawnCursorArea = cursor;
    if (mRecording) {
        mRecording = false;
        const uint32_t handle = FrameTargetHandle();
        if (mDirect || handle) {
            if (whole)
                mRecorder.ReplayWhole(*mBackend, handle);
            else if (!region.IsEmpty())
                mRecorder.ReplayRegion(*mBackend, handle, region);
        }
        mRecorder.Clear();
    }
    mWholeFrame = false;
    if (!whole && region.IsEmpty()) return;  // nothing changed: the window keeps its frame
    ++mStats.mFrames;
    if (whole) ++mStats.mWholeFrames;
    mStats.mPixels += whole ? static_cast<uint64_t>(mWidth) * static_cast<uint64_t>(mHeight)
                            : static_cast<uint64_t>(region.Area());
    mHasFrame = true;
    ShowFrame(whole, region);
    if (++mPresentCount % kIdleCheckFrames == 0) ReleaseIdleTextures();
}

void D3DInterface::ShowFrame(bool whole, const DirtyRegion& region) {
    if (!mWindow || mBackend->IsNull()) return;
    int dw = 0, dh = 0;
    mWindow->GetDrawableSize(dw, dh);
    if (mDirect) {
        // Never swapped: the back buffer keeps this frame for the next one.
        if (whole) {
            mWindow->PresentPart(0, 0, dw, dh);
        } else {
            for (const Rect& r : region.Rects()) mWindow->PresentPart(r.mX, r.mY, r.mWidth, r.mHeight);
        }
        CheckResult("Present");
        return;
    }
    ImageSurface* screen = GetScreenSurface();
    if (!PrepareSurface(screen)) return;
    Viewport view = ComputeViewport(dw, dh, mWidth, mHeight, mStretch);
    if (!whole && mWindow->CanPresentPart()) {
        // The window shows the last frame: only the parts drawn again go
        // out, widened by a pixel for the scaled picture's filtering.
        const double sx = static_cast<double>(view.width) / mWidth, sy = static_cast<double>(view.height) / mHeight;
        for (const Rect& r : region.Rects()) {
            const int x0 = std::max(0, view.x + static_cast<int>(std::floor(r.mX * sx)) - 1);
            const int y0 = std::max(0, view.y + static_cast<int>(std::floor(r.mY * sy)) - 1);
            const int x1 = std::min(dw, view.x + static_cast<int>(std::ceil((r.mX + r.mWidth) * sx)) + 1);
            const int y1 = std::min(dh, view.y + static_cast<int>(std::ceil((r.mY + r.mHeight) * sy)) + 1);
            if (x1 <= x0 || y1 <= y0) continue;
            const Viewport part{x0, y0, x1 - x0, y1 - y0};
            mBackend->PresentTexturePart(screen->GetFirstTexture(), dw, dh, view.x, view.y, view.width, view.height,
                                         part);
            mWindow->PresentPart(part.x, part.y, part.width, part.height);
        }
        CheckResult("Present");
        return;
    }
    mBackend->PresentTexture(screen->GetFirstTexture(), dw, dh, view.x, view.y, view.width,
                             view.height);
    CheckResult("Present");
    mWindow->Present();
}

double D3DInterface::SecondsSinceStart() const {
    static const auto start = std::chrono::steady_clock::now();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void D3DInterface::ReleaseIdleTextures() {
    if (mBackend->IsNull() || !OnMainThread()) return;
    const double now = SecondsSinceStart();
    bool released = false;
    AutoCrit lock(SurfaceCrit());
    for (ImageSurface* surface : LiveSurfaces()) {
        if (surface->mTextureOwner != this || !surface->HasPixelSource() || surface->mTarget) continue;
        if (mPresentCount - surface->mLastDrawnFrame < kIdleFrames || now - surface->mLastDrawnSeconds < kIdleSeconds)
            continue;
        ReleaseSurfaceTextures(surface);
        surface->DropPixels(true);
        released = true;
    }
    // The driver's copies went back to the heap; the heap gives them back.
    if (released) PlatformReleaseFreeMemory();
}

bool D3DInterface::IsVSyncActive() const {
    return mVSyncActive && !(mWindow && mWindow->CanPresentPart());
}

bool D3DInterface::SetVSync(bool on) {
    bool ok = mWindow && mWindow->SetVsync(on);
    mVSyncActive = ok && on;
    return ok;
}

bool D3DInterface::CheckResult(const std::string& operation, bool result) {
    std::string error = mBackend->TakeError();
    if (result && error.empty()) return false;
    if (error.empty()) error = "failed";
    mLastError = operation + ": " + error;
    DebugPrintf("%s\n", mLastError.c_str());
    WriteShortLog(mLastError);
    return true;
}

ImageSurface* D3DInterface::CopyScreenImage() {
    // Drawn as it stands, even in the middle of a frame.
    FlushRecording();
    auto* copy = new ImageSurface();
    copy->mName = "screen copy";
    int saved = mMaxTextureOverride;  // a frame always fits one texture
    mMaxTextureOverride = 0;
    copy->Create(mWidth, mHeight);
    mMaxTextureOverride = saved;
    if (mBackend->IsNull() || !PrepareSurface(copy)) return copy;
    bool ok = false;
    if (mDirect) {
        int dw = 0, dh = 0;
        mWindow->GetDrawableSize(dw, dh);
        ok = mBackend->CopyWindowToTexture(copy->GetFirstTexture(), mWidth, mHeight, dh);
    } else {
        ImageRenderTarget* from = GetScreenSurface()->GetRenderTarget();
        const uint32_t fromHandle = from ? from->GetHandle() : 0;
        if (!fromHandle) return copy;
        ok = mBackend->CopyTargetToTexture(fromHandle, copy->GetFirstTexture(), mWidth, mHeight);
    }
    if (CheckResult("CopyScreenImage", ok)) return copy;
    copy->mGpuNewer = true;
    copy->mDirty = false;
    return copy;
}

bool D3DInterface::PrepareImageTexture(Image* image) {
    if (!image) return false;
    return PrepareSurface(image->GetSurface());
}

bool D3DInterface::PrepareSurface(ImageSurface* surface) {
    if (!surface || surface->GetWidth() <= 0 || surface->GetHeight() <= 0) return false;
    if (surface->mTextureOwner != this && surface->HasTextures()) {
        // Made by another device (the null one before the window existed).
        if (!OnMainThread()) return false;
        ReleaseSurfaceTextures(surface);
    }
    if (!OnMainThread()) return surface->HasTextures() && !surface->mDirty;
    surface->mLastDrawnFrame = mPresentCount;
    if (surface->HasPixelSource()) surface->mLastDrawnSeconds = SecondsSinceStart();
    if (surface->HasTextures() && !surface->mDirty) return true;

    AutoCrit lock(mDeviceCrit);
    surface->mTextureOwner = this;
    if (!mBackend->IsNull()) surface->ReloadPixels();
    const ImageData& data = surface->mData;
    int width = surface->GetWidth(), height = surface->GetHeight();
    bool haveBits = data.mWidth == width && data.mHeight == height &&
                    data.mBits.size() >= static_cast<size_t>(width) * static_cast<size_t>(height);
    if (surface->HasTextures()) {
        // Only the memory copy changed: refresh the pieces in place.
        if (haveBits && !mBackend->IsNull()) {
            std::vector<uint32_t> tile;
            for (TexturePiece& piece : surface->mPieces) {
                tile.resize(static_cast<size_t>(piece.mWidth) * static_cast<size_t>(piece.mHeight));
                for (int row = 0; row < piece.mHeight; ++row)
                    std::copy_n(&data.mBits[static_cast<size_t>(piece.mY + row) * width + piece.mX],
                                piece.mWidth, &tile[static_cast<size_t>(row) * piece.mWidth]);
                mBackend->UpdateTexture(piece.mTexture, piece.mWidth, piece.mHeight, tile.data());
            }
        }
        surface->mDirty = false;
        surface->mGpuNewer = false;
        if (!mBackend->IsNull()) surface->DropPixels();
        return !CheckResult("UpdateTexture");
    }

    int limit = GetMaxTextureSize();
    if (surface->mFlags & IMAGE_FLAG_RENDER_TARGET) limit = std::max(limit, std::max(width, height));
    std::vector<uint32_t> tile;
    for (int y = 0; y < height; y += limit) {
        for (int x = 0; x < width; x += limit) {
            TexturePiece piece;
            piece.mX = x;
            piece.mY = y;
            piece.mWidth = std::min(limit, width - x);
            piece.mHeight = std::min(limit, height - y);
            const uint32_t* pixels = nullptr;
            if (haveBits && !mBackend->IsNull() && piece.mWidth == width) {
                // Whole rows: the texture reads them where they are.
                pixels = &data.mBits[static_cast<size_t>(y) * width];
            } else if (haveBits && !mBackend->IsNull()) {
                tile.resize(static_cast<size_t>(piece.mWidth) * static_cast<size_t>(piece.mHeight));
                for (int row = 0; row < piece.mHeight; ++row)
                    std::copy_n(&data.mBits[static_cast<size_t>(y + row) * width + x], piece.mWidth,
                                &tile[static_cast<size_t>(row) * piece.mWidth]);
                pixels = tile.data();
            }
            piece.mTexture = mBackend->CreateTexture(piece.mWidth, piece.mHeight, pixels);
            if (CheckResult("CreateTexture", piece.mTexture != 0)) {
                for (TexturePiece& made : surface->mPieces) mBackend->DeleteTexture(made.mTexture);
                surface->mPieces.clear();
                return false;
            }
            surface->mPieces.push_back(piece);
        }
    }
    surface->mDirty = false;
    if (!mBackend->IsNull()) surface->DropPixels();
    return true;
}

void D3DInterface::DropReloadablePixels() {
    AutoCrit lock(SurfaceCrit());
    for (ImageSurface* surface : LiveSurfaces())
        if (surface->HasPixelSource()) surface->DropPixels();
}

void D3DInterface::ReleaseSurfaceTextures(ImageSurface* surface) {
    if (!surface) return;
    if (surface->mTarget) surface->mTarget->Release();
    D3DInterface* owner = surface->mTextureOwner;
    if (owner) {
        AutoCrit lock(owner->mDeviceCrit);
        for (TexturePiece& piece : surface->mPieces) {
            if (!piece.mTexture) continue;
            // A frame being recorded may still draw it.
            if (OnMainThread() && !owner->mRecording) owner->mBackend->DeleteTexture(piece.mTexture);
            else owner->mDeadTextures.push_back(piece.mTexture);
        }
    }
    surface->mPieces.clear();
    surface->mTextureOwner = nullptr;
    surface->mDirty = true;
}

bool D3DInterface::ReadBackSurface(ImageSurface* surface) {
    if (!surface || !surface->mGpuNewer) return true;
    surface->mGpuNewer = false;
    if (mBackend->IsNull() || !OnMainThread()) return false;
    ImageRenderTarget* target = surface->GetRenderTarget();
    uint32_t handle = target ? target->GetHandle() : 0;
    if (!handle) return false;
    int w = surface->GetWidth(), h = surface->GetHeight();
    surface->mData.mWidth = w;
    surface->mData.mHeight = h;
    surface->mData.mBits.resize(static_cast<size_t>(w) * static_cast<size_t>(h));
    bool ok = mBackend->ReadPixels(handle, h, 0, 0, w, h, surface->mData.mBits.data());
    return !CheckResult("ReadPixels", ok);
}

void D3DInterface::SetCursorImage(Image* image, int hotX, int hotY) {
    mCursorImage = image;
    mCursorHotX = hotX;
    mCursorHotY = hotY;
}

void D3DInterface::SetCursorDrawer(CursorDrawer drawer) { mCursorDrawer = std::move(drawer); }

void D3DInterface::RegisterSurface(ImageSurface* surface) {
    AutoCrit lock(SurfaceCrit());
    LiveSurfaces().insert(surface);
}

void D3DInterface::UnregisterSurface(ImageSurface* surface) {
    AutoCrit lock(SurfaceCrit());
    LiveSurfaces().erase(surface);
}

size_t D3DInterface::GetSurfaceCount() {
    AutoCrit lock(SurfaceCrit());
    return LiveSurfaces().size();
}
