// The white ink of the marquee text "Laufschrift (Arial 20)", kept as data so that the
// program needs no font at run time.
// In: nothing. Out: row strings over the ink's bounding box, '#' white and '.' not white.
// laufschrift_mask.cpp is written by tools/render_laufschrift; regenerate it rather than
// editing it by hand.
#pragma once

namespace vantrel {

extern const int laufschriftMaskLeft;     // picture column of each row's first character, pixels
extern const int laufschriftMaskTop;      // picture row of the first row string, pixels
extern const int laufschriftMaskWidth;    // characters in every row string, pixels
extern const int laufschriftMaskRowCount; // row strings, pixels
extern const char* const laufschriftMaskRows[]; // laufschriftMaskRowCount entries

} // namespace vantrel
