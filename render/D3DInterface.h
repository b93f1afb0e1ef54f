#pragma once
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "core/Color.h"
#include "core/CritSect.h"
#include "core/Geometry.h"
#include "platform/GpuBackend.h"

class Graphics;
class Image;
class ImageSurface;
class PlatformWindow;

// The device owner: the GPU backend, the off-screen frame the game draws into
// (presented letterboxed, or stretched), the registry of live surfaces, and
// the locks of the drawing state. Only the main thread draws.
class D3DInterface {
public:
    // Without a window (or when GL cannot be used) the device runs on the
    // null backend.
    D3DInterface();
    explicit D3DInterface(std::unique_ptr<GpuBackend> backend, int width = 1024,
                          int height = 768);
    ~D3DInterface();
    D3DInterface(const D3DInterface&) = delete;
    D3DInterface& operator=(const D3DInterface&) = delete;

    // Picks the backend for this window (GL on its context, else null).
    bool Init(PlatformWindow* window, int width, int height, bool vsync);
    // The device in use: the installed one, else a shared null device.
    static D3DInterface* Get();
    static void Install(D3DInterface* device);

    GpuBackend& GetBackend() { return *mBackend; }
    bool IsNull() const { return mBackend->IsNull(); }
    int GetWidth() const { return mWidth; }
    int GetHeight() const { return mHeight; }
    int GetMaxTextureSize() const;
    // Tests force a small limit to check images split into pieces.
    void SetMaxTextureSizeOverride(int size) { mMaxTextureOverride = size; }

    // --- Frame --------------------------------------------------------------
    // The off-screen frame (1024x768) every Graphics with a null target draws into.
    ImageSurface* GetScreenSurface();
    // A whole frame, or with `area` (frame pixels) only that part of it: the
    // frame keeps the last one's pixels, the area is cleared and every draw
    // on the frame until Present is clipped to it. A part is drawn whole
    // when there is no last frame or the drawn cursor moved.
    void BeginFrame(const Color& clearColor, const Rect* area = nullptr);
    // Shows the frame in the window (letterboxed, or stretched) and swaps.
    void Present();
    // The part of the frame being drawn, false when it is the whole frame.
    bool GetFrameLimit(Rect* area) const;
    // Counts BeginFrame calls: what was drawn in the frame in progress (or
    // the last one) can tell it was drawn there.
    uint64_t GetFrameNumber() const { return mFrameNumber; }
    void SetStretch(bool stretch) { mStretch = stretch; }
    bool GetStretch() const { return mStretch; }
    bool SetVSync(bool on);
    // Whether the display paces the frames (vsync asked for and granted).
    bool IsVSyncActive() const { return mVSyncActive; }

    // The two screen sizes the options screen compares: the desktop's and the
    // game's. Stretching means nothing when they are equal.
    Point mDisplaySize;
    Point mGameSize;

    // --- Services -----------------------------------------------------------
    // On failure (result false or a pending GPU error) writes the operation's
    // name, a colon and the error text to the log; returns true on failure.
    bool CheckResult(const std::string& operation, bool result = true);
    const std::string& GetLastError() const { return mLastError; }
    // A new surface (owned by the caller) holding a copy of the current frame.
    ImageSurface* CopyScreenImage();
    // Makes sure the image has its textures; true when it can be drawn.
    bool PrepareImageTexture(Image* image);
    bool PrepareSurface(ImageSurface* surface);
    void ReleaseSurfaceTextures(ImageSurface* surface);
    // Reads a surface's pixels back from the GPU into its memory copy.
    bool ReadBackSurface(ImageSurface* surface);

    // --- Cursor -------------------------------------------------------------
    // Drawn over the frame at the mouse position before presenting.
    using CursorDrawer = std::function<void(Graphics& g, int x, int y)>;
    void SetCursorImage(Image* image, int hotX = 0, int hotY = 0);
    void SetCursorDrawer(CursorDrawer drawer);
    void SetCursorPosition(int x, int y) { mCursorX = x; mCursorY = y; }
    bool HasCursor() const { return mCursorImage || mCursorDrawer; }

    // Deletes a render target made by this device (later, off the main thread).
    void DeleteTarget(uint32_t handle);

    // --- Live surfaces (one set for the whole application) -------------------
    static void RegisterSurface(ImageSurface* surface);
    static void UnregisterSurface(ImageSurface* surface);
    static size_t GetSurfaceCount();
    // Frees the memory copy of every surface that can decode its pixels
    // again (main thread, when a load has ended): pictures loaded for later
    // screens then cost nothing until they are drawn.
    static void DropReloadablePixels();
    // Releases the textures of pictures that can be decoded again and were
    // left out of the last frames drawn for some seconds: the start-up
    // pictures, the screens left behind. Present calls it now and then; the
    // main loop too, as a screen that went still presents no more.
    void ReleaseIdleTextures();
    // Frames presented so far (what a surface's last drawn frame counts).
    uint64_t GetPresentCount() const { return mPresentCount; }

    // Guards the device's textures and targets. The set of live surfaces,
    // the shader cache and each font's glyph sheets have locks of their own.
    CritSect mDeviceCrit;

private:
    void DrawCursor();
    double SecondsSinceStart() const;

    std::unique_ptr<GpuBackend> mBackend;
    PlatformWindow* mWindow = nullptr;
    int mWidth = 1024;
    int mHeight = 768;
    bool mStretch = false;
    bool mVSyncActive = false;
    int mMaxTextureOverride = 0;
    std::unique_ptr<ImageSurface> mScreen;
    std::string mLastError;
    Image* mCursorImage = nullptr;
    int mCursorHotX = 0, mCursorHotY = 0;
    CursorDrawer mCursorDrawer;
    int mCursorX = -1, mCursorY = -1;
    int mDrawnCursorX = -1, mDrawnCursorY = -1;  // where the last frame has it
    uint64_t mFrameNumber = 0;
    bool mHasFrameLimit = false;
    Rect mFrameLimit;
    // GPU objects released off the main thread, deleted at the next frame.
    std::vector<uint32_t> mDeadTextures;
    std::vector<uint32_t> mDeadTargets;
    void DeleteDeadObjects();
    // Frames presented, for what each surface was last drawn in.
    uint64_t mPresentCount = 0;
};
