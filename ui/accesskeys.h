// Automatic access keys of a menu group.
// In: the captions of a group of sibling items, in menu order, as UTF-8.
// Out: for each caption the byte offset of its access character, or -1 when it has none.
#pragma once

#include <string>
#include <vector>

namespace vantrel {

// Each caption gets its first ASCII letter or digit not yet taken in the group (case-blind).
std::vector<int> assignAccessKeys(const std::vector<std::string>& captions);

// The caption with '&' before its access character and every literal '&' doubled,
// as a menu label wants it.
std::string withAccessMark(const std::string& caption, int offset);

} // namespace vantrel
