#pragma once
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "core/Color.h"
#include "core/CritSect.h"
#include "core/DirtyRegion.h"
#include "core/Geometry.h"
#include "platform/GpuBackend.h"
#include "render/FrameRecorder.h"

class Graphics;
class Image;
class ImageSurface;
class PlatformWindow;
class ShaderProgram;

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
    // The frame is drawn straight into the window's back buffer when the
    // window shows it 1:1 and can show a part of that buffer without a swap
    // (PlatformWindow::CanPresentPart), so the back buffer keeps the last
    // frame; otherwise into an off-screen 1024x768 frame (GetScreenSurface)
    // that Present shows letterboxed or stretched.
    ImageSurface* GetScreenSurface();
    // Starts a frame: what is drawn on the frame until Present is recorded
    // (FrameRecorder), with the clear first.
    void BeginFrame(const Color& clearColor);
    // Draws the cursor over the frame, then draws and shows the frame: only
    // the changed part (frame pixels; the cursor's old and new places are
    // added) when given and the frame holds the last one, else all of it.
    // A part of more than kWholeFrameShare of the frame is drawn whole.
    void Present(const DirtyRegion* changed = nullptr);
    static constexpr double kWholeFrameShare = 0.6;
    // Whether the frame goes straight into the window's back buffer.
    bool DrawsIntoWindow() const { return mDirect; }
    // Tests of the off-screen frame turn drawing into the window off.
    void SetDrawIntoWindowAllowed(bool allowed) { mDirectAllowed = allowed; }
    // Counts BeginFrame calls: what was drawn in the frame in progress (or
    // the last one) can tell it was drawn there.
    uint64_t GetFrameNumber() const { return mFrameNumber; }

    // Draws onto the frame (Graphics with no target): recorded while a frame
    // is begun, else drawn at once.
    void DrawFrameQuads(const GpuDrawState& state, ShaderProgram* shader, const GpuVertex* vertices, int quadCount);
    void ClearFrame(const Color& color);
    // The state of a draw on the frame (its target is resolved when drawn).
    GpuDrawState FrameState() const;
    static constexpr uint32_t kFrameTarget = 0xFFFFFFFFu;

    // Where draws on the frame land: a widget opens a scope around its
    // drawing and learns the frame pixels it touched.
    Rect BeginArea();
    Rect EndArea(const Rect& outer);
    void NoteFrameArea(const Rect& area) { mArea = mArea.Union(area); }

    // What the frames cost, for benchmarks: frames shown, those drawn whole,
    // and the frame pixels drawn.
    struct FrameStats {
        uint64_t mFrames = 0;
        uint64_t mWholeFrames = 0;
        uint64_t mPixels = 0;
    };
    const FrameStats& GetFrameStats() const { return mStats; }
    void SetStretch(bool stretch) { mStretch = stretch; }
    bool GetStretch() const { return mStretch; }
    bool SetVSync(bool on);
    // Whether the display paces the frames: vsync asked for and granted,
    // and frames shown by swapping (a part shown by copying is not paced).
    bool IsVSyncActive() const;

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
    // A drawn cursor stands elsewhere than the last frame has it.
    bool CursorMoved() const { return HasCursor() && (mCursorX != mDrawnCursorX || mCursorY != mDrawnCursorY); }
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
    // Draws the cursor, where it is now, and returns the frame pixels it took.
    Rect DrawCursor();
    double SecondsSinceStart() const;
    // Whether the frame may go straight into the window now.
    bool CanDrawIntoWindow() const;
    // The handle draws on the frame go to: 0 for the window, else the
    // off-screen frame's (0 when it cannot be made: check mDirect).
    uint32_t FrameTargetHandle();
    // Draws what was recorded so far, whole, and draws the rest of the
    // frame at once: something reads the frame before it is presented.
    void FlushRecording();
    void ShowFrame(bool whole, const DirtyRegion& region);

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
    Rect mDrawnCursorArea;  // where the last frame has the cursor
    int mDrawnCursorX = -1, mDrawnCursorY = -1;
    uint64_t mFrameNumber = 0;
    // The frame in progress.
    FrameRecorder mRecorder;
    bool mRecording = false;
    bool mWholeFrame = false;   // read before presenting: drawn whole
    bool mDirect = false;
    bool mDirectAllowed = true;
    bool mHasFrame = false;     // the frame's target holds the last frame
    Rect mArea;                 // frame pixels touched in the open area scope
    FrameStats mStats;
    // GPU objects released off the main thread, deleted at the next frame.
    std::vector<uint32_t> mDeadTextures;
    std::vector<uint32_t> mDeadTargets;
    void DeleteDeadObjects();
    // Frames presented, for what each surface was last drawn in.
    uint64_t mPresentCount = 0;
};
