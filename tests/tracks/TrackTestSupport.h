#pragma once
// Helpers for the track tests: writing a track file into a test folder,
// collecting the debug trace lines a load produces, and taking a copy of a
// whole track set's state to compare before and after.

#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include "support/TempDir.h"
#include "tracks/TrackSet.h"
#include "ui/core/Trace.h"

namespace tracks_test {

// Writes text, byte for byte, to name inside folder and returns its path.
inline std::string WriteTrackFile(const TempDir& folder, std::string_view text,
                                  std::string_view name = "tracks.txt") {
  const std::string path = folder.FilePath(name);
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(text.data(), static_cast<std::streamsize>(text.size()));
  return path;
}

// Captures every trace line written while it exists.
class TraceLines {
 public:
  const std::vector<std::string>& Lines() const { return m_lines; }

 private:
  std::vector<std::string> m_lines;
  ui::ScopedTraceSink m_sink{[this](std::string_view text) { m_lines.emplace_back(text); }};
};

// Every value the set holds, in a fixed order, for whole-set comparisons.
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
