#pragma once
#include <cstdint>
#include <vector>

#include "core/DirtyRegion.h"
#include "core/Geometry.h"
#include "platform/GpuBackend.h"
#include "render/ShaderProgram.h"

// The draws of one frame, kept until the frame knows what changed in it: a
// walk of the widget tree both finds where everything stands now and what
// to draw, and only then is it drawn, all of it or only where something
// changed (each draw scissored to the changed rectangles, and the quads
// wholly outside them not sent).
class FrameRecorder {
public:
    void Clear();
    bool IsEmpty() const { return mCommands.empty(); }
    size_t GetCommandCount() const { return mCommands.size(); }

    // Quads in frame pixels; the state's target is ignored (the frame's is
    // given at replay). A draw through a program of ours keeps its constants
    // as they are now.
    void Add(const GpuDrawState& state, ShaderProgram* shader, const GpuVertex* vertices, int quadCount);
    // The whole frame filled with one colour (premultiplied as a clear is).
    void AddClear(const GpuDrawState& frame, uint32_t argb);

    // Everything, each draw with its own scissor.
    void ReplayWhole(GpuBackend& backend, uint32_t target) const;
    // Only inside the region's rectangles, one after another: each is drawn
    // from its clear up, so rectangles that overlap come out the same.
    void ReplayRegion(GpuBackend& backend, uint32_t target, const DirtyRegion& region) const;

private:
    struct Command {
        GpuDrawState mState;
        ShaderProgram* mShader = nullptr;
        int mConstants = -1;  // index into mConstantValues
        uint32_t mFirstVertex = 0;
        uint32_t mQuadCount = 0;
        Rect mBounds;        // frame pixels the quads may touch
        bool mClear = false;
        uint32_t mClearColor = 0;
    };
    // One draw of a replay: a command's quads inside one rectangle.
    struct Draw {
        size_t mCommand = 0;
        GpuDrawState mState;
        Rect mPart;              // what a clear fills
        uint32_t mFirstQuad = 0;  // into mQuads
        uint32_t mQuadCount = 0;
    };
    void ClearPart(GpuBackend& backend, const Command& command, uint32_t target, const Rect& part) const;
    // Uploads the quads the draws take, then draws them in order.
    void Send(GpuBackend& backend, uint32_t target) const;

    std::vector<Command> mCommands;
    std::vector<GpuVertex> mVertices;
    std::vector<ShaderConstantValues> mConstantValues;
    // A replay's draws and the quads they take, kept to reuse their memory.
    mutable std::vector<Draw> mDraws;
    mutable std::vector<uint32_t> mQuads;
};

// The frame pixels a quad touches, within its scissor when it has one; empty
// when it touches none.
Rect QuadArea(const GpuDrawState& state, const GpuVertex quad[4]);
