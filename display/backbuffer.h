// The off-screen surface a frame is composed in.
// In: fills and rectangle fills with 0x00RRGGBB values, picture copies (picturelist.h).
// Out: width * height pixels that the drawing area presents unchanged.
#pragma once

#include <cstdint>
#include <vector>

namespace vantrel {

class BackBuffer {
  public:
    BackBuffer(int width, int height); // pixels; starts black

    int width() const { return width_; }
    int height() const { return height_; }
    std::uint32_t* row(int y) { return pixels_.data() + static_cast<std::size_t>(y) * width_; }
    const std::uint32_t* row(int y) const {
        return pixels_.data() + static_cast<std::size_t>(y) * width_;
    }
    const std::uint32_t* data() const { return pixels_.data(); }
    std::uint32_t at(int x, int y) const { return row(y)[x]; }

    void fill(std::uint32_t color);
    // Columns left..right-1, rows top..bottom-1, cut to the buffer; nothing when wholly outside.
    void fillRect(int left, int top, int right, int bottom, std::uint32_t color);

  private:
    int width_ = 0;
    int height_ = 0;
    std::vector<std::uint32_t> pixels_;
};

} // namespace vantrel

namespace vantrel {

// The pixel value of a colour: red in bits 16..23, green in 8..15, blue in 0..7; each
// component is the low 8 bits of its value.
constexpr std::uint32_t pixelValue(int red, int green, int blue) {
    return (static_cast<std::uint32_t>(red & 0xFF) << 16) |
           (static_cast<std::uint32_t>(green & 0xFF) << 8) |
           static_cast<std::uint32_t>(blue & 0xFF);
}

inline constexpr std::uint32_t White = 0x00FFFFFF;

} // namespace vantrel
