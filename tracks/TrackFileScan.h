#pragma once
// A check of a track file against what the loader keeps of it: the loader
// trusts its file and silently drops what does not fit the track set, so this
// scan says what that is. It walks the file with the loader's own row reader
// (a target count, a first frame, then "x y" rows, one per target per frame)
// without loading anything, so the two cannot read a file differently.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/InputFile.h"

struct TrackFileReport {
  // Parts of the file the loader drops or cannot read.
  std::vector<std::string> problems;
  // Facts worth knowing that are not faults: disabled targets, a last frame
  // with rows for only some targets.
  std::vector<std::string> notes;
  int targets = 0;
  int firstFrame = 0;
  std::optional<int> lastFrame;  // the last frame with a row, if any
  int disabledTargets = 0;
};

// Scans the text of a track file. Text quoted from it in the report has
// every byte outside printable ASCII written as \xNN.
TrackFileReport ScanTrackText(std::string text);

// Reads fileName (a regular file of at most base::kMaxTextFileBytes) and
// scans it; what keeps it from being read, or nothing.
std::optional<base::FileFault> ScanTrackFile(const std::string& fileName, TrackFileReport& report);
