#pragma once
// Pictures into a series: a folder of picture files or a numbered pattern,
// each picture fitted, centred or cropped into 320 × 240 as the geometry
// plans from the first one, decoded on settings.jobs threads and written in
// order.

#include <ostream>

#include "import/ImportShared.h"

namespace cli {

// Imports settings.source (a folder or a pattern; settings.first goes with
// a pattern only, which the caller has checked). Progress goes to
// `progress`, notes to `notes`.
ImportOutcome ImportPictures(const ImportSettings& settings, const ImportNoteSink& notes,
                             std::ostream& progress);

}  // namespace cli
