// The picture list: the stored test pictures and their prepared, drawable form.
// In: the stored images (assets/pictures.h), prepare/release from the drawing area's
//     life cycle, draw requests at any integer position.
// Out: pixels copied into a back buffer, cut at its edges; black is skipped for
//     transparent pictures without any per-pixel test in the frame (runs are prepared once).
#pragma once

#include "assets/pictures.h"
#include "display/backbuffer.h"

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace vantrel {

// A picture converted once into the form the frame copies from.
class PreparedPicture {
public:
    PreparedPicture(const Image& image, bool transparent);

    int width() const { return width_; }
    int height() const { return height_; }
    // Copies the picture with its top-left corner at (x, y), cut to the buffer.
    void drawTo(BackBuffer& target, int x, int y) const;

private:
    struct Run {
        std::int32_t start;  // first column of the run
        std::int32_t length; // columns
    };
    int width_ = 0;
    int height_ = 0;
    bool transparent_ = false;
    std::vector<std::uint32_t> pixels_;
    std::vector<Run> runs_;               // non-key runs of every row, row after row
    std::vector<std::uint32_t> rowRuns_;  // index of each row's first run; height + 1 entries
};

class TDXImageList {
public:
    TDXImageList(); // generates the four stored pictures

    int width(int index) const;
    int height(int index) const;
    const Image& image(int index) const;

    // Prepares every picture anew (releasing old ones first); drawing works afterwards.
    void prepare();
    void release();
    bool prepared() const { return prepared_; }

    // Draws picture `index` at (x, y); nothing while not prepared.
    void draw(BackBuffer& target, int index, int x, int y) const;

private:
    std::array<Image, PictureCount> images_;
    std::vector<PreparedPicture> surfaces_;
    bool prepared_ = false;
};

} // namespace vantrel
