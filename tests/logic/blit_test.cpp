// Rectangle fills and picture copies into the back buffer: cutting at every edge,
// positions far outside, and black as the transparent colour.
#include "display/backbuffer.h"
#include "display/picturelist.h"

#include <gtest/gtest.h>

#include <cctype>
#include <climits>
#include <cstdint>
#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

namespace vantrel {
namespace {

constexpr int AreaWidth = 640;                  // pixels
constexpr int AreaHeight = 480;                 // pixels
constexpr std::uint32_t Background = 0x123456u; // 0x00RRGGBB, distinct from every fixture pixel
constexpr std::uint32_t Black = 0x000000u;
constexpr std::uint32_t NearBlack = 0x010101u; // (1, 1, 1), not the key

std::string rowName(const std::string& text) {
    std::string name;
    for (char c : text) {
        name += (std::isalnum(static_cast<unsigned char>(c)) != 0) ? c : '_';
    }
    return name;
}

// 100 x 80, the block's size, so the familiar numbers (x = -50 shows columns 50..99, x = 600
// shows 40 columns) apply. Every pixel encodes its own column and row so a misplaced copy
// shows; the key pattern leaves black pixels at the start, middle and end of rows and
// whole black rows.
constexpr int FixtureWidth = 100; // pixels
constexpr int FixtureHeight = 80; // pixels

std::uint32_t encoded(int x, int y) {
    return 0x800000u | (static_cast<std::uint32_t>(x) << 8) | static_cast<std::uint32_t>(y);
}

Image makeFixture(bool withKey) {
    Image image;
    image.width = FixtureWidth;
    image.height = FixtureHeight;
    image.pixels.resize(static_cast<std::size_t>(FixtureWidth) * FixtureHeight);
    for (int y = 0; y < FixtureHeight; ++y) {
        for (int x = 0; x < FixtureWidth; ++x) {
            std::uint32_t p = encoded(x, y);
            if (withKey) {
                const bool edgeKeyed = (x == 0 || x == FixtureWidth - 1) && y % 2 == 0;
                const bool keyed = y % 10 == 8 || edgeKeyed || (x + y) % 7 < 3;
                if (keyed) {
                    p = Black;
                } else if ((x + y) % 7 == 3) {
                    p = NearBlack;
                }
            }
            image.pixels[static_cast<std::size_t>(y) * FixtureWidth + x] = p;
        }
    }
    return image;
}

// The plain meaning of a copy, pixel by pixel, to compare the prepared runs against.
BackBuffer expectedAfterDraw(const BackBuffer& before, const Image& image, bool transparent, int x,
                             int y) {
    BackBuffer expected = before;
    for (int ty = 0; ty < expected.height(); ++ty) {
        for (int tx = 0; tx < expected.width(); ++tx) {
            const long long sx = static_cast<long long>(tx) - x;
            const long long sy = static_cast<long long>(ty) - y;
            if (sx < 0 || sy < 0 || sx >= image.width || sy >= image.height) {
                continue;
            }
            const std::uint32_t p = image.at(static_cast<int>(sx), static_cast<int>(sy));
            if (!(transparent && p == Black)) {
                expected.row(ty)[tx] = p;
            }
        }
    }
    return expected;
}

// First differing pixel, for a readable failure instead of a dump of 300000 values.
std::string firstDifference(const BackBuffer& actual, const BackBuffer& expected) {
    for (int y = 0; y < actual.height(); ++y) {
        for (int x = 0; x < actual.width(); ++x) {
            if (actual.at(x, y) != expected.at(x, y)) {
                return "(" + std::to_string(x) + ", " + std::to_string(y) + "): got " +
                       std::to_string(actual.at(x, y)) + ", want " +
                       std::to_string(expected.at(x, y));
            }
        }
    }
    return {};
}

struct Placement {
    const char* name;
    int x;
    int y;
    bool drawsAnything;
    int bufferWidth = AreaWidth;   // pixels
    int bufferHeight = AreaHeight; // pixels
};

const Placement placements[] = {
    {"wholly inside", 270, 200, true},
    {"top-left corner", 0, 0, true},
    {"bottom-right corner", AreaWidth - FixtureWidth, AreaHeight - FixtureHeight, true},
    {"x -50 shows columns 50 to 99", -50, 100, true},
    {"x 600 shows the left 40 columns", 600, 100, true},
    {"y -30 shows rows 30 to 79", 300, -30, true},
    {"y 450 shows the top 30 rows", 300, 450, true},
    {"only the bottom-right pixel shows", -99, -79, true},
    {"cut at all four sides of a smaller buffer", -10, -10, true, 50, 40},
    {"one column left at x -99", -99, 0, true},
    {"one column left at x 639", 639, 0, true},
    {"x 640 draws nothing", AreaWidth, 0, false},
    {"x -100, x plus width 0, draws nothing", -FixtureWidth, 0, false},
    {"y 480 draws nothing", 0, AreaHeight, false},
    {"y -80 draws nothing", 0, -FixtureHeight, false},
    {"x INT_MAX draws nothing", INT_MAX, 0, false},
    {"x INT_MIN draws nothing", INT_MIN, 0, false},
    {"y INT_MAX draws nothing", 0, INT_MAX, false},
    {"y INT_MIN draws nothing", 0, INT_MIN, false},
    {"x INT_MAX minus 50 draws nothing", INT_MAX - 50, 10, false},
};

struct DrawCase {
    Placement where;
    bool transparent;
};

// Failure messages name the row instead of dumping its bytes.
void PrintTo(const DrawCase& c, std::ostream* os) {
    *os << (c.transparent ? "keyed " : "opaque ") << c.where.name;
}

class PictureDraw : public testing::TestWithParam<DrawCase> {};

TEST_P(PictureDraw, MatchesPixelByPixelCopy) {
    const DrawCase c = GetParam();
    const Image image = makeFixture(c.transparent);
    const PreparedPicture picture(image, c.transparent);
    BackBuffer buffer(c.where.bufferWidth, c.where.bufferHeight);
    buffer.fill(Background);
    const BackBuffer untouched = buffer;

    picture.drawTo(buffer, c.where.x, c.where.y);

    const BackBuffer expected =
        expectedAfterDraw(untouched, image, c.transparent, c.where.x, c.where.y);
    EXPECT_EQ(firstDifference(buffer, expected), "");
    EXPECT_EQ(firstDifference(buffer, untouched).empty(), !c.where.drawsAnything);
}

std::vector<DrawCase> allDrawCases() {
    std::vector<DrawCase> cases;
    for (bool transparent : {false, true}) {
        for (const Placement& p : placements) {
            cases.push_back({p, transparent});
        }
    }
    return cases;
}

INSTANTIATE_TEST_SUITE_P(Placements, PictureDraw, testing::ValuesIn(allDrawCases()),
                         [](const testing::TestParamInfo<DrawCase>& info) {
                             return rowName(
                                 std::string(info.param.transparent ? "keyed " : "opaque ") +
                                 info.param.where.name);
                         });

TEST(PictureDraw, LeftCutShowsTheRightHandColumnsLinedUp) {
    const PreparedPicture picture(makeFixture(false), false);
    BackBuffer buffer(AreaWidth, AreaHeight);

    picture.drawTo(buffer, -50, 0);

    EXPECT_EQ(buffer.at(0, 0), encoded(50, 0));
    EXPECT_EQ(buffer.at(49, 79), encoded(99, 79));
    EXPECT_EQ(buffer.at(50, 0), Black); // the buffer's own start colour
}

// Small hand-made row: key, near-black, colour, key, white.
Image makeKeyRow() {
    Image image;
    image.width = 5;
    image.height = 1;
    image.pixels = {Black, NearBlack, 0xFF0000u, Black, 0xFFFFFFu};
    return image;
}

TEST(PictureDraw, TransparentPictureKeepsBackgroundOnlyUnderBlack) {
    const PreparedPicture picture(makeKeyRow(), true);
    BackBuffer buffer(AreaWidth, AreaHeight);
    buffer.fill(Background);

    picture.drawTo(buffer, 10, 20);

    EXPECT_EQ(buffer.at(10, 20), Background);
    EXPECT_EQ(buffer.at(11, 20), NearBlack);
    EXPECT_EQ(buffer.at(12, 20), 0xFF0000u);
    EXPECT_EQ(buffer.at(13, 20), Background);
    EXPECT_EQ(buffer.at(14, 20), 0xFFFFFFu);
}

TEST(PictureDraw, OpaquePictureOverwritesWithBlack) {
    const PreparedPicture picture(makeKeyRow(), false);
    BackBuffer buffer(AreaWidth, AreaHeight);
    buffer.fill(Background);

    picture.drawTo(buffer, 10, 20);

    EXPECT_EQ(buffer.at(10, 20), Black);
    EXPECT_EQ(buffer.at(13, 20), Black);
    EXPECT_EQ(buffer.at(11, 20), NearBlack);
}

TEST(PictureDraw, AllBlackTransparentPictureChangesNothing) {
    Image image;
    image.width = 3;
    image.height = 2;
    image.pixels.assign(6, Black);
    const PreparedPicture picture(image, true);
    BackBuffer buffer(AreaWidth, AreaHeight);
    buffer.fill(Background);

    picture.drawTo(buffer, 0, 0);

    EXPECT_EQ(buffer.at(0, 0), Background);
    EXPECT_EQ(buffer.at(2, 1), Background);
}

TEST(PictureDraw, PixelCountMismatchIsRejected) {
    Image image;
    image.width = 3;
    image.height = 2;
    image.pixels.assign(5, Black);
    EXPECT_THROW(PreparedPicture(image, false), std::invalid_argument);
}

struct FillCase {
    const char* name;
    int left;
    int top;
    int right;
    int bottom;
    // Expected covered part, right/bottom exclusive; an empty one means nothing changes.
    int coveredLeft;
    int coveredTop;
    int coveredRight;
    int coveredBottom;
};

// Failure messages name the row instead of dumping its bytes.
void PrintTo(const FillCase& c, std::ostream* os) {
    *os << c.name;
}

const FillCase fillCases[] = {
    {"inside, right and bottom exclusive", 10, 40, 110, 120, 10, 40, 110, 120},
    {"cut at the left", -90, 40, 10, 120, 0, 40, 10, 120},
    {"cut at the right", 600, 40, 700, 120, 600, 40, 640, 120},
    {"cut at the top", 5, -10, 15, 3, 5, 0, 15, 3},
    {"cut at the bottom", 5, 470, 15, 550, 5, 470, 15, 480},
    {"covers more than the buffer", -1000, -1000, 1000, 1000, 0, 0, 640, 480},
    {"int extremes cover the buffer", INT_MIN, INT_MIN, INT_MAX, INT_MAX, 0, 0, 640, 480},
    {"wholly left", -200, 40, -100, 120, 0, 0, 0, 0},
    {"right edge 0 is wholly left", -100, 40, 0, 120, 0, 0, 0, 0},
    {"left edge 640 is wholly right", 640, 40, 740, 120, 0, 0, 0, 0},
    {"wholly above", 0, -80, 100, 0, 0, 0, 0, 0},
    {"top edge 480 is wholly below", 0, 480, 100, 560, 0, 0, 0, 0},
    {"empty width", 50, 50, 50, 60, 0, 0, 0, 0},
    {"inverted", 60, 60, 50, 70, 0, 0, 0, 0},
    {"inverted vertically", 50, 70, 60, 60, 0, 0, 0, 0},
};

class RectFill : public testing::TestWithParam<FillCase> {};

TEST_P(RectFill, CoversExactlyTheCutRectangle) {
    const FillCase c = GetParam();
    constexpr std::uint32_t Color = 0xABCDEFu;
    BackBuffer buffer(AreaWidth, AreaHeight);
    buffer.fill(Background);

    buffer.fillRect(c.left, c.top, c.right, c.bottom, Color);

    BackBuffer expected(AreaWidth, AreaHeight);
    expected.fill(Background);
    for (int y = c.coveredTop; y < c.coveredBottom; ++y) {
        for (int x = c.coveredLeft; x < c.coveredRight; ++x) {
            expected.row(y)[x] = Color;
        }
    }
    EXPECT_EQ(firstDifference(buffer, expected), "");
}

INSTANTIATE_TEST_SUITE_P(Rectangles, RectFill, testing::ValuesIn(fillCases),
                         [](const testing::TestParamInfo<FillCase>& info) {
                             return rowName(info.param.name);
                         });

TEST(BackBufferTest, StartsBlackAndFillsEveryPixel) {
    BackBuffer buffer(AreaWidth, AreaHeight);
    EXPECT_EQ(buffer.at(0, 0), Black);
    EXPECT_EQ(buffer.at(639, 479), Black);

    buffer.fill(Background);

    EXPECT_EQ(buffer.at(0, 0), Background);
    EXPECT_EQ(buffer.at(639, 479), Background);
}

// The list itself: nothing is drawn before preparing or after releasing, sizes are known
// throughout. Uses the real pictures only for their sizes and one opaque copy.
TEST(ImageList, DrawsOnlyWhilePrepared) {
    TDXImageList list;
    EXPECT_EQ(list.width(Laufschrift), 300);
    EXPECT_EQ(list.height(Laufschrift), 50);
    EXPECT_EQ(list.width(Muster), 100);
    EXPECT_EQ(list.height(Muster), 80);
    BackBuffer untouched(AreaWidth, AreaHeight);
    untouched.fill(Background);
    BackBuffer buffer(AreaWidth, AreaHeight);
    buffer.fill(Background);

    list.draw(buffer, Muster, 0, 0);
    EXPECT_EQ(firstDifference(buffer, untouched), "") << "drawn before prepare";

    list.prepare();
    list.draw(buffer, Muster, 600, 0);
    EXPECT_EQ(buffer.at(600, 0), list.image(Muster).at(0, 0));
    EXPECT_EQ(buffer.at(639, 79), list.image(Muster).at(39, 79));
    EXPECT_EQ(buffer.at(599, 0), Background);

    list.release();
    buffer.fill(Background);
    list.draw(buffer, Muster, 0, 0);
    EXPECT_EQ(firstDifference(buffer, untouched), "") << "drawn after release";
    EXPECT_EQ(list.width(Kontrastbild), 640);
}

TEST(ImageList, PreparingAgainDrawsTheSame) {
    TDXImageList list;
    list.prepare();
    BackBuffer first(AreaWidth, AreaHeight);
    first.fill(Background);
    list.draw(first, Scala, -7, 3);
    list.draw(first, Kontrastbild, 0, 300);

    list.prepare();
    BackBuffer second(AreaWidth, AreaHeight);
    second.fill(Background);
    list.draw(second, Scala, -7, 3);
    list.draw(second, Kontrastbild, 0, 300);

    EXPECT_EQ(firstDifference(second, first), "");
}

} // namespace
} // namespace vantrel
