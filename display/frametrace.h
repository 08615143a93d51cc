// Optional figures for the benchmarks: with VANTREL_FRAME_TRACE set, the program reports on
// standard error the time from start to its first presented frame and, once a second, the
// measured frame rate. Without it nothing is written and the checks cost one branch per frame.
#pragma once

namespace vantrel::frametrace {

bool enabled();
void presented(); // after every present of a frame
void rateMeasured(int framesPerSecond);

} // namespace vantrel::frametrace
