#include "eval/FrameObjects.h"

#include <algorithm>
#include <cstddef>

#include "tracks/TrackSet.h"

FrameObjects::FrameObjects(std::vector<ObjectRow> rows) {
  std::erase_if(rows, [](const ObjectRow& row) { return !IsTrackFrame(row.frame); });
  std::stable_sort(rows.begin(), rows.end(), [](const ObjectRow& a, const ObjectRow& b) {
    return a.frame != b.frame ? a.frame < b.frame : a.object.id < b.object.id;
  });
  const auto sameKey = [](const ObjectRow& a, const ObjectRow& b) {
    return a.frame == b.frame && a.object.id == b.object.id;
  };
  rows.erase(std::unique(rows.begin(), rows.end(), sameKey), rows.end());

  m_objects.reserve(rows.size());
  std::size_t next = 0;
  for (int frame = 0; frame < MAX_TRACK_FRAMES; ++frame) {
    m_start[static_cast<std::size_t>(frame)] = static_cast<int>(m_objects.size());
    for (; next < rows.size() && rows[next].frame == frame; ++next)
      m_objects.push_back(rows[next].object);
  }
  m_start[MAX_TRACK_FRAMES] = static_cast<int>(m_objects.size());
}

std::span<const FrameObject> FrameObjects::InFrame(int frame) const {
  if (!IsTrackFrame(frame))
    return {};
  const auto f = static_cast<std::size_t>(frame);
  const auto first = static_cast<std::size_t>(m_start[f]);
  return std::span(m_objects).subspan(first, static_cast<std::size_t>(m_start[f + 1]) - first);
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
