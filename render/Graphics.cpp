#include "render/Graphics.h"

#include <algorithm>
#include <cmath>

#include "render/D3DInterface.h"
#include "render/Font.h"
#include "render/FrameRecorder.h"
#include "render/Image.h"
#include "render/ShaderProgram.h"
#include "render/TextLayout.h"

namespace {
GpuBlend BlendForMode(int mode) {
    switch (mode) {
    case DRAWMODE_ADDITIVE: return GpuBlend::Additive;
    case DRAWMODE_MULTIPLY: return GpuBlend::Multiply;
    case DRAWMODE_OVERLAY: return GpuBlend::Overlay;
    case DRAWMODE_SOFTLIGHT: return GpuBlend::SoftLight;
    case DRAWMODE_SUBTRACTIVE: return GpuBlend::Subtractive;
    case DRAWMODE_NONE: return GpuBlend::Replace;
    case DRAWMODE_MASK: return GpuBlend::MaskAlpha;
    default: return GpuBlend::Normal;
    }
}
}  // namespace

Graphics::Graphics(ImageSurface* target) : mTarget(target) {
    // The frame has no surface of its own when it is the window's back
    // buffer: the device resolves where its draws go.
    D3DInterface* device = D3DInterface::Get();
    mTargetSurface = target;
    mTargetWidth = target ? target->GetWidth() : device->GetWidth();
    mTargetHeight = target ? target->GetHeight() : device->GetHeight();
}

Graphics::~Graphics() { FlushBatch(); }

// --- State ---------------------------------------------------------------------

void Graphics::SetClipRect(float x, float y, float width, float height) {
    mClipRect = FRect(x + mTransX, y + mTransY, std::max(0.0f, width), std::max(0.0f, height));
    mClipping = true;
}

void Graphics::ClipRect(float x, float y, float width, float height) {
    FRect rect(x + mTransX, y + mTransY, std::max(0.0f, width), std::max(0.0f, height));
    if (mClipping) {
        FRect narrowed = mClipRect.Intersection(rect);
        if (narrowed.IsEmpty()) narrowed = FRect(narrowed.mX, narrowed.mY, 0.0f, 0.0f);
        mClipRect = narrowed;
    } else {
        mClipRect = rect;
    }
    mClipping = true;
}

void Graphics::ClearClipRect() {
    mClipping = false;
    mClipRect = FRect();
}

// --- Batching --------------------------------------------------------------------

void Graphics::SetBatching(bool on) {
    if (mBatching && !on) FlushBatch();
    mBatching = on;
}

void Graphics::FlushBatch() { SubmitCommands(); }

uint32_t Graphics::TargetHandle() const {
    if (!mTarget) return D3DInterface::kFrameTarget;
    ImageRenderTarget* target = mTargetSurface ? mTargetSurface->GetRenderTarget() : nullptr;
    return target ? target->GetHandle() : 0;
}

GpuDrawState Graphics::MakeState(ImageSurface* surface, uint32_t texture) const {
    GpuDrawState state;
    state.mTarget = TargetHandle();
    state.mTargetWidth = mTargetWidth;
    state.mTargetHeight = mTargetHeight;
    state.mTexture = texture;
    state.mTexturePremultiplied = surface && surface->mPremultiplied;
    state.mBlend = BlendForMode(mDrawMode);
    if (mShader) {
        state.mProgram = mShader->GetHandle();
    } else if (state.mBlend == GpuBlend::Overlay || state.mBlend == GpuBlend::SoftLight) {
        ShaderProgram* program =
            ShaderProgram::Load(state.mBlend == GpuBlend::Overlay ? "overlay" : "softlight");
        state.mProgram = program ? program->GetHandle() : 0;
    }
    if (mClipping) {
        int x0 = static_cast<int>(std::floor(mClipRect.mX + 0.5f));
        int y0 = static_cast<int>(std::floor(mClipRect.mY + 0.5f));
        int x1 = static_cast<int>(std::floor(mClipRect.mX + mClipRect.mWidth + 0.5f));
        int y1 = static_cast<int>(std::floor(mClipRect.mY + mClipRect.mHeight + 0.5f));
        x0 = std::clamp(x0, 0, mTargetWidth);
        x1 = std::clamp(x1, x0, mTargetWidth);
        y0 = std::clamp(y0, 0, mTargetHeight);
        y1 = std::clamp(y1, y0, mTargetHeight);
        state.mScissor = true;
        state.mScissorX = x0;
        state.mScissorY = y0;
        state.mScissorWidth = x1 - x0;
        state.mScissorHeight = y1 - y0;
    }
    return state;
}

