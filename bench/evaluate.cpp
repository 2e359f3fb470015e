// Scoring a tracker's output: 500 frames of 50 targets against 50 noisy
// hypotheses a frame, with identity switches, misses and false positives,
// the matching and both metric families included.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "bench/BenchSupport.h"
#include "eval/Evaluation.h"
#include "eval/HypothesisReader.h"
#include "tracks/TrackSet.h"

namespace {

constexpr double kThreshold = 5.0;

// Every target walks through the picture from a place of its own, bouncing
// off the edges; positions stay within 1..319 x 1..239, never (0, 0).
void FillTruth(CTrackSet& truth, std::mt19937& random) {
  std::uniform_int_distribution<int> start(1, 239);
  std::uniform_int_distribution<int> step(-3, 3);
  truth.m_count = MAX_TRACKS;
  for (int i = 0; i < MAX_TRACKS; ++i) {
    int x = start(random) + 40;
    int y = start(random);
    int dx = step(random);
    int dy = step(random);
    for (int frame = 0; frame < MAX_TRACK_FRAMES; ++frame) {
      if (x + dx < 1 || x + dx > 319)
        dx = -dx;
      if (y + dy < 1 || y + dy > 239)
        dy = -dy;
      x += dx;
      y += dy;
      truth.m_tracks[i].SetPoint(x, y, frame);
    }
  }
}

// One hypothesis per target, 1.5 pixels of noise; every 25 frames two
// targets' ids are exchanged, 2 % of the targets are missed in each frame and
// each frame has one false positive in place of a missed one.
std::string HypothesesText(const CTrackSet& truth, std::mt19937& random) {
  std::normal_distribution<double> noise(0.0, 1.5);
  std::uniform_int_distribution<int> target(0, MAX_TRACKS - 1);
  std::uniform_real_distribution<double> chance(0.0, 1.0);
  std::vector<int> idOf(MAX_TRACKS);
  for (int i = 0; i < MAX_TRACKS; ++i)
    idOf[static_cast<std::size_t>(i)] = 100 + i;
  std::string text;
  char row[96];
  for (int frame = 0; frame < MAX_TRACK_FRAMES; ++frame) {
    if (frame % 25 == 24)
      std::swap(idOf[static_cast<std::size_t>(target(random))],
                idOf[static_cast<std::size_t>(target(random))]);
    bool missed = false;
    for (int i = 0; i < MAX_TRACKS; ++i) {
      if (chance(random) < 0.02) {
        missed = true;
        continue;
      }
      std::snprintf(row, sizeof row, "%d,%d,%.2f,%.2f\n", frame, idOf[static_cast<std::size_t>(i)],
                    truth.m_tracks[i].m_x[frame] + noise(random),
                    truth.m_tracks[i].m_y[frame] + noise(random));
      text += row;
    }
    if (missed) {
      std::snprintf(row, sizeof row, "%d,%d,%.2f,%.2f\n", frame, 1000 + frame,
                    160.0 + noise(random) * 40, 120.0 + noise(random) * 40);
      text += row;
    }
  }
  return text;
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv))
    return 1;

  std::mt19937 random(2016);
  auto truthSet = std::make_unique<CTrackSet>();
  FillTruth(*truthSet, random);
  const std::string text = HypothesesText(*truthSet, random);
  std::vector<ObjectRow> rows;
  const bool read = !ReadHypotheses(text, HypothesisFormat::kPoints, rows);
  const FrameObjects hypotheses(rows);
  const FrameObjects truth = ObjectsFromTracks(*truthSet);
  const CTrackSet& set = *truthSet;
  const IgnoreTest nearDisabled = [&set](const FrameObject& h, int frame) {
    return set.NearDisabledTarget(static_cast<int>(h.x), static_cast<int>(h.y), frame, kThreshold);
  };
  EvaluationSettings settings;
  settings.threshold = kThreshold;

  bench::Register("evaluate/500x50x50", [&](benchmark::State& state) {
    Evaluation result;
    for (auto _ : state) {
      result = Evaluate(truth, hypotheses, settings, nearDisabled);
      benchmark::DoNotOptimize(result.totals.idtp);
    }
    if (!read || result.totals.gt != MAX_TRACKS * MAX_TRACK_FRAMES || result.totals.idsw == 0)
      state.SkipWithError("the sequence is not what the benchmark means to score");
    state.counters["idsw"] = result.totals.idsw;
    state.counters["fp"] = result.totals.fp;
  });
  bench::Register("evaluate/read_hypotheses", [&](benchmark::State& state) {
    for (auto _ : state) {
      std::vector<ObjectRow> parsed;
      benchmark::DoNotOptimize(ReadHypotheses(text, HypothesisFormat::kPoints, parsed));
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(text.size()));
  });

  bench::FastestRunReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  // A budget rather than a peer: the time itself, in milliseconds (the
  // benchmark reports microseconds).
  std::printf("evaluate 500 frames x 50 x 50, milliseconds ratio: %.3f (target <= 20)\n",
              reporter.Fastest("evaluate/500x50x50") / 1000.0);
  benchmark::Shutdown();
  return 0;
}
