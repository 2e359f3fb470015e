#pragma once
// Reading a tracker's output from text. Two layouts, one object a line:
//
//   points  frame,id,x,y              frame 0 to 499, the position itself
//   mot     frame,id,left,top,width,height[,conf,...]
//           frame 0 to 499 as it stands (as mot2tracks keeps MOT frame
//           numbers), the box's centre
//
// Fields are separated by commas (white space around them is dropped) or,
// on a line without a comma, by white space. Columns after those named are
// ignored. '#' starts a comment that runs to the end of the line; blank
// lines are ignored. frame and id are integers (a decimal with a zero
// fraction is taken); positions and sizes are finite numbers of at most
// 1e9 in magnitude, sizes not negative. An id appears at most once in a
// frame, and a frame holds at most kMaxHypothesesPerFrame objects.

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "eval/FrameObjects.h"

enum class HypothesisFormat { kPoints, kMot };

// Bounds the memory and time a file can make the evaluation take (every
// truth object may be within reach of every hypothesis); no tracker reports
// this many objects in one picture.
inline constexpr int kMaxHypothesesPerFrame = 1000;

struct ReadProblem {
  std::size_t line = 0;  // from 1
  std::string what;
};

// Reads text into rows (frames counted from 0). Returns the first line that
// is not an object or overfills its frame; when there is none, the first
// line that repeats the frame and id of an earlier one; otherwise nothing.
// On a problem rows holds what was read before it.
std::optional<ReadProblem> ReadHypotheses(std::string_view text, HypothesisFormat format,
                                          std::vector<ObjectRow>& rows);

// Where a box's centre, read at a MOTChallenge frame number, stands in the
// frames: its frame (nothing when it maps to none) and its position. A series
// converted from other pictures maps both the way its geometry records.
struct PlacedObject {
  std::optional<int> frame;
  double x = 0.0;
  double y = 0.0;
};
using MotPlacement = std::function<PlacedObject(int motFrame, double x, double y)>;

// Reads MOTChallenge rows as ReadHypotheses does, but with frame numbers and
// centres mapped by `place`: a frame may be any whole number in int range,
// and a row placed outside frames 0 to MAX_TRACK_FRAMES - 1 is left out and
// counted in `outside`. Repeated ids and overfull frames are judged on the
// frames placed.
std::optional<ReadProblem> ReadPlacedMotHypotheses(std::string_view text, const MotPlacement& place,
                                                   std::vector<ObjectRow>& rows, int& outside);
