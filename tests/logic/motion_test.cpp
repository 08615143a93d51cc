// Motion of the blocks and the marquee, the rounding of positions, and the distance time.
#include "display/motion.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstdint>
#include <ostream>
#include <string>

namespace vantrel {
namespace {

constexpr int AreaWidth = 640;    // pixels
constexpr int FloorY = 430;       // pixels: area height 480 minus marquee height 50
constexpr int MarqueeWidth = 300; // pixels

std::string rowName(const std::string& text) {
    std::string name;
    for (char c : text) {
        name += (std::isalnum(static_cast<unsigned char>(c)) != 0) ? c : '_';
    }
    return name;
}

template <typename Row> std::string nameOf(const testing::TestParamInfo<Row>& info) {
    return rowName(info.param.name);
}

// --- N(v) ---------------------------------------------------------------------------------

struct RoundCase {
    const char* name;
    long double value;
    std::int64_t expected;
};

// Failure messages name the row instead of dumping its bytes.
void PrintTo(const RoundCase& c, std::ostream* os) {
    *os << c.name;
}

const RoundCase roundCases[] = {
    {"10.5 rounds to 10", 10.5L, 10},
    {"11.5 rounds to 12", 11.5L, 12},
    {"-0.5 rounds to 0", -0.5L, 0},
    {"-1.5 rounds to -2", -1.5L, -2},
    {"-2.5 rounds to -2", -2.5L, -2},
    {"0.5 rounds to 0", 0.5L, 0},
    {"just above a half rounds up", 10.500000000000001L, 11},
    {"just below a half rounds down", 11.499999999999999L, 11},
    {"-2.6 rounds to -3", -2.6L, -3},
    {"-100 stays", -100.0L, -100},
    {"810 stays", 810.0L, 810},
    {"2 to the 62 plus a half rounds to even", 4611686018427387904.5L, 4611686018427387904},
};

class RoundHalfEven : public testing::TestWithParam<RoundCase> {};

TEST_P(RoundHalfEven, Table) {
    EXPECT_EQ(roundHalfEven(GetParam().value), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Values, RoundHalfEven, testing::ValuesIn(roundCases), nameOf<RoundCase>);

// --- distance time ------------------------------------------------------------------------

struct TimeCase {
    const char* name;
    int distance; // pixels
    int speed;    // pixels per second
    std::int64_t expectedMs;
};

// Failure messages name the row instead of dumping its bytes.
void PrintTo(const TimeCase& c, std::ostream* os) {
    *os << c.name;
}

const TimeCase timeCases[] = {
    {"75 at 600 is 125", 75, 600, 125},
    {"1 at 16 is 62 as 62.5 goes to even", 1, 16, 62},
    {"3 at 16 is 188 as 187.5 goes to even", 3, 16, 188},
    {"0 is 0", 0, 600, 0},
    {"100 at 1 is the largest, 100000", 100, 1, 100000},
    {"1 at 1500 is 1", 1, 1500, 1},
    {"100 at 1500 is 67", 100, 1500, 67},
};

class DistanceTime : public testing::TestWithParam<TimeCase> {};

TEST_P(DistanceTime, Table) {
    EXPECT_EQ(distanceTimeMs(GetParam().distance, GetParam().speed), GetParam().expectedMs);
}

INSTANTIATE_TEST_SUITE_P(Values, DistanceTime, testing::ValuesIn(timeCases), nameOf<TimeCase>);

// --- scale mode ---------------------------------------------------------------------------

TEST(ScaleMode, DefaultRunStepsByTenAndWrapsAfter810) {
    double blockX = 10.0;
    for (int frame = 1; frame <= 80; ++frame) {
        advanceScale(blockX, 600, 75, 60);
        ASSERT_EQ(blockX, 10.0 + 10.0 * frame) << "frame " << frame;
    }
    EXPECT_EQ(blockX, 810.0);
    advanceScale(blockX, 600, 75, 60);
    EXPECT_EQ(blockX, -100.0) << "820 exceeds 815";
    advanceScale(blockX, 600, 75, 60);
    EXPECT_EQ(blockX, -90.0);
    advanceScale(blockX, 600, 75, 60);
    EXPECT_EQ(blockX, -80.0);
}

struct ScaleCase {
    const char* name;
    double start;
    int speed;
    int distance;
    int rate;
    double expected;
};

// Failure messages name the row instead of dumping its bytes.
void PrintTo(const ScaleCase& c, std::ostream* os) {
    *os << c.name;
}

const ScaleCase scaleCases[] = {
    {"equal to the limit 815 does not wrap", 805.0, 600, 75, 60, 815.0},
    {"past the limit 815 wraps", 806.0, 600, 75, 60, -100.0},
    {"distance 100 keeps 840", 830.0, 600, 100, 60, 840.0},
    {"distance 100 wraps past 840", 831.0, 600, 100, 60, -100.0},
    {"distance 0 wraps past 740", 731.0, 600, 0, 60, -100.0},
    {"rate 75 steps by 8", 10.0, 600, 75, 75, 18.0},
    {"speed 1500 at rate 60 steps by 25", 10.0, 1500, 75, 60, 35.0},
    {"speed 16 at rate 64 steps by a quarter", 10.0, 16, 75, 64, 10.25},
    // In double arithmetic this step comes out one unit in the last place lower.
    {"speed 16 at rate 63 keeps extended precision", 10.0, 16, 75, 63, 0x1.4820820820821p+3},
    {"speed 6 at rate 83 keeps extended precision", 10.0, 6, 75, 83, 0x1.42503159721edp+3},
};

class ScaleStep : public testing::TestWithParam<ScaleCase> {};

TEST_P(ScaleStep, OneFrame) {
    const ScaleCase c = GetParam();
    double blockX = c.start;
    advanceScale(blockX, c.speed, c.distance, c.rate);
    EXPECT_EQ(blockX, c.expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, ScaleStep, testing::ValuesIn(scaleCases), nameOf<ScaleCase>);

// --- free mode ----------------------------------------------------------------------------

struct FreeState {
    double x;
    double y;
    std::int32_t dirX;
    std::int32_t dirY;
};

struct FreeCase {
    const char* name;
    FreeState before;
    int areaWidth;
    int floorY;
    FreeState after;
};

// Failure messages name the row instead of dumping its bytes.
void PrintTo(const FreeCase& c, std::ostream* os) {
    *os << c.name;
}

// Speed 600 at rate 60: 10 pixels per frame.
const FreeCase freeCases[] = {
    {"moves right and down", {10, 1, 1, 1}, AreaWidth, FloorY, {20, 11, 1, 1}},
    {"moves left and up", {300, 200, -1, -1}, AreaWidth, FloorY, {290, 190, -1, -1}},
    {"bottom exactly on the floor keeps going",
     {10, 340, 1, 1},
     AreaWidth,
     FloorY,
     {20, 350, 1, 1}},
    {"bottom past the floor turns up, not pulled back",
     {10, 341, 1, 1},
     AreaWidth,
     FloorY,
     {20, 351, 1, -1}},
    {"top at 1 keeps going up", {10, 11, 1, -1}, AreaWidth, FloorY, {20, 1, 1, -1}},
    {"top reaching 0 turns down", {10, 10, 1, -1}, AreaWidth, FloorY, {20, 0, 1, 1}},
    {"top above the area turns down, not pulled back",
     {10, 1, 1, -1},
     AreaWidth,
     FloorY,
     {20, -9, 1, 1}},
    {"right edge exactly at 640 keeps going",
     {530, 100, 1, 1},
     AreaWidth,
     FloorY,
     {540, 110, 1, 1}},
    {"right edge past 640 turns left, not pulled back",
     {541, 100, 1, 1},
     AreaWidth,
     FloorY,
     {551, 110, -1, 1}},
    {"left edge reaching 0 turns right", {10, 100, -1, 1}, AreaWidth, FloorY, {0, 110, 1, 1}},
    {"both directions turn in one frame", {541, 341, 1, 1}, AreaWidth, FloorY, {551, 351, -1, -1}},
    // Only an area smaller than the block makes both tests of one axis hold; the order of
    // the tests decides, and the later one (top, left) wins.
    {"area lower than the block: top test wins", {10, 10, 1, -1}, AreaWidth, 50, {20, 0, 1, 1}},
    {"area narrower than the block: left test wins", {10, 100, -1, 1}, 50, FloorY, {0, 110, 1, 1}},
    {"area lower than the block, top inside: floor test turns up",
     {10, 10, 1, 1},
     AreaWidth,
     50,
     {20, 20, 1, -1}},
};

class FreeStep : public testing::TestWithParam<FreeCase> {};

TEST_P(FreeStep, OneFrame) {
    const FreeCase c = GetParam();
    FreeState s = c.before;
    advanceFree(s.x, s.y, s.dirX, s.dirY, 600, 60, c.areaWidth, c.floorY);
    EXPECT_EQ(s.x, c.after.x);
    EXPECT_EQ(s.y, c.after.y);
    EXPECT_EQ(s.dirX, c.after.dirX);
    EXPECT_EQ(s.dirY, c.after.dirY);
}

INSTANTIATE_TEST_SUITE_P(Cases, FreeStep, testing::ValuesIn(freeCases), nameOf<FreeCase>);

// A long run from the start values at an uneven step (speed 7 at rate 61): every frame
// moves by the full step in the direction held before it, and the block never gets more
// than one step beyond a bound before it comes back.
TEST(FreeMode, LongRunBouncesWithoutPullingBack) {
    FreeState s{10.0, 1.0, 1, 1};
    const long double step = (7 / 1000.0L) * (1000.0L / 61);
    constexpr long double Slack = 1e-9L; // pixels: rounding of the stored doubles
    int turnsX = 0;
    int turnsY = 0;
    for (int frame = 0; frame < 100000; ++frame) {
        const FreeState before = s;
        advanceFree(s.x, s.y, s.dirX, s.dirY, 7, 61, AreaWidth, FloorY);
        ASSERT_EQ(s.x, static_cast<double>(before.x + before.dirX * step)) << "frame " << frame;
        ASSERT_EQ(s.y, static_cast<double>(before.y + before.dirY * step)) << "frame " << frame;
        ASSERT_GT(s.x, -step - Slack);
        ASSERT_LE(s.x + BlockWidth, AreaWidth + step + Slack);
        ASSERT_GT(s.y, -step - Slack);
        ASSERT_LE(s.y + BlockHeight, FloorY + step + Slack);
        turnsX += s.dirX != before.dirX ? 1 : 0;
        turnsY += s.dirY != before.dirY ? 1 : 0;
    }
    // About 0.115 pixels per frame: 11500 pixels in each axis, many bounces each way.
    EXPECT_GE(turnsX, 20);
    EXPECT_GE(turnsY, 20);
}

// --- marquee ------------------------------------------------------------------------------

TEST(Marquee, FromFiveHundredWrapsTo640OncePastMinus300) {
    double tickerX = 500.0;
    for (int frame = 1; frame <= 80; ++frame) {
        advanceTicker(tickerX, 600, 60, MarqueeWidth, AreaWidth);
        ASSERT_EQ(tickerX, 500.0 - 10.0 * frame) << "frame " << frame;
    }
    EXPECT_EQ(tickerX, -300.0) << "right edge exactly at 0 is not yet gone";
    advanceTicker(tickerX, 600, 60, MarqueeWidth, AreaWidth);
    EXPECT_EQ(tickerX, 640.0);
    advanceTicker(tickerX, 600, 60, MarqueeWidth, AreaWidth);
    EXPECT_EQ(tickerX, 630.0);
}

TEST(Marquee, WrapsAsSoonAsItsRightEdgeIsLeftOfZero) {
    double tickerX = -299.5;
    advanceTicker(tickerX, 30, 60, MarqueeWidth, AreaWidth); // step 0.5
    EXPECT_EQ(tickerX, -300.0);
    advanceTicker(tickerX, 30, 60, MarqueeWidth, AreaWidth);
    EXPECT_EQ(tickerX, 640.0);
}

} // namespace
} // namespace vantrel
