#include "scoring/MotScoring.h"

#include <algorithm>
#include <vector>

#include "scoring/MotSequenceFile.h"

namespace {

// The frames in which either side has a row, whatever the protocol keeps.
std::size_t FramesWithRows(std::span<const MotTruthRow> truth, std::span<const BoxRow> hypotheses) {
  std::vector<int> frames;
  frames.reserve(truth.size() + hypotheses.size());
  for (const MotTruthRow& row : truth)
    frames.push_back(row.frame);
  for (const BoxRow& row : hypotheses)
    frames.push_back(row.frame);
  std::sort(frames.begin(), frames.end());
  return static_cast<std::size_t>(std::unique(frames.begin(), frames.end()) - frames.begin());
}

template <class Row>
void KeepWindow(std::vector<Row>& rows, MotFrameWindow window) {
  std::erase_if(rows, [window](const Row& row) {
    return row.frame < window.first || row.frame > window.last;
  });
}

}  // namespace

std::optional<std::string> ScoreMotRows(std::span<const MotTruthRow> truth,
                                        std::span<const BoxRow> hypotheses,
                                        const MotScoringSettings& settings,
                                        MotSequenceScore& score) {
  score = {};
  MotScoringSettings counted = settings;
  if (!counted.sequence.frames)
    counted.sequence.frames = static_cast<long long>(FramesWithRows(truth, hypotheses));
  ProtocolResult kept;
  if (settings.protocol) {
    if (auto problem = ApplyMotProtocol(truth, hypotheses, kept))
      return std::to_string(problem->line) + ": " + problem->what;
  } else {
    kept.truth = AllTruthBoxes(truth);
    kept.hypotheses.assign(hypotheses.begin(), hypotheses.end());
  }
  score.removedHypotheses = kept.removedHypotheses;
  score.unscoredTruth = kept.unscoredTruth;
  const BoxFrames truthBoxes(std::move(kept.truth));
  const BoxFrames hypothesisBoxes(std::move(kept.hypotheses));
  score.result =
      settings.matching == MatchingKind::kBoxIou
          ? ScoreBoxes(truthBoxes, hypothesisBoxes, counted.sequence)
          : ScorePoints(BoxCentres(truthBoxes), BoxCentres(hypothesisBoxes), counted.sequence);
  return std::nullopt;
}

std::optional<std::string> ScoreMotFiles(const std::string& truthFile,
                                         const std::string& hypothesisFile,
                                         std::optional<int> length,
                                         const MotScoringSettings& settings,
                                         MotSequenceScore& score,
                                         std::optional<MotFrameWindow> window) {
  std::vector<MotTruthRow> truth;
  if (auto problem = ReadMotTruthFile(truthFile, length, truth))
    return problem;
  std::vector<BoxRow> hypotheses;
  if (auto problem = ReadMotBoxFile(hypothesisFile, length, hypotheses))
    return problem;
  if (window) {
    KeepWindow(truth, *window);
    KeepWindow(hypotheses, *window);
  }
  MotScoringSettings withLength = settings;
  if (length)
    withLength.sequence.frames = *length;
  if (auto problem = ScoreMotRows(truth, hypotheses, withLength, score))
    return truthFile + ":" + *problem;
  return std::nullopt;
}
