#include "tracks/TrackSet.h"

#include <algorithm>
#include <climits>
#include <cstdint>

#include "base/Trace.h"

namespace {

// Ends a started trail at end. The difference is first minus end, and is
// formed wide so that first frames set from outside cannot overflow it.
void EndTrail(CTrack& track, int end) {
  track.m_endFrame = end;
  const std::int64_t diff = std::int64_t{track.m_firstFrame} - end;
  track.m_frameDiff = static_cast<int>(std::clamp<std::int64_t>(diff, INT_MIN, INT_MAX));
}

bool IsOpen(const CTrack& track) {
  return track.m_firstFrame != 0 && track.m_endFrame == 0;
}

}  // namespace

int CTrackSet::TracksInUse() const {
  return std::clamp(m_count, 0, MAX_TRACKS);
}

// One row of the track file for target at frame (0..MAX_TRACK_FRAMES - 1).
void CTrackSet::ApplyRow(int target, int x, int y, int frame) {
  CTrack& track = m_tracks[target];
  if (x == 0 && y == 0) {
    // Absent: the first absent row after the start ends the trail; later
    // ones, and absent rows before any start, change nothing.
    if (IsOpen(track)) {
      EndTrail(track, frame);
    }
  } else if (x > kMaxTrackCoordinate || y > kMaxTrackCoordinate) {
    // Reported for every such row, also when the target is already disabled.
    track.m_enabled = 0;
    base::Trace("Disabling target %d.\n", target);
  } else if (track.m_firstFrame == 0) {
    // A position at frame 0 leaves the target not started, since 0 is what
    // "not started" looks like; its next position starts it.
    track.m_firstFrame = frame;
  }
  if (track.m_enabled == 1) {
    track.SetPoint(x, y, frame);
  }
}

// Where the file ends, targets still present get their trail up to the
// frame before. The frame is kept within 0..MAX_TRACK_FRAMES so that an end
// frame never points a reader past the position arrays.
void CTrackSet::EndOpenTracks(int frame) {
  const int end = std::clamp(frame, 0, MAX_TRACK_FRAMES);
  const int inUse = TracksInUse();
  for (int i = 0; i < inUse; ++i) {
    if (IsOpen(m_tracks[i])) {
      EndTrail(m_tracks[i], end);
    }
  }
}

void CTrackSet::Reset() {
  m_count = 0;
  for (int i = 0; i < MAX_TRACKS; ++i) {
    CTrack& track = m_tracks[i];
    track.m_firstFrame = 0;
    track.m_endFrame = 0;
    track.m_frameDiff = 0;
    track.m_enabled = 1;
    std::fill_n(track.m_x.get(), MAX_TRACK_FRAMES, 0);
    std::fill_n(track.m_y.get(), MAX_TRACK_FRAMES, 0);
  }
}
