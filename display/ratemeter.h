// Tick decisions and frame-rate measurement of the frame timer, free of any clock or toolkit.
// In: readings of an unsigned 32-bit millisecond clock that wraps around.
// Out: whether a tick is due, its LagCount, and the measured rate (ticks per second of the
//      last closed window of at least 1000 ms).
#pragma once

#include <cstdint>
#include <optional>

namespace vantrel {

class TickMeter {
public:
    explicit TickMeter(std::uint32_t intervalMs = 1) : interval_(intervalMs) {}

    // Arming or resuming: the previous-tick time and the window start become `now`.
    // The tick count of the open window is kept.
    void restart(std::uint32_t now);

    // A tick when the clock has advanced by at least the interval since the previous one;
    // returns its LagCount (at least 1), or nothing when no tick is due.
    std::optional<std::int32_t> poll(std::uint32_t now);

    // Milliseconds until the next tick is due (0 when due now).
    std::uint32_t msUntilDue(std::uint32_t now) const;

    std::int32_t frameRate() const { return rate_; } // 0 until the first window has closed

private:
    std::uint32_t interval_ = 1; // milliseconds
    std::uint32_t previous_ = 0;
    std::uint32_t windowStart_ = 0;
    std::uint32_t ticks_ = 0;
    std::int32_t rate_ = 0;
};

} // namespace vantrel
