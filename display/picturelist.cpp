#include "display/picturelist.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace vantrel {

namespace {

constexpr std::uint32_t RgbMask = 0x00FFFFFFu; // the 24 colour bits of a pixel value
constexpr std::uint32_t KeyColor = 0x000000u;  // black, the transparent colour

// The part of [pos, pos + size) that lies inside [0, limit), as offsets into the source.
// Formed in 64 bits so that any int position is safe.
struct Span {
    std::int64_t srcBegin = 0;
    std::int64_t srcEnd = 0;
    bool empty() const { return srcBegin >= srcEnd; }
};

Span clip(int pos, int size, int limit) {
    const std::int64_t begin = std::max<std::int64_t>(pos, 0);
    const std::int64_t end = std::min<std::int64_t>(std::int64_t{pos} + size, limit);
    return Span{begin - pos, end - pos};
}

} // namespace

PreparedPicture::PreparedPicture(const Image& image, bool transparent)
    : width_(image.width), height_(image.height), transparent_(transparent) {
    if (width_ < 0 || height_ < 0 ||
        image.pixels.size() !=
            static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_)) {
        throw std::invalid_argument("PreparedPicture: pixel count does not match the size");
    }
    pixels_.resize(image.pixels.size());
    std::transform(image.pixels.begin(), image.pixels.end(), pixels_.begin(),
                   [](std::uint32_t p) { return p & RgbMask; });
    if (!transparent_) {
        return;
    }
    // The key is resolved here, once, so that drawing copies whole runs without looking
    // at single pixels.
    rowRuns_.reserve(static_cast<std::size_t>(height_) + 1);
    for (int y = 0; y < height_; ++y) {
        rowRuns_.push_back(static_cast<std::uint32_t>(runs_.size()));
        const std::uint32_t* line = pixels_.data() + static_cast<std::size_t>(y) * width_;
        int x = 0;
        while (x < width_) {
            while (x < width_ && line[x] == KeyColor) {
                ++x;
            }
            const int start = x;
            while (x < width_ && line[x] != KeyColor) {
                ++x;
            }
            if (x > start) {
                runs_.push_back(Run{start, x - start});
            }
        }
    }
    rowRuns_.push_back(static_cast<std::uint32_t>(runs_.size()));
}

void PreparedPicture::drawTo(BackBuffer& target, int x, int y) const {
    const Span cols = clip(x, width_, target.width());
    const Span rows = clip(y, height_, target.height());
    if (cols.empty() || rows.empty()) {
        return;
    }
    // Both spans are non-empty, so every visible offset fits in int; x and y themselves
    // may lie anywhere, so the shift to target columns is taken in 64 bits.
    const auto srcLeft = static_cast<int>(cols.srcBegin);
    const auto srcRight = static_cast<int>(cols.srcEnd);
    const std::int64_t shiftX = x;
    const auto copy = [&](std::uint32_t* dstLine, const std::uint32_t* srcLine, int begin,
                          int end) {
        std::memcpy(dstLine + static_cast<std::ptrdiff_t>(begin + shiftX), srcLine + begin,
                    static_cast<std::size_t>(end - begin) * sizeof(std::uint32_t));
    };
    for (auto sy = static_cast<int>(rows.srcBegin); sy < rows.srcEnd; ++sy) {
        const std::uint32_t* src = pixels_.data() + static_cast<std::size_t>(sy) * width_;
        std::uint32_t* dst = target.row(static_cast<int>(sy + std::int64_t{y}));
        if (!transparent_) {
            copy(dst, src, srcLeft, srcRight);
            continue;
        }
        for (std::uint32_t i = rowRuns_[sy]; i < rowRuns_[sy + 1]; ++i) {
            const Run run = runs_[i];
            if (run.start >= srcRight) {
                break; // runs are in column order
            }
            const int begin = std::max(run.start, srcLeft);
            const int end = std::min(run.start + run.length, srcRight);
            if (begin < end) {
                copy(dst, src, begin, end);
            }
        }
    }
}

TDXImageList::TDXImageList() : images_(makeTestPictures()) {}

int TDXImageList::width(int index) const {
    return images_.at(index).width;
}

int TDXImageList::height(int index) const {
    return images_.at(index).height;
}

const Image& TDXImageList::image(int index) const {
    return images_.at(index);
}

void TDXImageList::prepare() {
    release();
    surfaces_.reserve(images_.size());
    for (int i = 0; i < PictureCount; ++i) {
        surfaces_.emplace_back(images_[i], isTransparent(i));
    }
    prepared_ = true;
}

void TDXImageList::release() {
    surfaces_.clear();
    prepared_ = false;
}

void TDXImageList::draw(BackBuffer& target, int index, int x, int y) const {
    if (!prepared_ || index < 0 || index >= static_cast<int>(surfaces_.size())) {
        return;
    }
    surfaces_[index].drawTo(target, x, y);
}

} // namespace vantrel
