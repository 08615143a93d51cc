#include "display/motion.h"

#include <cmath>
#include <limits>

namespace vantrel {

namespace {

using Ext = long double; // x87 extended precision on x86-64: 64-bit significand
// The per-frame steps and the wrap tests are defined on a 64-bit significand; a build with
// a different long double (e.g. -mlong-double-64) would move the blocks differently.
static_assert(std::numeric_limits<Ext>::digits == 64, "extended precision long double needed");

// Pixels per frame at `speed` pixels per second: the two quotients are formed separately
// and then multiplied, so that 600 at 60 frames per second gives exactly 10.
Ext perSecond(int speed) {
    return static_cast<Ext>(speed) / 1000.0L;
}
Ext perFrame(int rate) {
    return 1000.0L / static_cast<Ext>(rate);
}

} // namespace

std::int64_t roundHalfEven(long double v) {
    if (std::isnan(v)) {
        return 0;
    }
    // 2^63 as long double; everything at or beyond it saturates instead of overflowing.
    constexpr long double limit = 9223372036854775808.0L;
    if (v >= limit) {
        return std::numeric_limits<std::int64_t>::max();
    }
    if (v < -limit) {
        return std::numeric_limits<std::int64_t>::min();
    }
    // Done by hand rather than with nearbyint so the result does not depend on the
    // thread's current rounding mode. v - floor(v) is exact in binary floating point.
    const long double below = std::floor(v);
    const long double fraction = v - below;
    auto result = static_cast<std::int64_t>(below);
    if (fraction > 0.5L || (fraction == 0.5L && (result & 1) != 0)) {
        ++result;
    }
    return result;
}

void advanceScale(double& BlockX, int speed, int distance, int rate) {
    const Ext step = perSecond(speed) * perFrame(rate);
    BlockX = static_cast<double>(static_cast<Ext>(BlockX) + step);
    const Ext limit = static_cast<Ext>(distance) + 740; // pixels
    if (!(limit >= BlockX)) {
        BlockX = -100.0;
    }
}

void advanceFree(double& BlockX, double& BlockY, std::int32_t& DirX, std::int32_t& DirY, int speed,
                 int rate, int areaWidth, int floorY) {
    BlockX = static_cast<double>(static_cast<Ext>(BlockX) +
                                 (perSecond(speed) * static_cast<Ext>(DirX)) * perFrame(rate));
    BlockY = static_cast<double>(static_cast<Ext>(BlockY) +
                                 (perSecond(speed) * static_cast<Ext>(DirY)) * perFrame(rate));
    // The order matters when the area is smaller than the block: the later test wins.
    // Directions turn after the move; the position is never pulled back.
    if (static_cast<Ext>(BlockY) + BlockHeight > static_cast<Ext>(floorY)) {
        DirY = -1;
    }
    if (!(BlockY > 0)) {
        DirY = 1;
    }
    if (!(static_cast<Ext>(areaWidth) >= static_cast<Ext>(BlockX) + BlockWidth)) {
        DirX = -1;
    }
    if (!(BlockX > 0)) {
        DirX = 1;
    }
}

void advanceTicker(double& TickerX, int speed, int rate, int marqueeWidth, int areaWidth) {
    TickerX = static_cast<double>(static_cast<Ext>(TickerX) - perSecond(speed) * perFrame(rate));
    if (static_cast<Ext>(marqueeWidth) + static_cast<Ext>(TickerX) < 0) {
        TickerX = static_cast<double>(areaWidth);
    }
}

std::int64_t distanceTimeMs(int distance, int speed) {
    return roundHalfEven((static_cast<Ext>(distance) / static_cast<Ext>(speed)) * 1000.0L);
}

} // namespace vantrel
