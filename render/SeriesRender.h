#pragma once
// The frames of one render, played in order through the playback core and
// delivered as frame files, a video, or both. The checks made before any
// frame is read: render/RenderChecks.h.

#include <cstdint>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "player/FileRead.h"
#include "player/PlaybackCore.h"

class CTrackSet;
class HypothesisOverlay;

struct RenderSettings {
  std::string root;
  std::string outRoot;  // empty: no frame files, only the video
  std::string video;    // empty: no video
  int first = 0;
  int last = 0;
  int rate = 10;
  OverlaySwitches overlays;
};

// The buffer the player forms its file names in: a series the player cannot
// name is refused, so render never shows what the player could not.
inline constexpr std::size_t kPlayerNameBytes = sizeof(CFileRead::m_fileName);

// How often a frame whose headers cannot be read is tried before it is
// skipped (the player itself would try it at every tick until stopped).
inline constexpr int kRenderTries = 3;

// What a render did.
struct RenderOutcome {
  bool played = false;  // false when the video could not be opened: nothing was played
  int shown = 0;
  int skipped = 0;
  int retries = 0;
  int firstShown = -1;  // the first and last frame shown, -1 when none
  int lastShown = -1;
  bool videoDone = false;  // the video is complete under its name
  int videoFrames = 0;
  bool failed = false;  // a frame was not shown or a file could not be written
};

// Receives each problem as it happens: a frame not shown ("ROOT_NNNN.bmp:
// missing; not shown") or a file that could not be written.
using RenderProblemSink = std::function<void(const std::string& problem)>;

// Plays settings.first .. settings.last with the overlays from `tracks`,
// paints the hypotheses over every frame shown (when given), writes what it
// promised and reports progress on `progress` under `label`.
RenderOutcome RenderSeries(const RenderSettings& settings, const CTrackSet& tracks,
                           const HypothesisOverlay* hypotheses, const RenderProblemSink& problems,
                           std::ostream& progress, std::string_view label);
