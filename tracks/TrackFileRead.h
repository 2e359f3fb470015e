#pragma once
// A track file named by a user, read whole within a bound and loaded by the
// program's own loader into a set of the caller's.

#include <optional>
#include <string>

class CTrackSet;

// Reads the regular file fileName (at most base::kMaxTextFileBytes) into
// text and loads it into tracks; the loader's trace of disabled targets is
// left out. Returns what keeps the file from being read ("FILE: missing",
// "FILE: not a regular file (a FIFO)", "FILE: cannot be read as a track
// file"), or nothing.
std::optional<std::string> ReadTrackFile(const std::string& fileName, CTrackSet& tracks,
                                         std::string& text);
