#pragma once
// A measured path for the track statistics, read from a text file with one
// measured position per line:
//
//     frame x y
//
// frame is 0 to MAX_TRACK_FRAMES − 1 and may appear at most once; x and y are
// integers. '#' starts a comment that runs to the end of its line; blank
// lines are ignored. A frame the file does not give keeps the position
// (0, 0), which is how a track marks a frame without a position.

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "tracks/Track.h"

struct MeasuredPath {
  std::array<int, MAX_TRACK_FRAMES> xs{};
  std::array<int, MAX_TRACK_FRAMES> ys{};
  std::array<bool, MAX_TRACK_FRAMES> given{};
};

// Reads fileName (a regular file of at most base::kMaxTextFileBytes) into
// path. Returns what is wrong ("FILE:LINE: why" for a bad line), or nothing;
// on a problem, path holds what was read before it.
std::optional<std::string> ReadMeasuredPath(const std::string& fileName, MeasuredPath& path);

// The same for the text of such a file; fileName only names it in messages.
std::optional<std::string> ParseMeasuredPath(std::string_view text, const std::string& fileName,
                                             MeasuredPath& path);
