// What a spin box makes of the text typed into its edit box.
// In: the edit box's text (UTF-8) and the spin range.
// Out: the value the text stands for, or nothing when it is not a whole number within range.
#pragma once

#include <optional>
#include <string_view>

namespace vantrel {

// A whole number is an optional '-' followed by ASCII digits only; anything else
// (blanks, '+', letters, other scripts' digits) is not taken.
std::optional<int> parseSpinText(std::string_view text, int minimum, int maximum);

} // namespace vantrel
