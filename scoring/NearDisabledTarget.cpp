#include "scoring/NearDisabledTarget.h"

#include <algorithm>
#include <cmath>

#include "tracks/TrackSet.h"

namespace {

// The nearest whole pixel, for the track set's own test of nearness.
int Pixel(double value) {
  return static_cast<int>(std::clamp(std::llround(value), -2147483647LL, 2147483647LL));
}

}  // namespace

IgnoreTest NearDisabledTargetTest(const CTrackSet& truth, double threshold) {
  return [&truth, threshold](const FrameObject& h, int frame) {
    return truth.NearDisabledTarget(Pixel(h.x), Pixel(h.y), frame, threshold);
  };
}
