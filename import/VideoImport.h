#pragma once
// A video file into a series: every frame the libraries decode, from the
// first one asked for, fitted, centred or cropped into 320 × 240 exactly as
// a picture would be, with the video's frame rate and time base in the
// geometry. Video frames are numbered from 1, as MOTChallenge numbers the
// frames its ground truth annotates.

#include <ostream>

#include "import/ImportShared.h"

namespace cli {

// Imports the video settings.source. Progress goes to `progress`, notes to
// `notes`.
ImportOutcome ImportVideo(const ImportSettings& settings, const ImportNoteSink& notes,
                          std::ostream& progress);

}  // namespace cli
