// Tick decisions and the measured frame rate, driven by a hand-made millisecond clock.
#include "display/ratemeter.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

namespace vantrel {
namespace {

std::string rowName(const std::string& text) {
    std::string name;
    for (char c : text) {
        name += (std::isalnum(static_cast<unsigned char>(c)) != 0) ? c : '_';
    }
    return name;
}

struct RateCase {
    const char* name;
    std::uint32_t start;             // clock reading when the ticks are armed
    std::vector<std::uint32_t> gaps; // milliseconds between polls, repeated in turn
    int polls;
    std::int32_t expectedRate;
};

// Failure messages name the row instead of dumping its bytes.
void PrintTo(const RateCase& c, std::ostream* os) {
    *os << c.name;
}

std::vector<std::uint32_t> repeated(std::vector<std::uint32_t> pattern, int times) {
    std::vector<std::uint32_t> all;
    for (int i = 0; i < times; ++i) {
        all.insert(all.end(), pattern.begin(), pattern.end());
    }
    return all;
}

const RateCase rateCases[] = {
    {"1 tick per ms for 1000 ms gives 1000", 0, {1}, 1000, 1000},
    {"60 ticks 16 or 17 ms apart give 60", 0, repeated({17, 17, 16}, 20), 60, 60},
    {"across the 32-bit wrap gives 1000", 0xFFFFFF00u, {1}, 1000, 1000},
    {"60 Hz across the 32-bit wrap gives 60", 0xFFFFFFF0u, repeated({17, 17, 16}, 20), 60, 60},
    {"75 ticks in 1000 ms give 75", 5000, {13, 13, 14}, 75, 75},
    // The window closes with the first tick at or after 1000 ms: 34 ticks in 1020 ms.
    {"34 ticks in 1020 ms give 33", 0, {30}, 34, 33},
    {"3 ticks in 2000 ms give 2 as 1.5 goes to even", 0, {500, 499, 1001}, 3, 2},
    {"5 ticks in 2000 ms give 2 as 2.5 goes to even", 0, {250, 250, 250, 249, 1001}, 5, 2},
};

class MeasuredRate : public testing::TestWithParam<RateCase> {};

TEST_P(MeasuredRate, ClosesTheFirstWindow) {
    const RateCase c = GetParam();
    TickMeter meter;
    meter.restart(c.start);
    std::uint32_t now = c.start;
    for (int i = 0; i < c.polls; ++i) {
        EXPECT_EQ(meter.frameRate(), 0) << "before the window closed, poll " << i;
        now += c.gaps[i % c.gaps.size()];
        ASSERT_TRUE(meter.poll(now).has_value()) << "poll " << i;
    }
    EXPECT_EQ(meter.frameRate(), c.expectedRate);
}

INSTANTIATE_TEST_SUITE_P(Clocks, MeasuredRate, testing::ValuesIn(rateCases),
                         [](const testing::TestParamInfo<RateCase>& info) {
                             return rowName(info.param.name);
                         });

struct LagCase {
    const char* name;
    std::uint32_t interval; // milliseconds
    std::uint32_t previous; // clock at the previous tick
    std::uint32_t now;
    bool ticks;
    std::int32_t lagCount;
    std::uint32_t msUntilDueBefore; // asked at `now` before polling
};

// Failure messages name the row instead of dumping its bytes.
void PrintTo(const LagCase& c, std::ostream* os) {
    *os << c.name;
}

const LagCase lagCases[] = {
    {"same ms gives no tick", 1, 100, 100, false, 0, 1},
    {"next ms ticks with LagCount 1", 1, 100, 101, true, 1, 0},
    {"a 5 ms gap gives LagCount 5", 1, 100, 105, true, 5, 0},
    {"a 5 ms gap across the wrap gives LagCount 5", 1, 0xFFFFFFFEu, 3, true, 5, 0},
    {"interval 16, 10 ms later: no tick, due in 6", 16, 100, 110, false, 0, 6},
    {"interval 16, 16 ms later ticks with LagCount 1", 16, 100, 116, true, 1, 0},
    {"interval 16, 40 ms later gives LagCount 2", 16, 100, 140, true, 2, 0},
    {"interval 0 ticks at the same ms with LagCount 1", 0, 100, 100, true, 1, 0},
    {"interval 0 counts whole ms as intervals", 0, 100, 103, true, 3, 0},
};

class Lag : public testing::TestWithParam<LagCase> {};

TEST_P(Lag, TickDecision) {
    const LagCase c = GetParam();
    TickMeter meter(c.interval);
    meter.restart(c.previous);

    EXPECT_EQ(meter.msUntilDue(c.now), c.msUntilDueBefore);
    const std::optional<std::int32_t> lag = meter.poll(c.now);

    ASSERT_EQ(lag.has_value(), c.ticks);
    if (c.ticks) {
        EXPECT_EQ(*lag, c.lagCount);
        EXPECT_EQ(meter.msUntilDue(c.now), c.interval) << "the tick becomes the previous one";
    }
}

INSTANTIATE_TEST_SUITE_P(Gaps, Lag, testing::ValuesIn(lagCases),
                         [](const testing::TestParamInfo<LagCase>& info) {
                             return rowName(info.param.name);
                         });

TEST(TickMeterTest, RefusedPollsLeaveThePreviousTickAlone) {
    TickMeter meter(16);
    meter.restart(0);
    EXPECT_FALSE(meter.poll(5).has_value());
    EXPECT_FALSE(meter.poll(15).has_value());
    // Measured from 0, not from the refused polls.
    const std::optional<std::int32_t> lag = meter.poll(16);
    ASSERT_TRUE(lag.has_value());
    EXPECT_EQ(*lag, 1);
}

// Resuming after a pause sets the window start anew but keeps the ticks counted since the
// last window closed, so the first measurement after the pause includes them.
TEST(TickMeterTest, RestartKeepsTheTickCount) {
    TickMeter meter;
    meter.restart(0);
    for (std::uint32_t now = 1; now <= 30; ++now) {
        ASSERT_TRUE(meter.poll(now).has_value());
    }
    meter.restart(5000);
    EXPECT_FALSE(meter.poll(5000).has_value()) << "restart makes now the previous tick";
    for (std::uint32_t now = 5001; now <= 6000; ++now) {
        ASSERT_TRUE(meter.poll(now).has_value());
    }
    EXPECT_EQ(meter.frameRate(), 1030);
}

TEST(TickMeterTest, EachClosedWindowStartsAFreshCount) {
    TickMeter meter;
    meter.restart(0);
    std::uint32_t now = 0;
    for (int i = 0; i < 60; ++i) {
        now += (i % 3 == 2) ? 16 : 17;
        meter.poll(now);
    }
    ASSERT_EQ(meter.frameRate(), 60);
    for (int i = 0; i < 75; ++i) {
        now += (i % 3 == 2) ? 14 : 13;
        meter.poll(now);
        if (i < 74) {
            ASSERT_EQ(meter.frameRate(), 60) << "the last closed window still counts";
        }
    }
    EXPECT_EQ(meter.frameRate(), 75);
}

} // namespace
} // namespace vantrel
