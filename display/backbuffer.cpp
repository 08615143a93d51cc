#include "display/backbuffer.h"

#include <algorithm>

namespace vantrel {

BackBuffer::BackBuffer(int width, int height)
    : width_(std::max(width, 0)), height_(std::max(height, 0)),
      pixels_(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_), 0u) {}

void BackBuffer::fill(std::uint32_t color) {
    std::fill(pixels_.begin(), pixels_.end(), color);
}

void BackBuffer::fillRect(int left, int top, int right, int bottom, std::uint32_t color) {
    // Only clamping, no sums: callers pass edges such as x - 100 - distance that may lie
    // anywhere in the int range.
    const int l = std::max(left, 0);
    const int t = std::max(top, 0);
    const int r = std::min(right, width_);
    const int b = std::min(bottom, height_);
    if (l >= r || t >= b) {
        return;
    }
    for (int y = t; y < b; ++y) {
        std::uint32_t* line = row(y);
        std::fill(line + l, line + r, color);
    }
}

} // namespace vantrel
