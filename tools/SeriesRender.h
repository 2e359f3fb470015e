#pragma once
// The frames of one render, played in order through the playback core and
// delivered as frame files, a video, or both. The command line and the
// checks made before any frame is read are the render command's.

#include <cstdint>
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

// Plays settings.first .. settings.last with the overlays from `tracks`,
// paints the hypotheses over every frame shown (when given), writes what it
// promised, reports progress and the summary on `out` and every frame not
// shown and every failure on `err`. Returns the exit status.
int RenderSeries(const RenderSettings& settings, const CTrackSet& tracks,
                 const HypothesisOverlay* hypotheses, std::ostream& out, std::ostream& err);
