#include "render/FrameRecorder.h"

#include <algorithm>
#include <cmath>

Rect QuadArea(const GpuDrawState& state, const GpuVertex quad[4]) {
    float x0 = quad[0].mX, x1 = quad[0].mX, y0 = quad[0].mY, y1 = quad[0].mY;
    for (int i = 1; i < 4; ++i) {
        x0 = std::min(x0, quad[i].mX);
        x1 = std::max(x1, quad[i].mX);
        y0 = std::min(y0, quad[i].mY);
        y1 = std::max(y1, quad[i].mY);
    }
    // Whole pixels, widened: a pixel is touched when any part of it is.
    const int ix0 = static_cast<int>(std::floor(x0)), iy0 = static_cast<int>(std::floor(y0));
    const int ix1 = static_cast<int>(std::ceil(x1)), iy1 = static_cast<int>(std::ceil(y1));
    Rect area(ix0, iy0, ix1 - ix0, iy1 - iy0);
    area = area.Intersection(Rect(0, 0, state.mTargetWidth, state.mTargetHeight));
    if (state.mScissor)
        area = area.Intersection(Rect(state.mScissorX, state.mScissorY, state.mScissorWidth, state.mScissorHeight));
    return area;
}

void FrameRecorder::Clear() {
    mCommands.clear();
    mVertices.clear();
    mConstantValues.clear();
}

void FrameRecorder::Add(const GpuDrawState& state, ShaderProgram* shader, const GpuVertex* vertices, int quadCount) {
    if (quadCount <= 0) return;
    Rect bounds;
    for (int q = 0; q < quadCount; ++q) bounds = bounds.Union(QuadArea(state, vertices + 4 * q));
    if (bounds.IsEmpty() && !shader) return;  // a program of ours may place its vertices elsewhere
    if (shader) bounds = Rect(0, 0, state.mTargetWidth, state.mTargetHeight);
    // Unbatched draws of the same state one after another become one draw.
    if (!shader && !mCommands.empty() && !mCommands.back().mShader && !mCommands.back().mClear &&
        mCommands.back().mState.SameAs(state)) {
        Command& last = mCommands.back();
        last.mQuadCount += static_cast<uint32_t>(quadCount);
        last.mBounds = last.mBounds.Union(bounds);
    } else {
        Command& command = mCommands.emplace_back();
        command.mState = state;
        command.mShader = shader;
        command.mFirstVertex = static_cast<uint32_t>(mVertices.size());
        command.mQuadCount = static_cast<uint32_t>(quadCount);
        command.mBounds = bounds;
        if (shader) {
            command.mConstants = static_cast<int>(mConstantValues.size());
            mConstantValues.push_back(shader->TakeConstants());
        }
    }
    mVertices.insert(mVertices.end(), vertices, vertices + 4 * quadCount);
}

void FrameRecorder::AddClear(const GpuDrawState& frame, uint32_t argb) {
    // Whatever came before is covered.
    Clear();
    Command& command = mCommands.emplace_back();
    command.mState = frame;
    command.mState.mBlend = GpuBlend::Replace;
    command.mState.mTexture = 0;
    command.mState.mProgram = 0;
    command.mState.mScissor = false;
    command.mClear = true;
    command.mClearColor = argb;
    command.mBounds = Rect(0, 0, frame.mTargetWidth, frame.mTargetHeight);
}

void FrameRecorder::ClearPart(GpuBackend& backend, const Command& command, uint32_t target, const Rect& part) const {
    const uint32_t c = command.mClearColor;
    const auto channel = [c](int shift) { return static_cast<float>((c >> shift) & 0xff) / 255.0f; };
    const int width = command.mState.mTargetWidth, height = command.mState.mTargetHeight;
    if (part.mX <= 0 && part.mY <= 0 && part.mWidth >= width && part.mHeight >= height)
        backend.ClearTarget(target, width, height, channel(16), channel(8), channel(0), channel(24));
    else
        backend.ClearTargetPart(target, width, height, part.mX, part.mY, part.mWidth, part.mHeight, channel(16),
                                channel(8), channel(0), channel(24));
}

void FrameRecorder::Send(GpuBackend& backend, uint32_t target) const {
    // Every quad drawn goes to the driver in one upload, the draws then
    // take ranges of it.
    backend.UploadQuads(mVertices.data(), static_cast<int>(mVertices.size()), mQuads.data(),
                        static_cast<int>(mQuads.size()));
    for (const Draw& draw : mDraws) {
        const Command& command = mCommands[draw.mCommand];
        if (command.mClear) {
            ClearPart(backend, command, target, draw.mPart);
            continue;
        }
        if (command.mShader && command.mConstants >= 0)
            command.mShader->ApplyConstants(mConstantValues[static_cast<size_t>(command.mConstants)]);
        backend.DrawUploadedQuads(draw.mState, static_cast<int>(draw.mFirstQuad), static_cast<int>(draw.mQuadCount));
    }
}

void FrameRecorder::ReplayWhole(GpuBackend& backend, uint32_t target) const {
    mDraws.clear();
    mQuads.clear();
    for (size_t i = 0; i < mCommands.size(); ++i) {
        const Command& command = mCommands[i];
        Draw& draw = mDraws.emplace_back();
        draw.mCommand = i;
        draw.mState = command.mState;
        draw.mState.mTarget = target;
        draw.mPart = Rect(0, 0, command.mState.mTargetWidth, command.mState.mTargetHeight);
        if (command.mClear) continue;
        draw.mFirstQuad = static_cast<uint32_t>(mQuads.size());
        draw.mQuadCount = command.mQuadCount;
        const uint32_t firstQuad = command.mFirstVertex / 4;
        for (uint32_t q = 0; q < command.mQuadCount; ++q) mQuads.push_back(firstQuad + q);
    }
    Send(backend, target);
}

void FrameRecorder::ReplayRegion(GpuBackend& backend, uint32_t target, const DirtyRegion& region) const {
    mDraws.clear();
    mQuads.clear();
    for (const Rect& rect : region.Rects()) {
        for (size_t i = 0; i < mCommands.size(); ++i) {
            const Command& command = mCommands[i];
            if (!command.mBounds.Intersects(rect)) continue;
            GpuDrawState state = command.mState;
            state.mTarget = target;
            Rect scissor = rect;
            if (state.mScissor)
                scissor = scissor.Intersection(Rect(state.mScissorX, state.mScissorY, state.mScissorWidth, state.mScissorHeight));
            if (scissor.IsEmpty()) continue;
            state.mScissor = true;
            state.mScissorX = scissor.mX;
            state.mScissorY = scissor.mY;
            state.mScissorWidth = scissor.mWidth;
            state.mScissorHeight = scissor.mHeight;
            Draw draw;
            draw.mCommand = i;
            draw.mState = state;
            draw.mPart = scissor;
            draw.mFirstQuad = static_cast<uint32_t>(mQuads.size());
            if (!command.mClear) {
                const uint32_t firstQuad = command.mFirstVertex / 4;
                for (uint32_t q = 0; q < command.mQuadCount; ++q) {
                    // A program of ours may place its vertices elsewhere: all go.
                    const GpuVertex* quad = mVertices.data() + 4 * (firstQuad + q);
                    if (command.mShader || !QuadArea(state, quad).IsEmpty()) mQuads.push_back(firstQuad + q);
                }
                draw.mQuadCount = static_cast<uint32_t>(mQuads.size()) - draw.mFirstQuad;
                if (draw.mQuadCount == 0) continue;
            }
            mDraws.push_back(draw);
        }
    }
    Send(backend, target);
}
