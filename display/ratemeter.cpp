#include "display/ratemeter.h"

#include "display/motion.h"

#include <algorithm>
#include <limits>

namespace vantrel {

namespace {
constexpr std::uint32_t RateWindowMs = 1000; // milliseconds a rate measurement spans at least
}

void TickMeter::restart(std::uint32_t now) {
    previous_ = now;
    windowStart_ = now;
}

std::optional<std::int32_t> TickMeter::poll(std::uint32_t now) {
    // Unsigned differences stay right across the wrap of the 32-bit clock.
    const std::uint32_t elapsed = now - previous_;
    if (elapsed < interval_) {
        return std::nullopt;
    }
    previous_ = now;
    const std::uint32_t intervals = std::max(elapsed / std::max(interval_, 1u), 1u);
    const auto lagCount = static_cast<std::int32_t>(
        std::min<std::uint32_t>(intervals, std::numeric_limits<std::int32_t>::max()));
    ++ticks_;
    const std::uint32_t window = std::max(now - windowStart_, 1u);
    if (window >= RateWindowMs) {
        rate_ = static_cast<std::int32_t>(
            roundHalfEven(static_cast<long double>(ticks_) * 1000.0L / window));
        ticks_ = 0;
        windowStart_ = now;
    }
    return lagCount;
}

std::uint32_t TickMeter::msUntilDue(std::uint32_t now) const {
    const std::uint32_t elapsed = now - previous_;
    return elapsed >= interval_ ? 0u : interval_ - elapsed;
}

} // namespace vantrel
