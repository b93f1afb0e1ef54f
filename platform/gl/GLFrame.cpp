#include "platform/gl/GLFrame.h"

#include <epoxy/gl.h>

#include <algorithm>

namespace {
// A rectangle in top-left window coordinates; GL counts rows from the bottom.
void ClearRect(int drawableHeight, int x, int y, int width, int height) {
    if (width <= 0 || height <= 0) return;
    glScissor(x, drawableHeight - y - height, width, height);
    glClear(GL_COLOR_BUFFER_BIT);
}
}  // namespace

void GLClearBars(int drawableWidth, int drawableHeight, const Viewport& view) {
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glViewport(0, 0, drawableWidth, drawableHeight);
    glClearColor(0.f, 0.f, 0.f, 1.f);
    glEnable(GL_SCISSOR_TEST);
    int left = std::clamp(view.x, 0, drawableWidth);
    int right = std::clamp(view.x + view.width, left, drawableWidth);
    int top = std::clamp(view.y, 0, drawableHeight);
    int bottom = std::clamp(view.y + view.height, top, drawableHeight);
    ClearRect(drawableHeight, 0, 0, drawableWidth, top);
    ClearRect(drawableHeight, 0, bottom, drawableWidth, drawableHeight - bottom);
    ClearRect(drawableHeight, 0, top, left, bottom - top);
    ClearRect(drawableHeight, right, top, drawableWidth - right, bottom - top);
    glDisable(GL_SCISSOR_TEST);
}