void Graphics::AddQuad(const GpuDrawState& state, const GpuVertex quad[4]) {
    if (state.mScissor && (state.mScissorWidth <= 0 || state.mScissorHeight <= 0)) return;
    if (state.mTarget == 0) return;  // the target could not be made: never the window
    // A quad that touches no pixel of its target (or its scissor) is not
    // sent; a program of ours might place its vertices elsewhere.
    const Rect area = QuadArea(state, quad);
    if (area.IsEmpty() && !mShader) return;
    // Where the frame is drawn on: the widget drawing learns its place.
    if (!mTarget) D3DInterface::Get()->NoteFrameArea(mShader ? Rect(0, 0, mTargetWidth, mTargetHeight) : area);
    // Runs with the same state merge; anything else starts a new command, so
    // the batch replays exactly in the order it was given.
    if (!mCommands.empty() && mCommands.back().mShader == mShader &&
        mCommands.back().mState.SameAs(state)) {
        mCommands.back().mVertexCount += 4;
    } else {
        Command command;
        command.mState = state;
        command.mShader = mShader;
        command.mFirstVertex = static_cast<uint32_t>(mVertices.size());
        command.mVertexCount = 4;
        mCommands.push_back(command);
    }
    mVertices.insert(mVertices.end(), quad, quad + 4);
    if (!mBatching) SubmitCommands();
}

void Graphics::SubmitCommands() {
    if (mCommands.empty()) return;
    D3DInterface* device = D3DInterface::Get();
    GpuBackend& backend = device->GetBackend();
    for (const Command& command : mCommands) {
        const int quads = static_cast<int>(command.mVertexCount / 4);
        if (!mTarget) {
            device->DrawFrameQuads(command.mState, command.mShader, mVertices.data() + command.mFirstVertex, quads);
        } else {
            if (command.mShader) command.mShader->ApplyConstants();
            backend.DrawQuads(command.mState, mVertices.data() + command.mFirstVertex, quads);
        }
        ++mDrawCalls;
    }
    mCommands.clear();
    mVertices.clear();
    if (mTargetSurface) mTargetSurface->mGpuNewer = true;
}

// --- Drawing ------------------------------------------------------------------------

void Graphics::FillRect(float x, float y, float width, float height) {
    if (width <= 0.0f || height <= 0.0f) return;
    float x0 = x + mTransX, y0 = y + mTransY, x1 = x0 + width, y1 = y0 + height;
    uint32_t c = mColor.ToARGB();
    GpuVertex quad[4] = {{x0, y0, 0, 0, c}, {x1, y0, 1, 0, c}, {x1, y1, 1, 1, c}, {x0, y1, 0, 1, c}};
    AddQuad(MakeState(nullptr, 0), quad);
}

void Graphics::DrawRect(float x, float y, float width, float height) {
    if (width <= 0.0f || height <= 0.0f) return;
    if (width <= 2.0f || height <= 2.0f) {
        FillRect(x, y, width, height);
        return;
    }
    FillRect(x, y, width, 1);
    FillRect(x, y + height - 1, width, 1);
    FillRect(x, y + 1, 1, height - 2);
    FillRect(x + width - 1, y + 1, 1, height - 2);
}

void Graphics::DrawLine(float x1, float y1, float x2, float y2, float thickness) {
    float dx = x2 - x1, dy = y2 - y1;
    float length = std::sqrt(dx * dx + dy * dy);
    if (length <= 0.0f || thickness <= 0.0f) return;
    // Half the thickness to each side of the line.
    float nx = -dy / length * thickness / 2.0f, ny = dx / length * thickness / 2.0f;
    float tx = mTransX, ty = mTransY;
    uint32_t c = mColor.ToARGB();
    GpuVertex quad[4] = {{x1 + nx + tx, y1 + ny + ty, 0, 0, c},
                         {x2 + nx + tx, y2 + ny + ty, 1, 0, c},
                         {x2 - nx + tx, y2 - ny + ty, 1, 1, c},
                         {x1 - nx + tx, y1 - ny + ty, 0, 1, c}};
    AddQuad(MakeState(nullptr, 0), quad);
}

