// The four stored test pictures, generated once at start-up.
// In: nothing (the marquee text comes from a mask kept as data in the repository).
// Out: images of 0x00RRGGBB pixels, row-major, row 0 at the top.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

namespace vantrel {

struct Image {
    int width = 0;                     // pixels
    int height = 0;                    // pixels
    std::vector<std::uint32_t> pixels; // width * height values, 0x00RRGGBB

    std::uint32_t at(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
};

// Index of each picture in the picture list.
enum PictureIndex : int { Laufschrift = 0, Scala = 1, Muster = 2, Kontrastbild = 3 };
inline constexpr int PictureCount = 4;

Image makeLaufschrift();  // 300 x 50, transparent: white text, (1, 1, 1) rim, black elsewhere
Image makeScala();        // 640 x 140, transparent: two pixel rulers
Image makeMuster();       // 100 x 80, opaque: silver/white diagonal grid
Image makeKontrastbild(); // 640 x 180, opaque: six dark grey patches with labels

// Whether black is the transparent colour of picture i.
bool isTransparent(int index);

// All four, in list order.
std::array<Image, PictureCount> makeTestPictures();

} // namespace vantrel
