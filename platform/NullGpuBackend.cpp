#include "platform/GpuBackend.h"

#include <algorithm>

bool NullGpuBackend::ReadPixels(uint32_t, int, int, int, int width, int height, uint32_t* out) {
    if (width <= 0 || height <= 0 || !out) return false;
    std::fill_n(out, static_cast<size_t>(width) * static_cast<size_t>(height), 0xFF000000u);
    return true;
}
