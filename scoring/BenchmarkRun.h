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

// The frames of each sequence by its seqinfo.ini, for a benchmark's
// progress: 0 where its length cannot be read (scoring it says why).
std::vector<long long> SequenceFrames(std::span<const BenchmarkSequence> sequences);

// A progress of frames rather than of sequences: `done` is told the frames
// of the sequences finished so far, sequence i's `frames` taken as the i-th
// finishes (the sequences finish in any order; the sum is the same).
BenchmarkProgress CountingFrames(std::vector<long long> frames,
                                 std::function<void(long long done)> done);
