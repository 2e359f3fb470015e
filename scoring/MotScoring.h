#pragma once
// A MOTChallenge sequence scored as a whole: its truth and a tracker's boxes
// taken through the protocol (or as they stand) and scored with the metric
// families asked for, by box IoU or by the distance of the box centres.

#include <optional>
#include <span>
#include <string>

#include "scoring/MotProtocol.h"
#include "scoring/SequenceScoring.h"

struct MotScoringSettings {
  // Whether the MOTChallenge 2D box protocol picks the rows scored
  // (eval/MotProtocol.h), or every row is scored as it stands.
  bool protocol = true;
  MatchingKind matching = MatchingKind::kBoxIou;
  // iou for box matching, distance for centres, the families, and the
  // frames when the sequence's length is known (else the frames in which
  // either side has a row, before the protocol leaves any out).
  SequenceSettings sequence;
};

struct MotSequenceScore {
  SequenceResult result;
  long long removedHypotheses = 0;  // by the protocol
  long long unscoredTruth = 0;      // truth rows the protocol leaves out
};

// Scores the rows. Returns the protocol's refusal (a truth class outside the
// benchmark's), as "LINE: why" of the truth rows, or nothing.
std::optional<std::string> ScoreMotRows(std::span<const MotTruthRow> truth,
                                        std::span<const BoxRow> hypotheses,
                                        const MotScoringSettings& settings,
                                        MotSequenceScore& score);

// The frames first .. last of a sequence, both included.
struct MotFrameWindow {
  int first = 0;
  int last = 0;
};

// Reads both files (eval/MotSequenceFile.h; with the length, every frame
// must be one of 1..length and the frames counted are the length) and
// scores them, only the rows of `window`'s frames when it is given.
// Returns what is wrong, naming the file, or nothing.
std::optional<std::string> ScoreMotFiles(const std::string& truthFile,
                                         const std::string& hypothesisFile,
                                         std::optional<int> length,
                                         const MotScoringSettings& settings,
                                         MotSequenceScore& score,
                                         std::optional<MotFrameWindow> window = std::nullopt);
