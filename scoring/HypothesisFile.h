#pragma once
// A tracker's output file loaded into frame objects, in one of three
// layouts: frame,id,x,y points, MOTChallenge rows (their box centres, placed
// through a series' geometry or as they stand) or a track file. evaluate
// scores what this loads and render paints it, so both see the same
// hypotheses at the same places.

#include <cstddef>
#include <optional>
#include <string>

#include "eval/FrameObjects.h"

// No track file or tracker output worth reading comes near this size.
inline constexpr std::size_t kMaxHypothesisBytes = std::size_t{256} << 20;

enum class HypLayout { kPoints, kMot, kTracks };

struct HypothesisInput {
  std::string file;
  HypLayout layout = HypLayout::kPoints;
  std::string geometryFile;  // empty: positions and frames as they stand
};

struct LoadedHypotheses {
  FrameObjects objects;
  int outsideRows = 0;  // rows the geometry places outside frames 0 to 499
};

// Loads the hypotheses. With a geometry, each MOTChallenge box centre and
// frame number is mapped as mot2tracks maps ground truth. Returns the
// failure message ("FILE:LINE: why" for a bad line), or nothing.
std::optional<std::string> LoadHypotheses(const HypothesisInput& input, LoadedHypotheses& loaded);
