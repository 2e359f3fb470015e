#pragma once
// A tracker's output as the companion's commands take it: the options that
// name its layout (--hyp-format, --geometry) and the loading of the file into
// frame objects. evaluate scores what this loads and render paints it, so
// both see the same hypotheses at the same places.

#include <optional>
#include <ostream>
#include <string>
#include <string_view>

#include "eval/Evaluation.h"
#include "eval/FrameObjects.h"
#include "tools/CommandLine.h"

class CTrackSet;

namespace cli {

// No track file or tracker output worth reading comes near this size.
inline constexpr std::size_t kMaxHypothesisBytes = std::size_t{256} << 20;

enum class HypLayout { kPoints, kMot, kTracks };

struct HypothesisInput {
  std::string file;
  HypLayout layout = HypLayout::kPoints;
  std::string geometryFile;  // empty: positions and frames as they stand
};

// Reads --hyp-format and --geometry into input (file is left to the caller).
// Returns the usage message when they cannot be used: an unknown layout, or
// --geometry with another layout than mot.
std::optional<std::string> ReadHypothesisOptions(const ParsedArgs& parsed, HypothesisInput& input);

struct LoadedHypotheses {
  FrameObjects objects;
  int outsideRows = 0;  // rows the geometry places outside frames 0 to 499
};

// Loads the hypotheses. With a geometry, each MOTChallenge box centre and
// frame number is mapped as mot2tracks maps ground truth. Returns the
// failure message ("FILE:LINE: why" for a bad line), or nothing.
std::optional<std::string> LoadHypotheses(const HypothesisInput& input, LoadedHypotheses& loaded);

// Notes on err, when the geometry placed rows outside the frames, how many
// were left out.
void NoteRowsLeftOut(std::ostream& err, std::string_view command, const HypothesisInput& input,
                     const LoadedHypotheses& loaded);

// The evaluation's ignore test for a track file's truth: a hypothesis left
// unmatched that the track set's NearDisabledTarget puts strictly closer
// than threshold to a disabled target (its position rounded to whole
// pixels) is not held against the tracker. truth must outlive the test.
IgnoreTest NearDisabledTargetTest(const CTrackSet& truth, double threshold);

}  // namespace cli
