#include "platform/gl/GLFrame.h"

#include <epoxy/gl.h>

void GLClearFrame(int drawableWidth, int drawableHeight, const Viewport& view, float r, float g,
                  float b) {
    glViewport(0, 0, drawableWidth, drawableHeight);
    glDisable(GL_SCISSOR_TEST);
    glClearColor(0.f, 0.f, 0.f, 1.f);
    glClear(GL_COLOR_BUFFER_BIT);
    glEnable(GL_SCISSOR_TEST);
    glScissor(view.x, drawableHeight - view.y - view.height, view.width, view.height);
    glClearColor(r, g, b, 1.f);
    glClear(GL_COLOR_BUFFER_BIT);
    glDisable(GL_SCISSOR_TEST);
    glViewport(view.x, drawableHeight - view.y - view.height, view.width, view.height);
}
