#include "eval/FrameObjects.h"

#include <algorithm>

#include "tracks/TrackSet.h"

FrameObjects::FrameObjects(std::vector<ObjectRow> rows, Frames frames) {
  if (frames == Frames::kTrackFrames)
    std::erase_if(rows, [](const ObjectRow& row) { return !IsTrackFrame(row.frame); });
  m_table = FrameTable<FrameObject>(std::move(rows));
}

FrameObjects ObjectsFromTracks(const CTrackSet& tracks) {
  std::vector<ObjectRow> rows;
  tracks.ForEachEnabledTrack([&rows](int index, const CTrack& track) {
    for (int frame = 0; frame < MAX_TRACK_FRAMES; ++frame) {
      const int x = track.m_x[frame];
      const int y = track.m_y[frame];
      if (x != 0 || y != 0)
        rows.push_back({frame, {index, static_cast<double>(x), static_cast<double>(y)}});
    }
  });
  return FrameObjects(std::move(rows));
}
