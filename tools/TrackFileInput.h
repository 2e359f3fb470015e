#pragma once
// A track file named on a command line, loaded by the program's own loader
// into a set of the command's own.

#include <optional>
#include <ostream>
#include <string>
#include <string_view>

class CTrackSet;

namespace cli {

// Reads the regular file fileName (at most base::kMaxTextFileBytes) and loads it
// into tracks. Warns on err, as "korvane-cli COMMAND: warning: …", when the
// file describes no targets: a command then answers as for an empty set,
// which is seldom what was meant. Returns what keeps the file from being
// read ("FILE: missing", "FILE: not a regular file (a FIFO)", …), or
// nothing. The loader's trace of disabled targets is left out.
std::optional<std::string> LoadCommandTracks(const std::string& fileName, CTrackSet& tracks,
                                             std::string_view command, std::ostream& err);

}  // namespace cli
