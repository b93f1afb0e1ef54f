#pragma once
#include <memory>
#include <string>

#include "platform/GpuBackend.h"

// The OpenGL 3.3 core implementation of the renderer's GPU layer. Needs the
// window's context to be current on the calling (main) thread.
std::unique_ptr<GpuBackend> CreateGLBackend(std::string* error);
