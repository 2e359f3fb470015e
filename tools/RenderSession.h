#pragma once
// Playing a series through the player and recording what it shows: the user
// opens the player from the console, types the root path, the frames and the
// rate, ticks the boxes and presses READ, while the console's recorder, armed
// with the picture control as its source, records one file per frame shown.
//
// Both run on timers of the virtual clock. The playback timer fires every
// I = 1000 / rate milliseconds (truncated) from READ on; the record timer has
// the same period, started half a period after READ, so each record tick
// comes after exactly one playback tick and before the next. After each
// playback tick the session looks at what happened:
//   - a frame was shown (the picture was drawn again): the record tick that
//     follows records it, numbered after the frame shown;
//   - the file could not be read and the player will try it again (a short
//     header or a bad signature): the record timer is held for that half
//     period and started again in the same phase, so no file repeats the
//     previous picture; after kRenderTries such ticks the frame is skipped;
//   - the playback ended without a frame (a missing file): the frame is
//     skipped.
// A skipped frame ends or stops the playback; READ then starts it again at the
// next frame, and the record timer again half a period later.

#include <functional>
#include <optional>
#include <string>
#include <vector>

// How often a frame whose header cannot be read is tried before it is
// skipped.
inline constexpr int kRenderTries = 3;

struct RenderSettings {
  std::string root;  // the series' root path, as typed into the player
  int first = 0;
  int last = 0;
  int rate = 10;
  bool trails = false;   // tick "Show Track"
  bool markers = false;  // tick "Use TrueTracks" for the playback
};

struct SkippedFrame {
  int frame = 0;
  std::string reason;
};

struct RenderOutcome {
  std::vector<int> shown;  // frames shown and recorded, in order
  std::vector<SkippedFrame> skipped;
  int retries = 0;  // playback ticks that found a frame file unreadable
  // Set when the run did not go as scripted; the outcome is then partial.
  std::optional<std::string> problem;
};

// Runs the console with the player as described above. The recorder writes
// under g_rootPath, which the caller sets; the track file, when a box needs
// it, is read from the current folder. `shownFrame` is called after each
// frame recorded, with the count so far and the frame's number.
RenderOutcome RenderSeries(const RenderSettings& settings,
                           const std::function<void(int count, int frame)>& shownFrame);