void Graphics::Clear(const Color& color) {
    FlushBatch();
    if (!mTarget) {
        D3DInterface::Get()->ClearFrame(color);
        return;
    }
    uint32_t target = TargetHandle();
    if (!target) return;
    D3DInterface::Get()->GetBackend().ClearTarget(target, mTargetWidth, mTargetHeight,
                                                  color.mRed / 255.0f, color.mGreen / 255.0f,
                                                  color.mBlue / 255.0f, color.mAlpha / 255.0f);
    if (mTargetSurface) mTargetSurface->mGpuNewer = true;
}

void Graphics::DrawMapped(Image* image, const Rect& imageRect, const SourceMap& map) {
    if (!image || imageRect.IsEmpty()) return;
    ImageSurface* surface = image->GetSurface();
    if (!surface || surface == mTargetSurface) return;  // no feedback loops
    D3DInterface* device = D3DInterface::Get();
    if (!device->PrepareSurface(surface)) return;

    Rect within = image->GetSurfaceRect();
    Rect source = imageRect.Offset(within.mX, within.mY).Intersection(within);
    if (source.IsEmpty()) return;
    float sx0 = static_cast<float>(imageRect.mX + within.mX);
    float sy0 = static_cast<float>(imageRect.mY + within.mY);
    uint32_t c = ImageColor().ToARGB();

    for (const TexturePiece& piece : surface->GetPieces()) {
        Rect part = source.Intersection(Rect(piece.mX, piece.mY, piece.mWidth, piece.mHeight));
        if (part.IsEmpty()) continue;
        float px[2] = {static_cast<float>(part.mX), static_cast<float>(part.mX + part.mWidth)};
        float py[2] = {static_cast<float>(part.mY), static_cast<float>(part.mY + part.mHeight)};
        static const int kCorner[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
        GpuVertex quad[4];
        for (int i = 0; i < 4; ++i) {
            float sx = px[kCorner[i][0]], sy = py[kCorner[i][1]];
            float dx = sx - sx0, dy = sy - sy0;
            quad[i].mX = map.mOriginX + map.mUx * dx + map.mVx * dy + mTransX;
            quad[i].mY = map.mOriginY + map.mUy * dx + map.mVy * dy + mTransY;
            quad[i].mU = (sx - static_cast<float>(piece.mX)) / static_cast<float>(piece.mWidth);
            quad[i].mV = (sy - static_cast<float>(piece.mY)) / static_cast<float>(piece.mHeight);
            quad[i].mColor = c;
        }
        AddQuad(MakeState(surface, piece.mTexture), quad);
    }
}

void Graphics::DrawImage(Image* image, float x, float y, int cel, const Rect& source) {
    if (!image) return;
    Rect rect = source.mWidth > 0 && source.mHeight > 0 ? source : image->GetCelRect(cel);
    DrawMapped(image, rect, SourceMap{x, y, 1, 0, 0, 1});
}

void Graphics::DrawImageAt(Image* image, float x, float y, bool wholeImage) {
    if (!image) return;
    Rect rect = wholeImage ? Rect(0, 0, image->GetWidth(), image->GetHeight()) : image->GetCelRect(0);
    DrawMapped(image, rect, SourceMap{x, y, 1, 0, 0, 1});
}

void Graphics::DrawImageScaled(Image* image, float x, float y, float width, float height, int cel) {
    if (!image) return;
    Rect rect = image->GetCelRect(cel);
    if (rect.IsEmpty()) return;
    DrawMapped(image, rect,
               SourceMap{x, y, width / static_cast<float>(rect.mWidth), 0, 0,
                         height / static_cast<float>(rect.mHeight)});
}

void Graphics::DrawImageStretched(Image* image, const Rect& source, const FRect& dest) {
    if (!image || source.IsEmpty()) return;
    DrawMapped(image, source,
               SourceMap{dest.mX, dest.mY, dest.mWidth / static_cast<float>(source.mWidth), 0, 0,
                         dest.mHeight / static_cast<float>(source.mHeight)});
}

void Graphics::DrawImageTransformed(Image* image, const Transform& transform, int cel, float x,
                                    float y) {
    if (!image) return;
    Rect rect = image->GetCelRect(cel);
    if (rect.IsEmpty()) return;
    // The cel's top-left corner relative to its centre, through the transform.
    float ox = -rect.mWidth / 2.0f, oy = -rect.mHeight / 2.0f;
    float ux = ox + 1.0f, uy = oy, vx = ox, vy = oy + 1.0f;
    transform.TransformPoint(ox, oy);
    transform.TransformPoint(ux, uy);
    transform.TransformPoint(vx, vy);
    DrawMapped(image, rect, SourceMap{x + ox, y + oy, ux - ox, uy - oy, vx - ox, vy - oy});
}

void Graphics::DrawQuad(ImageSurface* surface, const float corners[8], const Rect& source,
                        const Color& color) {
    if (!surface || source.IsEmpty()) return;
    // Corners are an affine image of the source rectangle.
    float w = static_cast<float>(source.mWidth), h = static_cast<float>(source.mHeight);
    SourceMap map{corners[0],
                  corners[1],
                  (corners[2] - corners[0]) / w,
                  (corners[3] - corners[1]) / w,
                  (corners[6] - corners[0]) / h,
                  (corners[7] - corners[1]) / h};
    Color saved = mColor;
    bool savedColorize = mColorizeImages;
    mColor = color;
    mColorizeImages = true;
    DrawMapped(surface, source, map);
    mColor = saved;
    mColorizeImages = savedColorize;
}

// --- Text -------------------------------------------------------------------------------

void Graphics::DrawString(const std::wstring& text, float x, float y) {
    if (!mFont || text.empty()) return;
    mFont->DrawString(*this, x, y, text, mColor);
}

int Graphics::DrawTextLine(const std::wstring& text, float x, float y, float width,
                           int justification, bool draw, size_t start, size_t length) {
    if (!mFont || start >= text.size()) return 0;
    std::wstring line = text.substr(start, length);
    int lineWidth = mFont->StringWidth(line);
    float left = x;
    if (justification == 0) {
        left = width == 0.0f ? x - lineWidth / 2.0f : x + (width - lineWidth) / 2.0f;
    } else if (justification == 1) {
        left = x + width - lineWidth;
    }
    if (draw) DrawString(line, std::floor(left + 0.5f), y);
    return lineWidth;
}

int Graphics::DrawTextWrapped(const Rect& rect, const std::wstring& text, int lineSpacing,
                              int justification, int* widestLineOut, int heightLimit, bool draw) {
    if (widestLineOut) *widestLineOut = 0;
    if (!mFont) return 0;
    std::vector<TextLine> lines = WrapText(*mFont, text, rect.mWidth);
    float spacing = lineSpacing >= 0 ? static_cast<float>(lineSpacing) : mFont->GetLineSpacing();
    float baseline = static_cast<float>(rect.mY) + mFont->GetAscent();
    int widest = 0;
    int used = 0;
    for (size_t i = 0; i < lines.size(); ++i) {
        int bottom = static_cast<int>(std::lround(spacing * static_cast<float>(i + 1)));
        if (heightLimit > 0 && bottom > heightLimit && i > 0) break;
        const TextLine& line = lines[i];
        DrawTextLine(text, static_cast<float>(rect.mX), baseline + spacing * static_cast<float>(i),
                     static_cast<float>(rect.mWidth), justification, draw, line.mStart,
                     line.mLength);
        widest = std::max(widest, line.mWidth);
        used = bottom;
    }
    if (widestLineOut) *widestLineOut = widest;
    return used;
}

int Graphics::DrawTextWrappedAtBaseline(float x, float y, const std::wstring& text, int width,
                                        int justification, int* widestLineOut) {
    if (widestLineOut) *widestLineOut = 0;
    if (!mFont) return 0;
    std::vector<TextLine> lines = WrapText(*mFont, text, width);
    float spacing = mFont->GetLineSpacing();
    int widest = 0;
    for (size_t i = 0; i < lines.size(); ++i) {
        DrawTextLine(text, x, y + spacing * static_cast<float>(i), static_cast<float>(width),
                     justification, true, lines[i].mStart, lines[i].mLength);
        widest = std::max(widest, lines[i].mWidth);
    }
    if (widestLineOut) *widestLineOut = widest;
    return static_cast<int>(std::lround(spacing * static_cast<float>(lines.size())));
}

int Graphics::MeasureTextWrappedHeight(const std::wstring& text, int wrapWidth,
                                       int* widestLineOut) {
    if (widestLineOut) *widestLineOut = 0;
    return mFont ? MeasureWrappedText(*mFont, text, wrapWidth, widestLineOut) : 0;
}
