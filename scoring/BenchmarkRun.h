#pragma once
// A whole benchmark scored: every sequence read and scored on its own, on
// several threads, and the sequences that could be scored combined as the
// benchmark combines them.

#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "scoring/BenchmarkLayout.h"
#include "scoring/MotScoring.h"

struct SequenceOutcome {
  std::string name;
  std::optional<MotSequenceScore> score;
  std::string problem;  // why there is no score, naming the file
};

// Called with the number of sequences finished so far, one call at a time.
using BenchmarkProgress = std::function<void(int finished)>;

// Scores every sequence (its length from its seqinfo.ini), `jobs` at a time
// (at least one). The outcomes are in the order of `sequences`; a sequence
// that cannot be scored has its problem and keeps no other from being
// scored.
std::vector<SequenceOutcome> RunBenchmark(std::span<const BenchmarkSequence> sequences,
                                          const MotScoringSettings& settings, int jobs,
                                          const BenchmarkProgress& progress = {});
