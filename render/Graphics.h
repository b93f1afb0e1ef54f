#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "core/Color.h"
#include "core/Geometry.h"
#include "core/Matrix4.h"
#include "platform/GpuBackend.h"
#include "render/GraphicsState.h"

class Font;
class Image;
class ImageSurface;
class ShaderProgram;

// The 2D drawing context on a render target: an ImageSurface, or the screen
// frame when the target is null. Draws go through a batch of textured quads
// that is replayed in submission order; the destructor flushes.
class Graphics : public GraphicsState {
public:
    explicit Graphics(ImageSurface* target = nullptr);
    ~Graphics();
    Graphics(const Graphics&) = delete;
    Graphics& operator=(const Graphics&) = delete;

    ImageSurface* GetTarget() const { return mTarget; }
    int GetTargetWidth() const { return mTargetWidth; }
    int GetTargetHeight() const { return mTargetHeight; }

    // --- State --------------------------------------------------------------
    void SetColor(const Color& color) { mColor = color; }
    const Color& GetColor() const { return mColor; }
    // On: images are drawn in the current colour; off: in white.
    void SetColorizeImages(bool on) { mColorizeImages = on; }
    bool GetColorizeImages() const { return mColorizeImages; }
    void SetFont(Font* font) { mFont = font; }
    Font* GetFont() const { return mFont; }
    void SetDrawMode(int mode) { mDrawMode = mode; }
    int GetDrawMode() const { return mDrawMode; }
    // A program used instead of the draw mode's own until reset with null.
    void SetShader(ShaderProgram* shader) { mShader = shader; }

    void Translate(float dx, float dy) { mTransX += dx; mTransY += dy; }
    void SetTranslation(float x, float y) { mTransX = x; mTransY = y; }
    float GetTransX() const { return mTransX; }
    float GetTransY() const { return mTransY; }

    // Clip rectangles are given in translated coordinates; ClipRect narrows the
    // current clip, SetClipRect replaces it.
    void SetClipRect(float x, float y, float width, float height);
    void ClipRect(float x, float y, float width, float height);
    void ClearClipRect();

    void RestoreState(const GraphicsState& state) { GraphicsState::operator=(state); }

    // --- Batching -----------------------------------------------------------
    void SetBatching(bool on);
    bool IsBatching() const { return mBatching; }
    // Replays the batch in submission order and empties it.
    void FlushBatch();

    // --- Drawing ------------------------------------------------------------
    void FillRect(float x, float y, float width, float height);
    void FillRect(const Rect& rect) {
        FillRect(static_cast<float>(rect.mX), static_cast<float>(rect.mY),
                 static_cast<float>(rect.mWidth), static_cast<float>(rect.mHeight));
    }
    void Clear(const Color& color);  // the whole target, ignoring clip and mode
    // A one-pixel outline inside the rectangle.
    void DrawRect(float x, float y, float width, float height);
    // A line of the given thickness (pixels) in the current colour.
    void DrawLine(float x1, float y1, float x2, float y2, float thickness = 1.0f);

    // One cel, or a source rectangle of the image when given (width > 0).
    void DrawImage(Image* image, float x, float y, int cel = 0, const Rect& source = Rect());
    // The whole image (cel 0 when flag is false, else all cels as one picture).
    void DrawImageAt(Image* image, float x, float y, bool wholeImage = false);
    // A cel scaled to the given size.
    void DrawImageScaled(Image* image, float x, float y, float width, float height, int cel = 0);
    // A source rectangle of the image stretched over a destination rectangle.
    void DrawImageStretched(Image* image, const Rect& source, const FRect& dest);
    // A whole cel through a transform, centred at (x, y).
    void DrawImageTransformed(Image* image, const Transform& transform, int cel, float x, float y);

    // --- Text ---------------------------------------------------------------
    // y is the baseline.
    void DrawString(const std::wstring& text, float x, float y);
    // Justification 0 centres in width (on x when width is 0), 1 right-aligns,
    // anything else left-aligns. Returns the width of the line.
    int DrawTextLine(const std::wstring& text, float x, float y, float width, int justification,
                     bool draw = true, size_t start = 0, size_t length = std::wstring::npos);
    // Word-wrapped text in a rectangle, the first line's top at rect.mY.
    // lineSpacing < 0 uses the font's. Lines below heightLimit (> 0) are not
    // drawn. Returns the height used.
    int DrawTextWrapped(const Rect& rect, const std::wstring& text, int lineSpacing = -1,
                        int justification = -1, int* widestLineOut = nullptr,
                        int heightLimit = -1, bool draw = true);
    // Word-wrapped with the first baseline at y. Returns the height used.
    int DrawTextWrappedAtBaseline(float x, float y, const std::wstring& text, int width,
                                  int justification, int* widestLineOut = nullptr);
    int MeasureTextWrappedHeight(const std::wstring& text, int wrapWidth,
                                 int* widestLineOut = nullptr);

    // --- Low level (fonts and the device use these) -------------------------
    // A textured quad: corners (top-left, top-right, bottom-right, bottom-left)
    // in drawing coordinates (the translation is added), the source rectangle
    // in the surface's pixels. A surface split into pieces draws per piece.
    void DrawQuad(ImageSurface* surface, const float corners[8], const Rect& source,
                  const Color& color);
    // Colour images are drawn in (white, or the current colour).
    Color ImageColor() const { return mColorizeImages ? mColor : Color::White; }

    // Counters for tests and benchmarks.
    int GetSubmittedDrawCount() const { return mDrawCalls; }

private:
    struct Command {
        GpuDrawState mState;
        ShaderProgram* mShader = nullptr;
        uint32_t mFirstVertex = 0;
        uint32_t mVertexCount = 0;
    };

    // An affine map from source pixels to drawing coordinates:
    // dest = origin + u * (sx - sx0) + v * (sy - sy0).
    struct SourceMap {
        float mOriginX, mOriginY;
        float mUx, mUy;  // per source pixel along x
        float mVx, mVy;  // per source pixel along y
    };

    void AddQuad(const GpuDrawState& state, const GpuVertex quad[4]);
    GpuDrawState MakeState(ImageSurface* surface, uint32_t texture) const;
    void SubmitCommands();
    // Draws a rectangle of an image (in the image's own pixels) through a map.
    void DrawMapped(Image* image, const Rect& imageRect, const SourceMap& map);
    uint32_t TargetHandle() const;

    ImageSurface* mTarget = nullptr;
    ImageSurface* mTargetSurface = nullptr;  // null for the frame
    int mTargetWidth = 0;
    int mTargetHeight = 0;
    ShaderProgram* mShader = nullptr;
    bool mBatching = false;
    std::vector<Command> mCommands;
    std::vector<GpuVertex> mVertices;
    int mDrawCalls = 0;
};
