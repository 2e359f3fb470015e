#pragma once
// A check of a track file against what the loader keeps of it: the loader
// trusts its file and silently drops what does not fit the track set, so this
// scan says what that is. It reads the file the way the loader does (a
// target count, a first frame, then "x y" rows, one per target per frame)
// without loading anything.

#include <string>
#include <vector>

struct TrackFileReport {
  // Parts of the file the loader drops or cannot read.
  std::vector<std::string> problems;
  // Facts worth knowing that are not faults: disabled targets, a last frame
  // with rows for only some targets.
  std::vector<std::string> notes;
  int targets = 0;
  int firstFrame = 0;
  int lastFrame = -1;  // the last frame with a row; below firstFrame for none
  int disabledTargets = 0;
};

// Scans fileName. False when it cannot be opened or read.
bool ScanTrackFile(const std::string& fileName, TrackFileReport& report);
