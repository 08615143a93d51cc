#include "assets/pictures.h"

#include "assets/laufschrift_mask.h"

#include <string>
#include <string_view>

namespace vantrel {

namespace {

constexpr std::uint32_t Black = 0x000000;  // 0x00RRGGBB
constexpr std::uint32_t White = 0xFFFFFF;  // 0x00RRGGBB
constexpr std::uint32_t Rim = 0x010101;    // 0x00RRGGBB; near black, but not the key colour
constexpr std::uint32_t Silver = 0xC0C0C0; // 0x00RRGGBB

Image blankImage(int width, int height, std::uint32_t colour) {
    Image image;
    image.width = width;
    image.height = height;
    image.pixels.assign(static_cast<std::size_t>(width) * height, colour);
    return image;
}

void setPixel(Image& image, int x, int y, std::uint32_t colour) {
    image.pixels[static_cast<std::size_t>(y) * image.width + x] = colour;
}

// Paints the '#' characters of a glyph given as row strings, top row first.
template <std::size_t Rows>
void paintGlyph(Image& image, const std::array<std::string_view, Rows>& glyph, int left, int top) {
    for (std::size_t row = 0; row < Rows; ++row) {
        for (std::size_t column = 0; column < glyph[row].size(); ++column) {
            if (glyph[row][column] == '#') {
                setPixel(image, left + static_cast<int>(column), top + static_cast<int>(row),
                         White);
            }
        }
    }
}

// ---- Scala --------------------------------------------------------------------------------

constexpr int ScalaWidth = 640;         // pixels
constexpr int ScalaHeight = 140;        // pixels
constexpr int ScalaFirstTick = 20;      // column of the zero tick
constexpr int ScalaLastTick = 620;      // column
constexpr int ScalaTickSpacing = 10;    // pixels
constexpr int ScalaMajorSpacing = 100;  // pixels
constexpr int ScalaMiddleOffset = 50;   // pixels after each major tick
constexpr int ScalaUpperLabelTop = 3;   // row
constexpr int ScalaLowerLabelTop = 127; // row
constexpr int ScalaUpperBaseline = 18;  // row
// The lower ruler mirrors the upper one about the picture's middle, except that its major
// ticks start one row lower than the mirror would put them.
constexpr int ScalaMirrorSum = ScalaHeight - 1;      // row r maps to row ScalaMirrorSum - r
constexpr int ScalaLowerMajorTop = 112;              // row
constexpr int ScalaDigitWidth = 6;                   // pixels
constexpr int ScalaDigitPitch = ScalaDigitWidth + 1; // pixels, one black column between cells
constexpr int ScalaDigitHeight = 10;                 // pixels

using ScalaDigit = std::array<std::string_view, ScalaDigitHeight>;

// Only the digits 0 to 6 occur in the labels "0" to "600".
constexpr std::array<ScalaDigit, 7> ScalaDigits = {{
    {".####.", "#....#", "#....#", "#....#", "#....#", "#....#", "#....#", "#....#", "#....#",
     ".####."},
    {"...#..", "..##..", ".#.#..", "...#..", "...#..", "...#..", "...#..", "...#..", "...#..",
     "...#.."},
    {".####.", "#....#", ".....#", ".....#", ".....#", "....#.", "...#..", "..#...", ".#....",
     "######"},
    {".####.", "#....#", ".....#", ".....#", "..###.", ".....#", ".....#", ".....#", "#....#",
     ".####."},
    {"....#.", "...##.", "...##.", "..#.#.", "..#.#.", ".#..#.", ".#..#.", "######", "....#.",
     "....#."},
    {".#####", ".#....", ".#....", "#.....", "#####.", "#....#", ".....#", ".....#", "#....#",
     ".####."},
    {".####.", "#....#", "#.....", "#.....", "#.###.", "##...#", "#....#", "#....#", "#....#",
     ".####."},
}};

struct TickRows {
    int top;    // row
    int bottom; // row
};

// Rows of a tick of the upper ruler; every tick column also carries the baseline row.
TickRows upperTickRows(int column) {
    const int offset = column - ScalaFirstTick; // pixels from the zero tick
    if (offset % ScalaMajorSpacing == 0) {
        return {16, 28};
    }
    if (offset % ScalaMajorSpacing == ScalaMiddleOffset) {
        return {17, 24};
    }
    return {18, 22};
}

void paintScalaLabel(Image& image, int tickColumn, int value, int top) {
    const std::string text = std::to_string(value);
    const int labelWidth = ScalaDigitPitch * static_cast<int>(text.size()) - 1; // pixels
    int left = tickColumn - labelWidth / 2;
    for (const char digit : text) {
        paintGlyph(image, ScalaDigits[static_cast<std::size_t>(digit - '0')], left, top);
        left += ScalaDigitPitch;
    }
}

// ---- Kontrastbild -------------------------------------------------------------------------

constexpr int KontrastWidth = 640;       // pixels
constexpr int KontrastHeight = 180;      // pixels
constexpr int KontrastPatchWidth = 81;   // pixels
constexpr int KontrastPatchTop = 40;     // row
constexpr int KontrastPatchBottom = 145; // row
constexpr int KontrastGlyphHeight = 8;   // pixels

using KontrastGlyph = std::array<std::string_view, KontrastGlyphHeight>;

constexpr KontrastGlyph KontrastZero = {".###.", "#...#", "#...#", "#...#",
                                        "#...#", "#...#", "#...#", ".###."};
constexpr KontrastGlyph KontrastOne = {"..#", ".##", "#.#", "..#", "..#", "..#", "..#", "..#"};
constexpr KontrastGlyph KontrastTwo = {".###.", "#...#", "....#", "....#",
                                       "...#.", "..#..", ".#...", "#####"};
constexpr KontrastGlyph KontrastFour = {"...#.", "..##.", ".#.#.", ".#.#.",
                                        "#..#.", "#####", "...#.", "...#."};
constexpr KontrastGlyph KontrastSix = {".###.", "#...#", "#....", "####.",
                                       "#...#", "#...#", "#...#", ".###."};
constexpr KontrastGlyph KontrastEight = {".###.", "#...#", "#...#", ".###.",
                                         "#...#", "#...#", "#...#", ".###."};
constexpr KontrastGlyph KontrastPercent = {".##...#..", "#..#.#...", "#..#.#...", ".##.#....",
                                           "....#.##.", "...#.#..#", "...#.#..#", "..#...##."};

const KontrastGlyph& kontrastGlyph(char character) {
    switch (character) {
    case '0':
        return KontrastZero;
    case '1':
        return KontrastOne;
    case '2':
        return KontrastTwo;
    case '4':
        return KontrastFour;
    case '6':
        return KontrastSix;
    case '8':
        return KontrastEight;
    default:
        return KontrastPercent;
    }
}

struct KontrastPatch {
    int left;                        // first column
    std::uint8_t grey;               // R = G = B
    std::string_view label;          // grey level in percent of white
    int labelTop;                    // row
    std::array<int, 3> glyphColumns; // first column of each label glyph
};

// The label columns follow no single rule (the glyphs differ in width and the gaps vary),
// so they are kept as they are. "4%" stands one row lower than the others.
constexpr std::array<KontrastPatch, 6> KontrastPatches = {{
    {30, 5, "2%", 151, {62, 68, 0}},
    {129, 10, "4%", 152, {162, 168, 0}},
    {229, 15, "6%", 151, {261, 267, 0}},
    {329, 20, "8%", 151, {359, 365, 0}},
    {429, 26, "10%", 151, {457, 463, 469}},
    {529, 30, "12%", 151, {559, 565, 571}},
}};

// ---- Laufschrift --------------------------------------------------------------------------

constexpr int LaufschriftWidth = 300; // pixels
constexpr int LaufschriftHeight = 50; // pixels

// A pixel next to the text's ink only diagonally belongs to the rim where the ink has a square
// corner there (both edges run on straight past the corner pixel) or where the ink ends in a
// single pixel point; along staircase curves it stays black so the bowls keep their shape.
bool touchesDiagonallyAsRim(const std::vector<bool>& white, int x, int y) {
    auto isWhite = [&white](int column, int row) {
        if (column < 0 || row < 0 || column >= LaufschriftWidth || row >= LaufschriftHeight) {
            return false;
        }
        return static_cast<bool>(white[static_cast<std::size_t>(row) * LaufschriftWidth + column]);
    };
    for (const int dx : {-1, 1}) {
        for (const int dy : {-1, 1}) {
            const int wx = x + dx; // the diagonal white neighbour
            const int wy = y + dy;
            if (!isWhite(wx, wy)) {
                continue;
            }
            const bool horizontalEdgeRunsOn = isWhite(wx + dx, wy) && !isWhite(wx + dx, y);
            const bool verticalEdgeRunsOn = isWhite(wx, wy + dy) && !isWhite(x, wy + dy);
            if (horizontalEdgeRunsOn && verticalEdgeRunsOn) {
                return true;
            }
            const int whiteSides = isWhite(wx - 1, wy) + isWhite(wx + 1, wy) + isWhite(wx, wy - 1) +
                                   isWhite(wx, wy + 1);
            if (whiteSides <= 1) {
                return true;
            }
        }
    }
    return false;
}

} // namespace

Image makeScala() {
    Image image = blankImage(ScalaWidth, ScalaHeight, Black);
    const auto mirrored = [](int row) { return ScalaMirrorSum - row; };

    for (int column = ScalaFirstTick; column <= ScalaLastTick; ++column) {
        setPixel(image, column, ScalaUpperBaseline, White);
        setPixel(image, column, mirrored(ScalaUpperBaseline), White);
    }
    for (int column = ScalaFirstTick; column <= ScalaLastTick; column += ScalaTickSpacing) {
        const TickRows upper = upperTickRows(column);
        const bool major = (column - ScalaFirstTick) % ScalaMajorSpacing == 0;
        const int lowerTop = major ? ScalaLowerMajorTop : mirrored(upper.bottom);
        for (int row = upper.top; row <= upper.bottom; ++row) {
            setPixel(image, column, row, White);
        }
        for (int row = lowerTop; row <= mirrored(upper.top); ++row) {
            setPixel(image, column, row, White);
        }
        if (major) {
            const int value = column - ScalaFirstTick; // pixels from the zero tick
            paintScalaLabel(image, column, value, ScalaUpperLabelTop);
            paintScalaLabel(image, column, value, ScalaLowerLabelTop);
        }
    }
    return image;
}

Image makeMuster() {
    constexpr int Width = 100; // pixels, the moving block's size
    constexpr int Height = 80; // pixels
    constexpr int Period = 8;  // pixels between neighbouring diagonal lines
    Image image = blankImage(Width, Height, White);
    for (int y = 0; y < Height; ++y) {
        for (int x = 0; x < Width; ++x) {
            const int rising = (x + y) % Period;
            const int falling = ((x - y) % Period + Period) % Period;
            if (rising == 1 || falling == 0) {
                setPixel(image, x, y, Silver);
            }
        }
    }
    return image;
}

Image makeKontrastbild() {
    Image image = blankImage(KontrastWidth, KontrastHeight, Black);
    for (const KontrastPatch& patch : KontrastPatches) {
        const std::uint32_t grey = patch.grey * 0x010101u;
        for (int y = KontrastPatchTop; y <= KontrastPatchBottom; ++y) {
            for (int x = patch.left; x < patch.left + KontrastPatchWidth; ++x) {
                setPixel(image, x, y, grey);
            }
        }
        for (std::size_t i = 0; i < patch.label.size(); ++i) {
            paintGlyph(image, kontrastGlyph(patch.label[i]), patch.glyphColumns[i], patch.labelTop);
        }
    }
    return image;
}

Image makeLaufschrift() {
    Image image = blankImage(LaufschriftWidth, LaufschriftHeight, Black);
    std::vector<bool> white(image.pixels.size(), false);
    for (int row = 0; row < laufschriftMaskRowCount; ++row) {
        const std::string_view line = laufschriftMaskRows[row];
        for (int column = 0; column < laufschriftMaskWidth; ++column) {
            if (line[static_cast<std::size_t>(column)] == '#') {
                const int x = laufschriftMaskLeft + column;
                const int y = laufschriftMaskTop + row;
                white[static_cast<std::size_t>(y) * LaufschriftWidth + x] = true;
                setPixel(image, x, y, White);
            }
        }
    }

    auto isWhite = [&white](int x, int y) {
        return x >= 0 && y >= 0 && x < LaufschriftWidth && y < LaufschriftHeight &&
               white[static_cast<std::size_t>(y) * LaufschriftWidth + x];
    };
    for (int y = 0; y < LaufschriftHeight; ++y) {
        for (int x = 0; x < LaufschriftWidth; ++x) {
            if (isWhite(x, y)) {
                continue;
            }
            const bool side =
                isWhite(x - 1, y) || isWhite(x + 1, y) || isWhite(x, y - 1) || isWhite(x, y + 1);
            if (side || touchesDiagonallyAsRim(white, x, y)) {
                setPixel(image, x, y, Rim);
            }
        }
    }
    return image;
}

bool isTransparent(int index) {
    return index == Laufschrift || index == Scala;
}

std::array<Image, PictureCount> makeTestPictures() {
    return {makeLaufschrift(), makeScala(), makeMuster(), makeKontrastbild()};
}

} // namespace vantrel
