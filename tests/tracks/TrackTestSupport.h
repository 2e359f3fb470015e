#pragma once
// Helpers for the track tests: loading a track file written from text,
// collecting the trace lines a load writes, and a whole set's state as one
// list of numbers for before-and-after comparisons.

#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include "base/Trace.h"
#include "support/TempDir.h"
#include "tracks/TrackSet.h"

namespace tracks_test {

// Writes text, byte for byte, to name inside folder and returns its path.
inline std::string WriteTrackFile(const TempDir& folder, std::string_view text,
                                  std::string_view name = "tracks.txt") {
  const std::string path = folder.File(name);
  std::ofstream(path, std::ios::binary).write(text.data(), std::ssize(text));
  return path;
}

// Loads text as a track file into set.
inline bool Load(CTrackSet& set, std::string_view text) {
  const TempDir folder;
  return set.LoadTrueTracksFrom(WriteTrackFile(folder, text).c_str());
}

// Captures every trace line written while it exists.
class TraceLines {
 public:
  const std::vector<std::string>& Lines() const { return m_lines; }

 private:
  std::vector<std::string> m_lines;
  base::ScopedTraceSink m_sink{[this](std::string_view text) { m_lines.emplace_back(text); }};
};

// Every value the set holds: the count, then per track its first frame, end
// frame, difference, enabled flag, 500 x and 500 y positions.
inline std::vector<int> StateOf(const CTrackSet& set) {
  std::vector<int> state{set.m_count};
  for (int i = 0; i < MAX_TRACKS; ++i) {
    const CTrack& track = set.m_tracks[i];
    state.insert(state.end(),
                 {track.m_firstFrame, track.m_endFrame, track.m_frameDiff, track.m_enabled});
    state.insert(state.end(), track.m_x.get(), track.m_x.get() + MAX_TRACK_FRAMES);
    state.insert(state.end(), track.m_y.get(), track.m_y.get() + MAX_TRACK_FRAMES);
  }
  return state;
}

}  // namespace tracks_test
