// Writes the four stored test pictures as binary PPM files, so that tests outside the program
// (the end-to-end screenshots) can compare the screen with them pixel for pixel.
//
// Usage: dump_pictures DIRECTORY
//   writes DIRECTORY/Laufschrift.ppm, Scala.ppm, Muster.ppm and Kontrastbild.ppm; transparent
//   pictures are written as stored, with black where they let the background through.

#include "assets/pictures.h"

#include <array>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace {

bool writePpm(const std::string& path, const vantrel::Image& image) {
    std::ofstream out(path, std::ios::binary);
    out << "P6\n" << image.width << ' ' << image.height << "\n255\n";
    std::vector<char> row(static_cast<std::size_t>(image.width) * 3);
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            const std::uint32_t pixel = image.at(x, y);
            row[3 * x + 0] = static_cast<char>((pixel >> 16) & 0xFF);
            row[3 * x + 1] = static_cast<char>((pixel >> 8) & 0xFF);
            row[3 * x + 2] = static_cast<char>(pixel & 0xFF);
        }
        out.write(row.data(), static_cast<std::streamsize>(row.size()));
    }
    return static_cast<bool>(out);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s DIRECTORY\n", argv[0]);
        return 2;
    }
    const std::array<const char*, vantrel::PictureCount> names = {"Laufschrift", "Scala", "Muster",
                                                                  "Kontrastbild"};
    const auto pictures = vantrel::makeTestPictures();
    for (int i = 0; i < vantrel::PictureCount; ++i) {
        const std::string path = std::string(argv[1]) + "/" + names[i] + ".ppm";
        if (!writePpm(path, pictures[i])) {
            std::fprintf(stderr, "%s: cannot write %s\n", argv[0], path.c_str());
            return 1;
        }
    }
    return 0;
}
