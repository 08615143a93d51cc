#include "display/frametrace.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>

namespace vantrel::frametrace {
namespace {

using Clock = std::chrono::steady_clock;

// Static initialisation runs before main, so this is as close to the start as we get.
const Clock::time_point startTime = Clock::now();
const bool traceOn = std::getenv("VANTREL_FRAME_TRACE") != nullptr;
bool firstPresented = false;
Clock::time_point lastReport;

} // namespace

bool enabled() {
    return traceOn;
}

void presented() {
    if (!traceOn || firstPresented)
        return;
    firstPresented = true;
    const auto ms = std::chrono::duration<double, std::milli>(Clock::now() - startTime).count();
    std::fprintf(stderr, "vantrel-trace first-frame-ms %.1f\n", ms);
    std::fflush(stderr);
}

void rateMeasured(int framesPerSecond) {
    if (!traceOn)
        return;
    // One sample a second: the rate itself only changes once per measuring window.
    const Clock::time_point now = Clock::now();
    if (now - lastReport < std::chrono::seconds(1))
        return;
    lastReport = now;
    std::fprintf(stderr, "vantrel-trace rate %d\n", framesPerSecond);
    std::fflush(stderr);
}

} // namespace vantrel::frametrace
