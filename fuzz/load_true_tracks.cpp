// Feeds arbitrary bytes to the track file loader, twice into the same set so
// that a reload meets the state the first load left, then runs the statistics
// over the result. Besides the sanitizers' checks it traps when the set leaves
// the bounds the loader promises.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "base/Trace.h"
#include "fuzz/FuzzSupport.h"
#include "tracks/TrackSet.h"

namespace {

using fuzz::Check;

// The tracks whose positions the statistics read in use or not: tracks 0 and
// 1 give the measured path, and 0, 1 and the last are scored by index.
constexpr int kStatisticsTracks[] = {0, 1, MAX_TRACKS - 1};

void CheckBounds(const CTrackSet& set) {
  Check(set.m_count >= 0 && set.m_count <= MAX_TRACKS);
  for (int i = 0; i < MAX_TRACKS; ++i) {
    const CTrack& track = set.m_tracks[i];
    Check(track.m_enabled == 0 || track.m_enabled == 1);
    Check(track.m_firstFrame >= 0 && track.m_firstFrame < MAX_TRACK_FRAMES);
    Check(track.m_endFrame >= 0 && track.m_endFrame <= MAX_TRACK_FRAMES);
    Check(track.m_endFrame == 0 || track.m_frameDiff == track.m_firstFrame - track.m_endFrame);
  }
}

void RunStatistics(const CTrackSet& set) {
  // Paths taken from the loaded tracks themselves, and one all at (0, 0).
  static const std::vector<int> zeros(MAX_TRACK_FRAMES, 0);
  const std::span<const int> xs(set.m_tracks[0].m_x.get(), MAX_TRACK_FRAMES);
  const std::span<const int> ys(set.m_tracks[1].m_y.get(), MAX_TRACK_FRAMES);
  struct Range {
    int from;
    int to;
  };
  for (const Range r : {Range{0, MAX_TRACK_FRAMES - 1}, Range{0, 0}, Range{10, 20}, Range{250, 499},
                        Range{20, 10}, Range{-1, 5}, Range{0, MAX_TRACK_FRAMES}}) {
    double variance = -1.0;
    const double best = set.BestMatch(xs, ys, r.from, r.to, &variance);
    Check(best >= 0.0 && best <= kNoTrackMatch && variance >= 0.0);
    for (const int track : {0, 1, MAX_TRACKS - 1, MAX_TRACKS, -1}) {
      const double mean = set.TrackError(zeros, ys, r.from, r.to, track, &variance);
      Check(mean >= 0.0 && variance >= 0.0);
    }
  }
  for (const int frame : {-1, 0, 1, 250, MAX_TRACK_FRAMES - 1, MAX_TRACK_FRAMES}) {
    set.NearDisabledTarget(0, 0, frame, 10.0);
    set.NearDisabledTarget(INT32_MIN, INT32_MAX, frame, 1e10);
    set.NearDisabledTarget(500, 500, frame, -1.0);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // The disabling trace would flood the fuzzer's output; it is dropped here.
  const base::ScopedTraceSink quiet([](std::string_view) {});
  // One set for the process, made ready for each input without allocating
  // its hundred arrays again: the statistics read the positions of the
  // tracks they are pointed at whether in use or not, so those are cleared.
  static CTrackSet set;
  fuzz::ForgetEarlierLoads(set);
  for (const int track : kStatisticsTracks) {
    std::fill_n(set.m_tracks[track].m_x.get(), MAX_TRACK_FRAMES, 0);
    std::fill_n(set.m_tracks[track].m_y.get(), MAX_TRACK_FRAMES, 0);
  }
  // The loader reads the input from memory, as it would read the file once
  // opened; a file per input would cost more than the load. The second load
  // reads the same stream again from its start.
  const fuzz::InputStream input(data, size);
  for (int load = 0; load < 2; ++load) {
    std::rewind(input.Get());
    Check(set.LoadTrueTracksFromStream(input.Get()));
    CheckBounds(set);
  }
  RunStatistics(set);
  return 0;
}
