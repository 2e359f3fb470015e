#pragma once
// The import command's video half: every frame of a video file into a series.

#include <ostream>

#include "import/ImportShared.h"

namespace cli {

// Imports the video settings.source as the importers' shared rules say;
// returns the exit status.
int ImportVideo(const ImportSettings& settings, std::ostream& out, std::ostream& err);

}  // namespace cli
