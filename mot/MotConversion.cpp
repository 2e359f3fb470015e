#include "mot/MotConversion.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <map>

#include "tracks/TrackSet.h"

namespace cli {
namespace {

struct Placed {
  int frame;
  int x;
  int y;
};

// A whole-pixel coordinate of the frame as the track file holds it. Clamped
// after rounding, so 999.6 becomes 999 and never the 1000 that disables.
int TrackCoordinate(double value, MotCounts& counts) {
  if (value < -kMaxTrackCoordinate || value > kMaxTrackCoordinate) {
    ++counts.clampedPositions;
    value = std::clamp<double>(value, -kMaxTrackCoordinate, kMaxTrackCoordinate);
  }
  return static_cast<int>(value);
}

// The targets to write, in order: the ids asked for, or the first
// MAX_TRACKS ids by their first frame (then by id).
std::vector<int> ChooseTargets(const std::map<int, std::vector<Placed>>& byId,
                               const MotSelection& selection) {
  if (!selection.ids.empty())
    return selection.ids;
  std::vector<std::pair<int, int>> firstFrames;  // (first frame, id)
  for (const auto& [id, placed] : byId)
    firstFrames.emplace_back(
        std::min_element(placed.begin(), placed.end(),
                         [](const Placed& a, const Placed& b) { return a.frame < b.frame; })
            ->frame,
        id);
  std::sort(firstFrames.begin(), firstFrames.end());
  std::vector<int> ids;
  for (std::size_t i = 0; i < firstFrames.size() && i < MAX_TRACKS; ++i)
    ids.push_back(firstFrames[i].second);
  return ids;
}

}  // namespace

PlacedCentre PlaceMotCentre(const FrameGeometry* geometry, int frame, Point centre) {
  PlacedCentre placed{frame, centre};
  if (geometry) {
    placed.position = SourceToFrame(*geometry, centre);
    placed.frame = SourceToFrameNumber(*geometry, frame);
  }
  placed.position.x = std::floor(placed.position.x + 0.5);
  placed.position.y = std::floor(placed.position.y + 0.5);
  return placed;
}

std::optional<std::string> MotToTrackText(std::span<const MotRow> rows,
                                          const MotSelection& selection, const std::string& name,
                                          std::string& text, MotCounts& counts) {
  counts = {};
  // The same id twice in one source frame is not ground truth.
  std::map<std::pair<int, int>, int> seen;  // (frame, id) -> line
  for (const MotRow& row : rows) {
    const auto [at, added] = seen.emplace(std::pair(row.frame, row.id), row.line);
    if (!added)
      return name + ":" + std::to_string(row.line) + ": id " + std::to_string(row.id) +
             " has a second box in frame " + std::to_string(row.frame) + " (the first is on line " +
             std::to_string(at->second) + ")";
  }

  std::map<int, std::vector<Placed>> byId;
  std::map<int, int> outsideById;  // rows of each id that map outside the frames
  for (const MotRow& row : rows) {
    if (row.conf == 0.0) {
      ++counts.ignoredRows;
      continue;
    }
    if (selection.classes && !selection.classes->contains(row.classId)) {
      ++counts.otherClassRows;
      continue;
    }
    const PlacedCentre centre = PlaceMotCentre(
        selection.geometry, row.frame, {row.left + row.width / 2, row.top + row.height / 2});
    if (!centre.frame || !IsTrackFrame(*centre.frame)) {
      ++outsideById[row.id];
      continue;
    }
    Placed placed{*centre.frame, TrackCoordinate(centre.position.x, counts),
                  TrackCoordinate(centre.position.y, counts)};
    if (placed.x == 0 && placed.y == 0) {
      placed.x = 1;
      ++counts.movedPositions;
    }
    byId[row.id].push_back(placed);
  }

  // A target none of whose rows lands in a frame is dropped whole; the rows
  // outside of the others are cut.
  for (const auto& [id, outside] : outsideById) {
    if (byId.contains(id)) {
      counts.outsideFrameRows += outside;
    } else {
      ++counts.outsideTargets;
      counts.outsideTargetRows += outside;
    }
  }
  const std::vector<int> targets = ChooseTargets(byId, selection);
  int firstFrame = INT_MAX;
  int lastFrame = INT_MIN;
  for (const auto& [id, placed] : byId) {
    if (std::find(targets.begin(), targets.end(), id) == targets.end()) {
      ++counts.droppedTargets;
      counts.droppedTargetRows += static_cast<int>(placed.size());
      continue;
    }
    for (const Placed& p : placed) {
      firstFrame = std::min(firstFrame, p.frame);
      lastFrame = std::max(lastFrame, p.frame);
    }
  }
  const bool anyPosition = firstFrame <= lastFrame;
  if (!anyPosition)
    firstFrame = 0;
  const int frames = anyPosition ? lastFrame - firstFrame + 1 : 0;

  // Every row (0, 0) first; the positions go in over them.
  const std::size_t width = targets.size();
  std::vector<std::pair<int, int>> table(width * static_cast<std::size_t>(std::max(frames, 0)),
                                         {0, 0});
  for (std::size_t t = 0; t < width; ++t) {
    const auto found = byId.find(targets[t]);
    if (found == byId.end()) {
      ++counts.emptyTargets;
      continue;
    }
    for (const Placed& p : found->second)
      table[static_cast<std::size_t>(p.frame - firstFrame) * width + t] = {p.x, p.y};
  }
  std::string result = std::to_string(width) + " " + std::to_string(firstFrame) + "\n";
  for (const auto& [x, y] : table)
    result += std::to_string(x) + " " + std::to_string(y) + "\n";
  counts.targets = static_cast<int>(width);
  counts.frames = frames;
  text = std::move(result);
  return std::nullopt;
}

std::vector<MotRow> TracksToMotRows(const TrackPositions& tracks, const FrameGeometry* geometry,
                                    double boxWidth, double boxHeight, TrackRowCounts& counts) {
  counts = {};
  std::vector<MotRow> rows;
  const double scaleX = geometry ? geometry->scaleX : 1.0;
  const double scaleY = geometry ? geometry->scaleY : 1.0;
  const std::size_t frames = tracks.xs.empty() ? 0 : tracks.xs.front().size();
  for (std::size_t f = 0; f < frames; ++f) {
    for (std::size_t t = 0; t < tracks.xs.size(); ++t) {
      const int x = tracks.xs[t][f];
      const int y = tracks.ys[t][f];
      if ((x == 0 && y == 0) || x > kMaxTrackCoordinate || y > kMaxTrackCoordinate)
        continue;
      ++counts.positions;
      Point centre{static_cast<double>(x), static_cast<double>(y)};
      std::optional<int> frame = static_cast<int>(f);
      if (geometry) {
        centre = FrameToSource(*geometry, centre);
        frame = FrameToSourceNumber(*geometry, static_cast<std::int64_t>(f));
      }
      if (!frame) {
        ++counts.outsideNumbers;
        continue;
      }
      MotRow row;
      row.frame = *frame;
      row.id = static_cast<int>(t) + 1;
      row.width = boxWidth / scaleX;
      row.height = boxHeight / scaleY;
      row.left = centre.x - row.width / 2;
      row.top = centre.y - row.height / 2;
      if (!std::isfinite(row.left) || !std::isfinite(row.top) || !std::isfinite(row.width) ||
          !std::isfinite(row.height)) {
        ++counts.notFinite;
        continue;
      }
      rows.push_back(row);
    }
  }
  return rows;
}

TrackPositions PositionsOf(const CTrackSet& tracks) {
  TrackPositions positions;
  for (int i = 0; i < tracks.TracksInUse(); ++i) {
    const CTrack& track = tracks.m_tracks[i];
    positions.xs.emplace_back(track.m_x.get(), track.m_x.get() + MAX_TRACK_FRAMES);
    positions.ys.emplace_back(track.m_y.get(), track.m_y.get() + MAX_TRACK_FRAMES);
  }
  return positions;
}

}  // namespace cli
