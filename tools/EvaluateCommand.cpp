// korvane-cli evaluate: a tracker's output scored against a track file with
// the CLEAR MOT and identity metrics.

#include <algorithm>
#include <cmath>
#include <memory>

#include "base/Trace.h"
#include "eval/Evaluation.h"
#include "eval/HypothesisReader.h"
#include "tools/Cli.h"
#include "tools/CliFiles.h"
#include "tools/CliUsage.h"
#include "tools/EvaluationReport.h"
#include "tracks/TrackSet.h"

namespace {

constexpr std::string_view kCommand = "evaluate";
constexpr cli::OptionRule kOptions[] = {
    {"--threshold", true}, {"--hyp-format", true}, {"--geometry", true}, {"--from", true},
    {"--to", true},        {"--csv", false},       {"--json", false},
};
// No track file or tracker output worth scoring comes near this size.
constexpr std::size_t kMaxInputBytes = std::size_t{256} << 20;

enum class HypSource { kPoints, kMot, kTracks };

struct Request {
  std::string truthFile;
  std::string hypFile;
  HypSource source = HypSource::kPoints;
  EvaluationSettings settings;
};

std::optional<int> FrameOption(const cli::ParsedArgs& parsed, std::string_view option,
                               std::string& problem) {
  const std::string* text = parsed.Value(option);
  if (text == nullptr)
    return std::nullopt;
  const std::optional<int> frame = cli::ParseInt(*text);
  if (!frame || !IsTrackFrame(*frame))
    problem = std::string(option) + " must be a frame from 0 to 499";
  return frame;
}

// The request the arguments make, or the usage message saying why not.
std::optional<std::string> ReadRequest(const cli::ParsedArgs& parsed, Request& request) {
  if (parsed.positional.size() != 2)
    return "expects a track file TRUTH and a tracker's output HYP";
  request.truthFile = parsed.positional[0];
  request.hypFile = parsed.positional[1];
  const std::string* threshold = parsed.Value("--threshold");
  if (threshold == nullptr)
    return "--threshold D is needed";
  const std::optional<double> d = cli::ParseDouble(*threshold);
  if (!d || *d < 0.0)
    return "--threshold must be a distance in pixels, 0 or more";
  request.settings.threshold = *d;

  const std::string* format = parsed.Value("--hyp-format");
  const std::string_view name = format == nullptr ? "points" : std::string_view(*format);
  if (name == "points")
    request.source = HypSource::kPoints;
  else if (name == "mot")
    request.source = HypSource::kMot;
  else if (name == "tracks")
    request.source = HypSource::kTracks;
  else
    return "--hyp-format must be points, mot or tracks";
  if (parsed.Has("--geometry"))
    return "--geometry is not yet supported";
  if (parsed.Has("--csv") && parsed.Has("--json"))
    return "--csv and --json cannot be given together";

  std::string problem;
  const std::optional<int> from = FrameOption(parsed, "--from", problem);
  const std::optional<int> to = FrameOption(parsed, "--to", problem);
  if (!problem.empty())
    return problem;
  request.settings.first = from.value_or(0);
  request.settings.last = to.value_or(MAX_TRACK_FRAMES - 1);
  if (request.settings.first > request.settings.last)
    return "--from must not come after --to";
  if (from || to)
    request.settings.frameCount = EvaluationSettings::FrameCount::kEvery;
  return std::nullopt;
}

// Loads a track file into a set of the command's own, quietly: the loader's
// trace of disabled targets is not part of the command's output.
std::optional<std::string> LoadTracks(const std::string& fileName, CTrackSet& tracks) {
  const std::optional<std::uintmax_t> size = cli::RegularFileSize(fileName);
  if (!size)
    return fileName + ": is not a regular file";
  if (*size > kMaxInputBytes)
    return fileName + ": is larger than " + std::to_string(kMaxInputBytes) + " bytes";
  const base::ScopedTraceSink quiet([](std::string_view) {});
  if (!tracks.LoadTrueTracksFrom(fileName.c_str()))
    return fileName + ": cannot be read as a track file";
  return std::nullopt;
}

std::optional<std::string> LoadHypotheses(const Request& request, FrameObjects& hypotheses) {
  if (request.source == HypSource::kTracks) {
    auto tracks = std::make_unique<CTrackSet>();
    if (auto problem = LoadTracks(request.hypFile, *tracks))
      return problem;
    hypotheses = ObjectsFromTracks(*tracks);
    return std::nullopt;
  }
  std::string text;
  if (auto problem = cli::ReadRegularFile(request.hypFile, kMaxInputBytes, text))
    return problem;
  const HypothesisFormat format =
      request.source == HypSource::kMot ? HypothesisFormat::kMot : HypothesisFormat::kPoints;
  std::vector<ObjectRow> rows;
  if (const auto problem = ReadHypotheses(text, format, rows))
    return request.hypFile + ":" + std::to_string(problem->line) + ": " + problem->what;
  hypotheses = FrameObjects(std::move(rows));
  return std::nullopt;
}

// The nearest whole pixel, for the track set's own test of nearness.
int Pixel(double value) {
  return static_cast<int>(std::clamp(std::llround(value), -2147483647LL, 2147483647LL));
}

}  // namespace

int RunEvaluateCommand(std::span<const std::string> args, std::ostream& out, std::ostream& err) {
  cli::ParsedArgs parsed;
  if (const auto status = cli::ReadCommandArgs(args, kOptions, kCommand, out, err, parsed))
    return *status;
  Request request;
  if (const auto problem = ReadRequest(parsed, request))
    return cli::UsageError(err, kCommand, *problem);

  auto truthTracks = std::make_unique<CTrackSet>();
  if (const auto problem = LoadTracks(request.truthFile, *truthTracks))
    return cli::Failure(err, kCommand, *problem);
  FrameObjects hypotheses;
  if (const auto problem = LoadHypotheses(request, hypotheses))
    return cli::Failure(err, kCommand, *problem);

  // A hypothesis left unmatched near a disabled target (one the track file
  // leaves out of the truth) is not held against the tracker.
  const CTrackSet& truthSet = *truthTracks;
  const double threshold = request.settings.threshold;
  const IgnoreTest nearDisabled = [&truthSet, threshold](const FrameObject& h, int frame) {
    return truthSet.NearDisabledTarget(Pixel(h.x), Pixel(h.y), frame, threshold);
  };
  const Evaluation evaluation =
      Evaluate(ObjectsFromTracks(truthSet), hypotheses, request.settings, nearDisabled);
  if (parsed.Has("--json"))
    PrintEvaluationJson(evaluation, out);
  else if (parsed.Has("--csv"))
    PrintEvaluationCsv(evaluation, out);
  else
    PrintEvaluationTable(evaluation, out);
  return cli::kExitOk;
}
