#pragma once
// A tracker's output as the companion's commands name it: the options that
// give its layout (--hyp-format, --geometry), and the note on what the
// loading left out. The loading itself: scoring/HypothesisFile.h.

#include <optional>
#include <ostream>
#include <string>
#include <string_view>

#include "scoring/HypothesisFile.h"
#include "tools/CommandLine.h"

namespace cli {

// Reads --hyp-format and --geometry into input (file is left to the caller).
// Returns the usage message when they cannot be used: an unknown layout, or
// --geometry with another layout than mot.
std::optional<std::string> ReadHypothesisOptions(const ParsedArgs& parsed, HypothesisInput& input);

// Notes on err, when the geometry placed rows outside the frames, how many
// were left out.
void NoteRowsLeftOut(std::ostream& err, std::string_view command, const HypothesisInput& input,
                     const LoadedHypotheses& loaded);

}  // namespace cli
