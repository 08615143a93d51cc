// Motion arithmetic of the frame loop.
// In: speed (pixels per second), distance (pixels), the frame rate the frame divides by,
//     and the motion fields of the main window by reference.
// Out: the fields advanced by one frame; rounded positions and times for drawing and captions.
// All arithmetic runs in long double (64-bit significand on x86) and is rounded to double
// only when stored, so that every frame moves by exactly the same step.
#pragma once

#include <cstdint>

namespace vantrel {

inline constexpr int BlockWidth = 100;  // pixels
inline constexpr int BlockHeight = 80;  // pixels
inline constexpr int MinFrameRate = 60; // frames per second; lower rates are taken as this

// Nearest integer, a half going to the even neighbour (10.5 -> 10, 11.5 -> 12, -0.5 -> 0).
std::int64_t roundHalfEven(long double v);

// Scale mode: BlockX += (speed / 1000) * (1000 / rate); wraps to -100 when it exceeds
// distance + 740.
void advanceScale(double& BlockX, int speed, int distance, int rate);

// Free mode: moves the block, turns its directions after the move (never pulling it back),
// inside an area of areaWidth x floorY (floorY = area height - marquee height).
void advanceFree(double& BlockX, double& BlockY, std::int32_t& DirX, std::int32_t& DirY, int speed,
                 int rate, int areaWidth, int floorY);

// Free mode marquee: moves left by one step; back to areaWidth once wholly left of the area.
void advanceTicker(double& TickerX, int speed, int rate, int marqueeWidth, int areaWidth);

// Milliseconds by which the block precedes the reference block: N(distance / speed * 1000).
std::int64_t distanceTimeMs(int distance, int speed);

} // namespace vantrel
