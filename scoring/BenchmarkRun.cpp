#include "scoring/BenchmarkRun.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <mutex>
#include <thread>

namespace {

SequenceOutcome ScoreSequence(const BenchmarkSequence& sequence,
                              const MotScoringSettings& settings) {
  SequenceOutcome outcome{sequence.name, std::nullopt, {}};
  int length = 0;
  if (auto problem = ReadSequenceLength(sequence.seqInfoFile, length)) {
    outcome.problem = *problem;
    return outcome;
  }
  MotSequenceScore score;
  if (auto problem =
          ScoreMotFiles(sequence.truthFile, sequence.trackerFile, length, settings, score)) {
    outcome.problem = *problem;
    return outcome;
  }
  outcome.score = std::move(score);
  return outcome;
}

}  // namespace

std::vector<SequenceOutcome> RunBenchmark(std::span<const BenchmarkSequence> sequences,
                                          const MotScoringSettings& settings, int jobs,
                                          const BenchmarkProgress& progress) {
  std::vector<SequenceOutcome> outcomes(sequences.size());
  std::atomic<std::size_t> next{0};
  std::mutex reporting;
  int finished = 0;
  const auto work = [&] {
    for (std::size_t i = next++; i < sequences.size(); i = next++) {
      try {
        outcomes[i] = ScoreSequence(sequences[i], settings);
      } catch (const std::exception& e) {
        // Out of memory on one sequence's files leaves the others to report.
        outcomes[i] = {sequences[i].name, std::nullopt, sequences[i].name + ": " + e.what()};
      }
      const std::lock_guard lock(reporting);
      ++finished;
      if (progress)
        progress(finished);
    }
  };
  const auto threads = static_cast<std::size_t>(std::clamp(jobs, 1, 64));
  {
    std::vector<std::jthread> workers;
    for (std::size_t t = 1; t < std::min(threads, sequences.size()); ++t)
      workers.emplace_back(work);
    work();
  }
  return outcomes;
}

std::vector<long long> SequenceFrames(std::span<const BenchmarkSequence> sequences) {
  std::vector<long long> frames;
  for (const BenchmarkSequence& sequence : sequences) {
    int length = 0;
    frames.push_back(ReadSequenceLength(sequence.seqInfoFile, length) ? 0 : length);
  }
  return frames;
}

BenchmarkProgress CountingFrames(std::vector<long long> frames,
                                 std::function<void(long long done)> done) {
  return [frames = std::move(frames), done = std::move(done), sum = 0LL](int finished) mutable {
    // finished counts from 1; a count the list does not hold adds nothing.
    if (finished >= 1 && static_cast<std::size_t>(finished) <= frames.size())
      sum += frames[static_cast<std::size_t>(finished - 1)];
    done(sum);
  };
}
