// The four stored test pictures against their published tables: sizes, colours, tick classes,
// label cells and places, the grid rule, the patches, and the marquee text's glyph boxes and rim.

#include "assets/pictures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <set>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

namespace vantrel {
namespace {

constexpr std::uint32_t Black = 0x000000;  // 0x00RRGGBB
constexpr std::uint32_t White = 0xFFFFFF;  // 0x00RRGGBB
constexpr std::uint32_t Rim = 0x010101;    // 0x00RRGGBB
constexpr std::uint32_t Silver = 0xC0C0C0; // 0x00RRGGBB

std::uint32_t grey(int level) {
    return static_cast<std::uint32_t>(level) * 0x010101u;
}

// A picture-sized canvas for building the expected picture from the tables.
Image blank(int width, int height, std::uint32_t colour) {
    Image image;
    image.width = width;
    image.height = height;
    image.pixels.assign(static_cast<std::size_t>(width) * height, colour);
    return image;
}

void put(Image& image, int x, int y, std::uint32_t colour) {
    image.pixels[static_cast<std::size_t>(y) * image.width + x] = colour;
}

// Pastes a glyph given as row strings ('#' white), top row first.
void paste(Image& image, const std::vector<std::string>& glyph, int left, int top) {
    for (std::size_t row = 0; row < glyph.size(); ++row) {
        for (std::size_t column = 0; column < glyph[row].size(); ++column) {
            if (glyph[row][column] == '#') {
                put(image, left + static_cast<int>(column), top + static_cast<int>(row), White);
            }
        }
    }
}

// Lists the first few differing pixels, so a failure shows where the picture is wrong.
::testing::AssertionResult samePixels(const Image& actual, const Image& expected) {
    if (actual.width != expected.width || actual.height != expected.height) {
        return ::testing::AssertionFailure() << "size " << actual.width << "x" << actual.height;
    }
    std::ostringstream differences;
    int count = 0;
    for (int y = 0; y < actual.height; ++y) {
        for (int x = 0; x < actual.width; ++x) {
            if (actual.at(x, y) != expected.at(x, y)) {
                if (count < 10) {
                    differences << " (" << x << "," << y << ") is " << std::hex << actual.at(x, y)
                                << " not " << expected.at(x, y) << std::dec << ";";
                }
                ++count;
            }
        }
    }
    if (count == 0) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << count << " pixels differ:" << differences.str();
}

// Splits a table row of space-separated cells.
std::vector<std::string> cells(std::string_view row) {
    std::vector<std::string> result;
    std::istringstream stream{std::string(row)};
    std::string cell;
    while (stream >> cell) {
        result.push_back(cell);
    }
    return result;
}

// ---- list ---------------------------------------------------------------------------------

struct ListEntry {
    const char* name;
    int index;
    int width;  // pixels
    int height; // pixels
    bool transparent;
    std::set<std::uint32_t> colours; // exactly the colours that occur
};

// Shows the row name instead of the bytes in test listings.
void PrintTo(const ListEntry& row, std::ostream* out) {
    *out << row.name;
}

class PictureListTest : public ::testing::TestWithParam<ListEntry> {};

TEST_P(PictureListTest, SizeTransparencyAndColoursFollowTheTable) {
    const ListEntry& entry = GetParam();
    const std::array<Image, PictureCount> pictures = makeTestPictures();
    const Image& image = pictures[static_cast<std::size_t>(entry.index)];
    EXPECT_EQ(image.width, entry.width);
    EXPECT_EQ(image.height, entry.height);
    ASSERT_EQ(image.pixels.size(), static_cast<std::size_t>(entry.width) * entry.height);
    EXPECT_EQ(isTransparent(entry.index), entry.transparent);
    const std::set<std::uint32_t> colours(image.pixels.begin(), image.pixels.end());
    EXPECT_EQ(colours, entry.colours);
}

INSTANTIATE_TEST_SUITE_P(
    Pictures, PictureListTest,
    ::testing::Values(ListEntry{"Laufschrift", Laufschrift, 300, 50, true, {Black, White, Rim}},
                      ListEntry{"Scala", Scala, 640, 140, true, {Black, White}},
                      ListEntry{"Muster", Muster, 100, 80, false, {White, Silver}},
                      ListEntry{"Kontrastbild",
                                Kontrastbild,
                                640,
                                180,
                                false,
                                {Black, grey(5), grey(10), grey(15), grey(20), grey(26), grey(30),
                                 White}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PictureList, HoldsTheSinglePicturesInIndexOrder) {
    const std::array<Image, PictureCount> pictures = makeTestPictures();
    EXPECT_TRUE(samePixels(pictures[Laufschrift], makeLaufschrift()));
    EXPECT_TRUE(samePixels(pictures[Scala], makeScala()));
    EXPECT_TRUE(samePixels(pictures[Muster], makeMuster()));
    EXPECT_TRUE(samePixels(pictures[Kontrastbild], makeKontrastbild()));
}

// ---- Scala --------------------------------------------------------------------------------

// The digit cells as published: one row of all seven digits per line, digits 0 to 6.
constexpr std::array<std::string_view, 10> ScalaDigitTable = {
    ".####. ...#.. .####. .####. ....#. .##### .####.",
    "#....# ..##.. #....# #....# ...##. .#.... #....#",
    "#....# .#.#.. .....# .....# ...##. .#.... #.....",
    "#....# ...#.. .....# .....# ..#.#. #..... #.....",
    "#....# ...#.. .....# ..###. ..#.#. #####. #.###.",
    "#....# ...#.. ....#. .....# .#..#. #....# ##...#",
    "#....# ...#.. ...#.. .....# .#..#. .....# #....#",
    "#....# ...#.. ..#... .....# ###### .....# #....#",
    "#....# ...#.. .#.... #....# ....#. #....# #....#",
    ".####. ...#.. ###### .####. ....#. .####. .####.",
};

std::vector<std::string> scalaDigit(char digit) {
    std::vector<std::string> glyph;
    for (const std::string_view row : ScalaDigitTable) {
        glyph.push_back(cells(row)[static_cast<std::size_t>(digit - '0')]);
    }
    return glyph;
}

struct TickCase {
    const char* name;
    int column;
    int upperTop; // rows, both ends included
    int upperBottom;
    int lowerTop;
    int lowerBottom;
};

// Shows the row name instead of the bytes in test listings.
void PrintTo(const TickCase& row, std::ostream* out) {
    *out << row.name;
}

// Which rows of one column are white, within the band [first, last].
std::vector<int> whiteRows(const Image& image, int column, int first, int last) {
    std::vector<int> rows;
    for (int y = first; y <= last; ++y) {
        if (image.at(column, y) == White) {
            rows.push_back(y);
        }
    }
    return rows;
}

std::vector<int> range(int first, int last) {
    std::vector<int> values;
    for (int v = first; v <= last; ++v) {
        values.push_back(v);
    }
    return values;
}

class ScalaTickTest : public ::testing::TestWithParam<TickCase> {
  protected:
    const Image scala = makeScala();
};

TEST_P(ScalaTickTest, TickCoversItsClassRowsInBothRulers) {
    const TickCase& tick = GetParam();
    // Bands around the rulers, clear of the labels (rows 3-12 and 127-136).
    EXPECT_EQ(whiteRows(scala, tick.column, 13, 40), range(tick.upperTop, tick.upperBottom));
    EXPECT_EQ(whiteRows(scala, tick.column, 100, 126), range(tick.lowerTop, tick.lowerBottom));
}

INSTANTIATE_TEST_SUITE_P(
    ScalaPicture, ScalaTickTest,
    ::testing::Values(TickCase{"major_zero_at_20", 20, 16, 28, 112, 123},
                      TickCase{"major_300_at_320", 320, 16, 28, 112, 123},
                      TickCase{"major_600_at_620", 620, 16, 28, 112, 123},
                      TickCase{"middle_at_70", 70, 17, 24, 115, 122},
                      TickCase{"middle_at_570", 570, 17, 24, 115, 122},
                      TickCase{"minor_at_30", 30, 18, 22, 117, 121},
                      TickCase{"minor_at_110", 110, 18, 22, 117, 121},
                      TickCase{"minor_at_610", 610, 18, 22, 117, 121},
                      TickCase{"baseline_only_at_21", 21, 18, 18, 121, 121},
                      TickCase{"baseline_only_at_619", 619, 18, 18, 121, 121},
                      TickCase{"nothing_left_of_ruler_at_19", 19, 0, -1, 0, -1},
                      TickCase{"nothing_right_of_ruler_at_621", 621, 0, -1, 0, -1}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ScalaPictureTest, LowerRulerMirrorsUpperExceptMajorTickStartsAt112) {
    const Image scala = makeScala();
    for (int x = 0; x < scala.width; ++x) {
        const bool major = x >= 20 && x <= 620 && (x - 20) % 100 == 0;
        for (int row = 13; row <= 28; ++row) {
            if (major && row == 28) {
                EXPECT_EQ(scala.at(x, 28), White) << "column " << x;
                EXPECT_EQ(scala.at(x, 111), Black) << "column " << x;
                continue;
            }
            EXPECT_EQ(scala.at(x, 139 - row), scala.at(x, row)) << "column " << x << " row " << row;
        }
    }
}

TEST(ScalaPictureTest, RowsBetweenTheRulersAreBlack) {
    const Image scala = makeScala();
    for (int y = 29; y <= 111; ++y) {
        for (int x = 0; x < scala.width; ++x) {
            ASSERT_EQ(scala.at(x, y), Black) << "column " << x << " row " << y;
        }
    }
}

struct ScalaLabelCase {
    const char* name;
    std::string text;
    int tickColumn;
    int firstColumn; // of the first digit cell
};

// Shows the row name instead of the bytes in test listings.
void PrintTo(const ScalaLabelCase& row, std::ostream* out) {
    *out << row.name;
}

class ScalaLabelTest : public ::testing::TestWithParam<ScalaLabelCase> {
  protected:
    const Image scala = makeScala();
};

TEST_P(ScalaLabelTest, DigitCellsStandSevenApartAboveAndBelowTheTick) {
    const ScalaLabelCase& label = GetParam();
    const int width = 7 * static_cast<int>(label.text.size()) - 1; // pixels
    EXPECT_EQ(label.firstColumn, label.tickColumn - width / 2);
    for (const int top : {3, 127}) {
        for (std::size_t i = 0; i < label.text.size(); ++i) {
            const std::vector<std::string> cell = scalaDigit(label.text[i]);
            const int left = label.firstColumn + 7 * static_cast<int>(i);
            for (int row = 0; row < 10; ++row) {
                // The cell plus the black column after it (or the label's black edge).
                for (int column = -1; column <= 6; ++column) {
                    const bool expectWhite = column >= 0 && column < 6 && cell[row][column] == '#';
                    EXPECT_EQ(scala.at(left + column, top + row), expectWhite ? White : Black)
                        << "digit " << label.text[i] << " cell row " << row << " column " << column
                        << " label top " << top;
                }
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(ScalaPicture, ScalaLabelTest,
                         ::testing::Values(ScalaLabelCase{"label_0_at_17", "0", 20, 17},
                                           ScalaLabelCase{"label_100_at_110", "100", 120, 110},
                                           ScalaLabelCase{"label_200_at_210", "200", 220, 210},
                                           ScalaLabelCase{"label_300_at_310", "300", 320, 310},
                                           ScalaLabelCase{"label_400_at_410", "400", 420, 410},
                                           ScalaLabelCase{"label_500_at_510", "500", 520, 510},
                                           ScalaLabelCase{"label_600_at_610", "600", 620, 610}),
                         [](const auto& info) { return std::string(info.param.name); });

// The whole picture rebuilt from the tick table and the digit table: nothing else is white.
TEST(ScalaPictureTest, EveryPixelNotNamedIsBlack) {
    Image expected = blank(640, 140, Black);
    for (int x = 20; x <= 620; ++x) {
        put(expected, x, 18, White);
        put(expected, x, 121, White);
    }
    for (int x = 20; x <= 620; x += 10) {
        int upperTop = 18;
        int upperBottom = 22;
        int lowerTop = 117;
        int lowerBottom = 121;
        if ((x - 20) % 100 == 0) {
            upperTop = 16;
            upperBottom = 28;
            lowerTop = 112;
            lowerBottom = 123;
        } else if ((x - 20) % 100 == 50) {
            upperTop = 17;
            upperBottom = 24;
            lowerTop = 115;
            lowerBottom = 122;
        }
        for (int y = upperTop; y <= upperBottom; ++y) {
            put(expected, x, y, White);
        }
        for (int y = lowerTop; y <= lowerBottom; ++y) {
            put(expected, x, y, White);
        }
    }
    const std::vector<std::pair<std::string, int>> labels = {
        {"0", 17},    {"100", 110}, {"200", 210}, {"300", 310},
        {"400", 410}, {"500", 510}, {"600", 610}};
    for (const auto& [text, left] : labels) {
        for (std::size_t i = 0; i < text.size(); ++i) {
            paste(expected, scalaDigit(text[i]), left + 7 * static_cast<int>(i), 3);
            paste(expected, scalaDigit(text[i]), left + 7 * static_cast<int>(i), 127);
        }
    }
    EXPECT_TRUE(samePixels(makeScala(), expected));
}

// ---- Muster -------------------------------------------------------------------------------

TEST(MusterPictureTest, DiagonalGridFollowsTheModuloRule) {
    const Image muster = makeMuster();
    int silver = 0;
    for (int y = 0; y < muster.height; ++y) {
        for (int x = 0; x < muster.width; ++x) {
            // x - y + 80 keeps the left operand positive, so % is the mathematical mod here.
            const bool onLine = (x + y) % 8 == 1 || (x - y + 80) % 8 == 0;
            EXPECT_EQ(muster.at(x, y), onLine ? Silver : White) << "(" << x << "," << y << ")";
            silver += muster.at(x, y) == Silver;
        }
    }
    EXPECT_EQ(silver, 2000);
    EXPECT_EQ(muster.width * muster.height - silver, 6000);
}

TEST(MusterPictureTest, LinesMeetInPairsOfSilverPixels) {
    const Image muster = makeMuster();
    auto silverColumns = [&muster](int row) {
        std::vector<int> columns;
        for (int x = 0; x < 20; ++x) {
            if (muster.at(x, row) == Silver) {
                columns.push_back(x);
            }
        }
        return columns;
    };
    EXPECT_EQ(silverColumns(0), (std::vector<int>{0, 1, 8, 9, 16, 17}));
    EXPECT_EQ(silverColumns(1), (std::vector<int>{0, 1, 8, 9, 16, 17}));
    EXPECT_EQ(silverColumns(2), (std::vector<int>{2, 7, 10, 15, 18}));
}

// ---- Kontrastbild -------------------------------------------------------------------------

// The label glyphs as published: one row of all seven glyphs per line.
constexpr std::array<std::string_view, 8> KontrastGlyphTable = {
    ".###. ..# .###. ...#. .###. .###. .##...#..", "#...# .## #...# ..##. #...# #...# #..#.#...",
    "#...# #.# ....# .#.#. #.... #...# #..#.#...", "#...# ..# ....# .#.#. ####. .###. .##.#....",
    "#...# ..# ...#. #..#. #...# #...# ....#.##.", "#...# ..# ..#.. ##### #...# #...# ...#.#..#",
    "#...# ..# .#... ...#. #...# #...# ...#.#..#", ".###. ..# ##### ...#. .###. .###. ..#...##.",
};

std::vector<std::string> kontrastGlyph(char character) {
    const std::string_view order = "012468%";
    const std::size_t index = order.find(character);
    std::vector<std::string> glyph;
    for (const std::string_view row : KontrastGlyphTable) {
        glyph.push_back(cells(row).at(index));
    }
    return glyph;
}

struct PatchCase {
    const char* name;
    int left; // columns, both ends included
    int right;
    int level; // R = G = B
    std::string label;
    int labelTop; // row
    std::vector<int> glyphColumns;
};

// Shows the row name instead of the bytes in test listings.
void PrintTo(const PatchCase& row, std::ostream* out) {
    *out << row.name;
}

const std::vector<PatchCase>& patchCases() {
    static const std::vector<PatchCase> cases = {
        {"patch_1_2_percent", 30, 110, 5, "2%", 151, {62, 68}},
        {"patch_2_4_percent_one_row_lower", 129, 209, 10, "4%", 152, {162, 168}},
        {"patch_3_6_percent", 229, 309, 15, "6%", 151, {261, 267}},
        {"patch_4_8_percent", 329, 409, 20, "8%", 151, {359, 365}},
        {"patch_5_10_percent_grey_26", 429, 509, 26, "10%", 151, {457, 463, 469}},
        {"patch_6_12_percent_grey_30", 529, 609, 30, "12%", 151, {559, 565, 571}},
    };
    return cases;
}

class KontrastPatchTest : public ::testing::TestWithParam<PatchCase> {
  protected:
    const Image kontrast = makeKontrastbild();
};

TEST_P(KontrastPatchTest, PatchIsOneGreyWithBlackAroundIt) {
    const PatchCase& patch = GetParam();
    for (int y = 39; y <= 146; ++y) {
        for (int x = patch.left - 1; x <= patch.right + 1; ++x) {
            const bool inside = y >= 40 && y <= 145 && x >= patch.left && x <= patch.right;
            ASSERT_EQ(kontrast.at(x, y), inside ? grey(patch.level) : Black)
                << "(" << x << "," << y << ")";
        }
    }
}

TEST_P(KontrastPatchTest, LabelGlyphsStartAtTheirColumnsOnTheLabelRows) {
    const PatchCase& patch = GetParam();
    for (std::size_t i = 0; i < patch.label.size(); ++i) {
        const std::vector<std::string> glyph = kontrastGlyph(patch.label[i]);
        const int width = static_cast<int>(glyph[0].size()); // pixels
        for (int row = -1; row <= 8; ++row) {
            for (int column = -1; column <= width; ++column) {
                const bool inGlyph = row >= 0 && row < 8 && column >= 0 && column < width;
                const bool expectWhite = inGlyph && glyph[row][column] == '#';
                EXPECT_EQ(kontrast.at(patch.glyphColumns[i] + column, patch.labelTop + row),
                          expectWhite ? White : Black)
                    << "glyph " << patch.label[i] << " row " << row << " column " << column;
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(KontrastbildPicture, KontrastPatchTest, ::testing::ValuesIn(patchCases()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(KontrastbildPictureTest, BlackGapsBetweenPatchesAre18Then19Columns) {
    const Image kontrast = makeKontrastbild();
    const std::vector<PatchCase>& patches = patchCases();
    for (std::size_t i = 1; i < patches.size(); ++i) {
        const int gap = patches[i].left - patches[i - 1].right - 1; // columns
        EXPECT_EQ(gap, i == 1 ? 18 : 19) << "before patch " << i + 1;
        for (int x = patches[i - 1].right + 1; x < patches[i].left; ++x) {
            EXPECT_EQ(kontrast.at(x, 90), Black) << "column " << x;
        }
    }
}

TEST(KontrastbildPictureTest, EverythingOutsidePatchesAndLabelsIsBlack) {
    Image expected = blank(640, 180, Black);
    for (const PatchCase& patch : patchCases()) {
        for (int y = 40; y <= 145; ++y) {
            for (int x = patch.left; x <= patch.right; ++x) {
                put(expected, x, y, grey(patch.level));
            }
        }
        for (std::size_t i = 0; i < patch.label.size(); ++i) {
            paste(expected, kontrastGlyph(patch.label[i]), patch.glyphColumns[i], patch.labelTop);
        }
    }
    EXPECT_TRUE(samePixels(makeKontrastbild(), expected));
}

// ---- Laufschrift --------------------------------------------------------------------------

struct GlyphCase {
    const char* name;
    int firstColumn; // columns of the glyph's ink, both ends included
    int lastColumn;
    int topRow; // rows of the glyph's ink; -1 where the text fixes none
    int bottomRow;
};

// Shows the row name instead of the bytes in test listings.
void PrintTo(const GlyphCase& row, std::ostream* out) {
    *out << row.name;
}

const std::vector<GlyphCase>& glyphCases() {
    static const std::vector<GlyphCase> cases = {
        {"L", 19, 31, 15, 33},          {"a", 35, 46, 20, 33},
        {"u", 51, 62, 20, 33},          {"f", 66, 74, 15, 33},
        {"s", 76, 87, 20, 33},          {"c", 91, 101, 20, 33},
        {"h", 107, 118, 15, 33},        {"r", 124, 131, 20, 33},
        {"i", 135, 137, 15, 33},        {"second_f", 141, 149, 15, 33},
        {"t", 150, 157, -1, 33},        {"open_parenthesis", 168, 172, 15, 38},
        {"A", 176, 193, 15, 33},        {"second_r", 197, 204, 20, 33},
        {"second_i", 208, 210, 15, 33}, {"second_a", 215, 226, 20, 33},
        {"l", 231, 233, 15, 33},        {"digit_2", 246, 257, 15, 33},
        {"digit_0", 261, 272, 15, 33},  {"close_parenthesis", 276, 281, 15, 38},
    };
    return cases;
}

class LaufschriftPictureTest : public ::testing::Test {
  protected:
    bool white(int x, int y) const {
        return x >= 0 && y >= 0 && x < image.width && y < image.height && image.at(x, y) == White;
    }
    // Whether a non-white pixel touches white only at a corner.
    bool diagonalOnly(int x, int y) const {
        const bool side = white(x - 1, y) || white(x + 1, y) || white(x, y - 1) || white(x, y + 1);
        const bool corner = white(x - 1, y - 1) || white(x + 1, y - 1) || white(x - 1, y + 1) ||
                            white(x + 1, y + 1);
        return !white(x, y) && !side && corner;
    }
    // Width of the run of white pixels on a row starting at column x.
    int runFrom(int x, int y) const {
        int end = x;
        while (white(end, y)) {
            ++end;
        }
        return end - x;
    }

    const Image image = makeLaufschrift();
};

class LaufschriftGlyphTest : public LaufschriftPictureTest,
                             public ::testing::WithParamInterface<GlyphCase> {};

TEST_P(LaufschriftGlyphTest, InkFillsExactlyTheGlyphBox) {
    const GlyphCase& glyph = GetParam();
    int left = image.width;
    int right = -1;
    int top = image.height;
    int bottom = -1;
    for (int y = 0; y < image.height; ++y) {
        for (int x = glyph.firstColumn; x <= glyph.lastColumn; ++x) {
            if (white(x, y)) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
        }
    }
    EXPECT_EQ(left, glyph.firstColumn);
    EXPECT_EQ(right, glyph.lastColumn);
    if (glyph.topRow >= 0) {
        EXPECT_EQ(top, glyph.topRow);
    }
    EXPECT_EQ(bottom, glyph.bottomRow);
}

INSTANTIATE_TEST_SUITE_P(LaufschriftPicture, LaufschriftGlyphTest,
                         ::testing::ValuesIn(glyphCases()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(LaufschriftPictureTest, NoInkBetweenTheGlyphBoxes) {
    std::vector<bool> inBox(static_cast<std::size_t>(image.width), false);
    for (const GlyphCase& glyph : glyphCases()) {
        for (int x = glyph.firstColumn; x <= glyph.lastColumn; ++x) {
            inBox[static_cast<std::size_t>(x)] = true;
        }
    }
    for (int x = 0; x < image.width; ++x) {
        if (inBox[static_cast<std::size_t>(x)]) {
            continue;
        }
        for (int y = 0; y < image.height; ++y) {
            EXPECT_FALSE(white(x, y)) << "(" << x << "," << y << ")";
        }
    }
}

TEST_F(LaufschriftPictureTest, InkSpansRows15To38) {
    int top = image.height;
    int bottom = -1;
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            if (white(x, y)) {
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
        }
    }
    EXPECT_EQ(top, 15);
    EXPECT_EQ(bottom, 38);
}

TEST_F(LaufschriftPictureTest, DotsOfBothIAreRows15And16) {
    for (const int left : {135, 208}) {
        for (int x = left; x < left + 3; ++x) {
            EXPECT_TRUE(white(x, 15) && white(x, 16)) << "column " << x;
            for (int y = 17; y <= 19; ++y) {
                EXPECT_FALSE(white(x, y)) << "(" << x << "," << y << ")";
            }
            for (int y = 20; y <= 33; ++y) {
                EXPECT_TRUE(white(x, y)) << "(" << x << "," << y << ")";
            }
        }
    }
}

TEST_F(LaufschriftPictureTest, VerticalStemsAreThreePixelsWide) {
    // Row 27 crosses every stem of these letters midway through the x-height.
    const std::vector<std::pair<const char*, int>> stems = {
        {"L", 19},  {"u left", 51}, {"u right", 60}, {"h left", 107},  {"h right", 116},
        {"r", 124}, {"i", 135},     {"l", 231},      {"second i", 208}};
    for (const auto& [name, column] : stems) {
        EXPECT_FALSE(white(column - 1, 27)) << name;
        EXPECT_EQ(runFrom(column, 27), 3) << name;
    }
}

TEST_F(LaufschriftPictureTest, RimHoldsEveryNonWhiteSideNeighbourOfWhite) {
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            if (white(x, y)) {
                continue;
            }
            const bool side =
                white(x - 1, y) || white(x + 1, y) || white(x, y - 1) || white(x, y + 1);
            if (side) {
                EXPECT_EQ(image.at(x, y), Rim) << "(" << x << "," << y << ")";
            }
        }
    }
}

TEST_F(LaufschriftPictureTest, RimHugsTheInkWithinColumns18To282AndRows14To39) {
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            if (image.at(x, y) != Rim) {
                continue;
            }
            EXPECT_TRUE(x >= 18 && x <= 282 && y >= 14 && y <= 39) << "(" << x << "," << y << ")";
            bool nearInk = false;
            for (int dy = -1; dy <= 1; ++dy) {
                for (int dx = -1; dx <= 1; ++dx) {
                    nearInk = nearInk || white(x + dx, y + dy);
                }
            }
            EXPECT_TRUE(nearInk) << "(" << x << "," << y << ")";
        }
    }
}

TEST_F(LaufschriftPictureTest, RimCoversTheSquareCornersOfL) {
    int footTop = 33; // first row of the foot at the L's right end
    while (white(31, footTop - 1)) {
        --footTop;
    }
    ASSERT_LT(footTop, 33) << "the foot is more than one row high";
    const std::vector<std::pair<int, int>> corners = {
        {18, 14}, {22, 14}, {18, 34}, {32, 34}, {32, footTop - 1}};
    for (const auto& [x, y] : corners) {
        EXPECT_TRUE(diagonalOnly(x, y)) << "(" << x << "," << y << ")";
        EXPECT_EQ(image.at(x, y), Rim) << "(" << x << "," << y << ")";
    }
}

TEST_F(LaufschriftPictureTest, RimLeavesBlackCornersAlongBowls) {
    // The bowls of "a", "s" and "c" have corner-only neighbours that stay black.
    for (const GlyphCase& glyph : glyphCases()) {
        const std::string_view name = glyph.name;
        if (name != "a" && name != "s" && name != "c") {
            continue;
        }
        int blackCorners = 0;
        for (int y = 14; y <= 39; ++y) {
            for (int x = glyph.firstColumn; x <= glyph.lastColumn; ++x) {
                blackCorners += diagonalOnly(x, y) && image.at(x, y) == Black;
            }
        }
        EXPECT_GT(blackCorners, 0) << name;
    }
}

} // namespace
} // namespace vantrel
