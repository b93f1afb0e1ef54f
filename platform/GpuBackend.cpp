#include "platform/GpuBackend.h"

#include <algorithm>

void GpuBackend::UploadQuads(const GpuVertex* vertices, int vertexCount, const uint32_t* quads, int quadCount) {
    mUploaded.clear();
    mUploaded.reserve(static_cast<size_t>(std::max(quadCount, 0)) * 4);
    for (int i = 0; i < quadCount; ++i) {
        const uint32_t first = quads[i] * 4;
        if (first + 4 > static_cast<uint32_t>(vertexCount)) continue;
        mUploaded.insert(mUploaded.end(), vertices + first, vertices + first + 4);
    }
}

void GpuBackend::DrawUploadedQuads(const GpuDrawState& state, int first, int count) {
    if (first < 0 || count <= 0 || static_cast<size_t>(first + count) * 4 > mUploaded.size()) return;
    DrawQuads(state, mUploaded.data() + static_cast<size_t>(first) * 4, count);
}

void GpuBackend::ClearTargetPart(uint32_t target, int width, int height, int x, int y, int partWidth, int partHeight,
                                 float r, float g, float b, float a) {
    GpuDrawState state;
    state.mTarget = target;
    state.mTargetWidth = width;
    state.mTargetHeight = height;
    state.mBlend = GpuBlend::Replace;
    state.mScissor = true;
    state.mScissorX = x;
    state.mScissorY = y;
    state.mScissorWidth = partWidth;
    state.mScissorHeight = partHeight;
    const auto channel = [](float v) { return static_cast<uint32_t>(std::clamp(v, 0.0f, 1.0f) * 255.0f + 0.5f); };
    const uint32_t c = channel(a) << 24 | channel(r) << 16 | channel(g) << 8 | channel(b);
    const float x0 = static_cast<float>(x), y0 = static_cast<float>(y);
    const float x1 = x0 + static_cast<float>(partWidth), y1 = y0 + static_cast<float>(partHeight);
    const GpuVertex quad[4] = {{x0, y0, 0, 0, c}, {x1, y0, 1, 0, c}, {x1, y1, 1, 1, c}, {x0, y1, 0, 1, c}};
    DrawQuads(state, quad, 1);
}
