#pragma once
// The table of ground-truth targets: up to MAX_TRACKS tracks filled from the
// track file, drawn over played frames and compared with measured paths.

#include <cstdio>
#include <memory>
#include <span>

#include "tracks/Track.h"

// A coordinate above this in a track file row disables the target whose row
// carries it.
inline constexpr int kMaxTrackCoordinate = 999;

// What the statistics return when no track matches, or when the range or
// track they are given cannot be scored.
inline constexpr double kNoTrackMatch = 100000000000.0;

class CTrackSet {
 public:
  CTrackSet() = default;
  CTrackSet(const CTrackSet&) = delete;
  CTrackSet& operator=(const CTrackSet&) = delete;

  // Number of tracks a reader may look at: m_count brought into 0..MAX_TRACKS,
  // so a value set from outside can never send a reader past the table.
  int TracksInUse() const;

  // Calls fn(index, track) for every enabled track in use, in index order.
  template <class Fn>
  void ForEachEnabledTrack(Fn&& fn) const {
    const int inUse = TracksInUse();
    for (int i = 0; i < inUse; ++i) {
      if (m_tracks[i].m_enabled == 1)
        fn(i, m_tracks[i]);
    }
  }

  // Puts the set back as it was constructed: no target in use, every track
  // enabled, with first frame, end frame and difference 0 and every position
  // (0, 0). For programs and tests that run the player more than once in one
  // process and need each run to start like a fresh start-up.
  void Reset();

  // Loads the track file named by g_trueTracksPath from the current folder.
  bool LoadTrueTracks();

  // Loads the track file at path: a target count N, a first frame number F,
  // then rows of "x y", one per target per frame, frame after frame. Returns
  // false, changing nothing, when the file cannot be opened or its first
  // bytes cannot be read (a folder, for one); true otherwise.
  //
  // A load sets m_count and clears the positions of the targets in use, but
  // keeps every track's first frame, end frame, difference and enabled flag
  // from earlier loads. A row (0, 0) ends a started target's trail at that
  // frame; a row with x or y above 999 disables its target and traces
  // "Disabling target %d.\n"; any other row starts a target that has not
  // started (first frame 0) at that frame. Enabled targets store every row.
  //
  // The file is trusted as far as it is sound, and no further:
  // - An incomplete header (no count, or no first frame) describes no
  //   targets: m_count becomes 0 and nothing else changes.
  // - N <= 0: m_count becomes 0, no position is touched, no row is read.
  // - N > MAX_TRACKS: m_count becomes MAX_TRACKS; the rows of targets
  //   MAX_TRACKS..N-1 are read and dropped so the frames stay aligned.
  // - A token that is not a number, or a last row holding a single number,
  //   ends the file there (a half row is dropped).
  // - A read error after the header also ends the file where it happens.
  // - Rows of frames below 0 are read and dropped; loading stops without
  //   reading further once the frame number reaches MAX_TRACK_FRAMES.
  // - Wherever the file ends or loading stops, every target in use that has
  //   started and not ended ends at that frame number (brought into
  //   0..MAX_TRACK_FRAMES), so a target present in the last frame gets its
  //   trail; targets in other states are left alone.
  // - Integers too large for int saturate to INT_MAX or INT_MIN.
  bool LoadTrueTracksFrom(const char* path);
  // The same from a stream open for reading, which the caller keeps and
  // closes: false when its first bytes cannot be read.
  bool LoadTrueTracksFromStream(std::FILE* file);

  // Mean of the squared distances between the path (xs, ys) and track
  // `track` over frames from..to inclusive; the population variance of those
  // squared distances goes to *variance (when not null). The track is read
  // whatever its enabled flag. A range outside 0..MAX_TRACK_FRAMES - 1, from
  // above to, a track index outside the table or path spans shorter than
  // to + 1 give kNoTrackMatch and variance 0.
  double TrackError(std::span<const int> xs, std::span<const int> ys, int from, int to, int track,
                    double* variance) const;

  // The lowest TrackError mean over the enabled tracks in use, with its
  // variance; on equal means the lower index wins. Without a match below
  // kNoTrackMatch it returns kNoTrackMatch and variance 0.
  double BestMatch(std::span<const int> xs, std::span<const int> ys, int from, int to,
                   double* variance) const;

  // True when some disabled track in use lies strictly closer than threshold
  // to (x, y) at frame. A frame outside the arrays gives false.
  bool NearDisabledTarget(int x, int y, int frame, double threshold) const;

  // All MAX_TRACKS tracks, created once and owned by the set.
  std::unique_ptr<CTrack[]> m_tracks = std::make_unique<CTrack[]>(MAX_TRACKS);
  // Number of targets in use: the first m_count entries of m_tracks.
  int m_count = 0;

 private:
  void ApplyRow(int target, int x, int y, int frame);
  void EndOpenTracks(int frame);
};
