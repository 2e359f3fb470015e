#pragma once
// MOTChallenge rows to a track file and back. A target's position is the
// centre of its box, mapped through a series' geometry into the frame and
// rounded (halves up); its frame number maps through the geometry too. The
// track file holds positions the loader reads as they are meant: a position
// that would read as absent, (0, 0), is written as (1, 0), and coordinates
// are clamped to −999..999, since a coordinate above 999 disables a target.

#include <optional>
#include <set>
#include <span>
#include <string>
#include <vector>

#include "geometry/ImportGeometry.h"
#include "mot/MotRows.h"

class CTrackSet;

namespace cli {

// Where a box centre given at MOTChallenge frame `frame` stands in the
// series: the output frame the geometry gives that source number (nothing
// when it falls outside int), and the centre mapped into the frame and
// rounded to the nearest pixel, halves up. Without a geometry the frame and
// the centre stand as they are, the centre rounded all the same. Ground
// truth and tracker output both go through here, so they land on the same
// pixels.
struct PlacedCentre {
  std::optional<int> frame;
  Point position;
};
PlacedCentre PlaceMotCentre(const FrameGeometry* geometry, int frame, Point centre);

struct MotSelection {
  const FrameGeometry* geometry = nullptr;  // nothing: positions and frames as they stand
  std::optional<std::set<int>> classes;     // nothing: every class
  std::vector<int> ids;                     // empty: the first targets to appear
};

// What the conversion left out or changed, for the command's warning.
struct MotCounts {
  int ignoredRows = 0;       // conf 0: not a target
  int otherClassRows = 0;    // a class not asked for
  int outsideFrameRows = 0;  // rows cut: outside 0..499, of a target with rows inside
  int outsideTargets = 0;    // targets all of whose rows map outside 0..499
  int outsideTargetRows = 0;
  int droppedTargets = 0;  // targets beyond 50, or not among the ids asked for
  int droppedTargetRows = 0;
  int clampedPositions = 0;  // a coordinate beyond ±999
  int movedPositions = 0;    // (0, 0) written as (1, 0)
  int emptyTargets = 0;      // ids asked for that have no box
  int targets = 0;           // targets written
  int frames = 0;            // frames written
};

// The track file of the rows. Returns what is wrong (the same id twice in
// one frame, naming FILE:LINE with `name`), or nothing.
std::optional<std::string> MotToTrackText(std::span<const MotRow> rows,
                                          const MotSelection& selection, const std::string& name,
                                          std::string& text, MotCounts& counts);

// One row per target per frame with a position: a box of boxWidth ×
// boxHeight frame pixels centred on it, mapped back through the geometry
// (when given), conf 1, class 1, visibility 1; ids count from 1 in the
// order of the targets. Frames are `xs`/`ys` per target, (0, 0) absent;
// coordinates above 999 are not positions.
struct TrackPositions {
  std::vector<std::vector<int>> xs;
  std::vector<std::vector<int>> ys;
};
// The positions that became no row: those whose frame maps to a source
// number outside int, and those whose box, mapped back, is not finite (a
// scale so small that dividing by it overflows).
struct TrackRowCounts {
  int positions = 0;  // positions in the track file, rows written or not
  int outsideNumbers = 0;
  int notFinite = 0;
};
std::vector<MotRow> TracksToMotRows(const TrackPositions& tracks, const FrameGeometry* geometry,
                                    double boxWidth, double boxHeight, TrackRowCounts& counts);

// The positions of every target in use of a track set, in its order.
TrackPositions PositionsOf(const CTrackSet& tracks);

}  // namespace cli
