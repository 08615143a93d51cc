// Presenting at the vertical blank through GLX where the driver offers OML sync control.
// Kept apart from the Qt code because the X and GLX headers define macros that clash with it.
#pragma once

namespace vantrel::glx {

// Whether the display offers GLX_OML_sync_control and its entry points could be resolved.
bool omlAvailable(void* display);

// Swaps `drawable` at the next vertical blank and returns once that swap has completed.
// Returns false when the swap could not be made, so the caller can fall back.
bool swapAtNextVBlank(void* display, unsigned long drawable);

} // namespace vantrel::glx
