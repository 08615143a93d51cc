#include "ui/spintext.h"

namespace vantrel {

std::optional<int> parseSpinText(std::string_view text, int minimum, int maximum) {
    bool negative = false;
    if (!text.empty() && text.front() == '-') {
        negative = true;
        text.remove_prefix(1);
    }
    if (text.empty())
        return std::nullopt;

    // Accumulate the magnitude in long long and stop growing it once it is beyond any int, so
    // that a very long run of digits cannot overflow yet still reads as out of range.
    constexpr long long Ceiling = 1LL << 40; // well above every int magnitude
    long long magnitude = 0;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        if (magnitude < Ceiling)
            magnitude = magnitude * 10 + (c - '0');
    }
    const long long value = negative ? -magnitude : magnitude;
    if (value < minimum || value > maximum)
        return std::nullopt;
    return static_cast<int>(value);
}

} // namespace vantrel
