#pragma once
// Objects with an extent: a box per object and frame, as MOTChallenge files
// give them (left, top, width and height in pixels), and the box overlap the
// field scores them by.

#include <limits>

#include "eval/FrameObjects.h"
#include "eval/FrameTable.h"

struct BoxObject {
  int id = 0;
  double left = 0.0;
  double top = 0.0;
  double width = 0.0;
  double height = 0.0;
};

using BoxRow = FrameRow<BoxObject>;
using BoxFrames = FrameTable<BoxObject>;

// The slack the benchmark's comparisons of similarities allow: a similarity
// reaches a threshold when it is at least the threshold less this, and a
// score counts as positive when it exceeds it.
inline constexpr double kSimilaritySlack = std::numeric_limits<double>::epsilon();

// The intersection over union of two boxes, 0 to 1. A box spans left to
// left + width and top to top + height (no extra pixel at the far edge);
// a box whose area is not above kSimilaritySlack overlaps nothing. The
// arithmetic is done in the order the benchmark's own evaluation does it, so
// that a value at a threshold falls on the same side.
double BoxIou(const BoxObject& a, const BoxObject& b);

// The box's centre as a point object with its id.
FrameObject BoxCentre(const BoxObject& box);

// Every box's centre, frame by frame; frames as they stand.
FrameObjects BoxCentres(const BoxFrames& boxes);
