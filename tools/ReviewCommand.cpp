// korvane-cli review: a video of the source frames at their own size with
// the truth, a tracker's hypotheses and every error the evaluation counts
// painted on them.

#include <thread>

#include "base/NumberText.h"
#include "base/Progress.h"
#include "import/ImportShared.h"
#include "review/ReviewFrames.h"
#include "review/ReviewRun.h"
#include "tools/Cli.h"
#include "tools/CommandLine.h"
#include "tools/CommandTable.h"
#include "tools/ScoringOptions.h"
#include "video/VideoWriter.h"

namespace {

constexpr std::string_view kCommand = "review";
constexpr cli::OptionRule kOptions[] = {
    {"--video", true},       {"--iou", true},         {"--threshold", true}, {"--protocol", true},
    {"--first-frame", true}, {"--count", true},       {"--scale", true},     {"--jobs", true},
    {"--rate", true},        {"--errors-only", false}};
constexpr int kMaxJobs = 256;
constexpr double kMaxScale = 8.0;
// The largest picture a review video is made at, each way.
constexpr int kMaxSide = 16384;

struct Request {
  std::string source;
  std::string truthFile;
  std::string hypothesisFile;
  std::string video;
  MotScoringSettings scoring;
  std::optional<int> firstFrame;
  std::optional<int> count;
  double scale = 1.0;
  int jobs = 1;
  std::optional<int> rate;
  bool errorsOnly = false;
};

std::optional<int> IntOption(const cli::ParsedArgs& parsed, std::string_view option, int least,
                             int most, std::string& problem) {
  const std::string* text = parsed.Value(option);
  if (text == nullptr)
    return std::nullopt;
  const std::optional<int> value = base::ParseInt(*text);
  if (!value || *value < least || *value > most)
    problem = std::string(option) + " must be an integer from " + std::to_string(least) + " to " +
              std::to_string(most);
  return value;
}

std::optional<std::string> ReadRequest(const cli::ParsedArgs& parsed, Request& request) {
  if (parsed.positional.size() != 3)
    return "expects SOURCE, the truth GT and the tracker's output HYP";
  request.source = parsed.positional[0];
  request.truthFile = parsed.positional[1];
  request.hypothesisFile = parsed.positional[2];
  const std::string* video = parsed.Value("--video");
  if (video == nullptr)
    return "--video OUT.mp4 or OUT.mkv is needed";
  if (!video::KindOfVideoFile(*video))
    return "--video " + *video + ": the video file must end in " +
           std::string(video::SupportedVideoExtensions());
  request.video = *video;
  if (auto problem = cli::ReadMotScoringOptions(parsed, request.scoring))
    return problem;
  if (const std::string* scale = parsed.Value("--scale")) {
    const std::optional<double> s = base::ParseDouble(*scale);
    if (!s || !(*s > 0.0) || *s > kMaxScale)
      return "--scale must be a number above 0 and at most " + std::to_string(int(kMaxScale));
    request.scale = *s;
  }
  std::string problem;
  request.firstFrame = IntOption(parsed, "--first-frame", 0, INT32_MAX - 1, problem);
  request.count = IntOption(parsed, "--count", 1, cli::kMaxSeriesFrames, problem);
  request.rate = IntOption(parsed, "--rate", 1, 1000, problem);
  request.jobs = IntOption(parsed, "--jobs", 1, kMaxJobs, problem)
                     .value_or(static_cast<int>(std::max(1u, std::thread::hardware_concurrency())));
  if (!problem.empty())
    return problem;
  request.errorsOnly = parsed.Has("--errors-only");
  return std::nullopt;
}

std::string Counted(long long count, std::string_view one, std::string_view more) {
  return std::to_string(count) + ' ' + std::string(count == 1 ? one : more);
}

void PrintSpans(std::ostream& out, std::span<const review::FrameSpan> spans) {
  for (const review::FrameSpan& span : spans)
    out << "review: kept frames " << span.first << " to " << span.last << " ("
        << span.last - span.first + 1 << " frames)\n";
}

}  // namespace

int RunReviewCommand(std::span<const std::string> args, std::ostream& out, std::ostream& err) {
  cli::ParsedArgs parsed;
  Request request;
  if (const auto status =
          cli::ReadCommandRequest(args, kOptions, kCommand, out, err, ReadRequest, parsed, request))
    return *status;

  review::SequenceVerdicts verdicts;
  if (auto problem = review::EvaluateFilesForReview(request.truthFile, request.hypothesisFile,
                                                    request.scoring, verdicts))
    return cli::Failure(err, kCommand, *problem + "; no video was written");
  review::ReviewSource source;
  if (auto problem = review::OpenReviewSource(request.source, request.scale, source))
    return cli::Failure(err, kCommand, *problem + "; no video was written");
  if (source.note)
    err << "korvane-cli review: note: " << *source.note << '\n';
  if (verdicts.unscoredTruth > 0 || verdicts.removedHypotheses > 0)
    err << "korvane-cli review: note: the MOTChallenge protocol leaves out "
        << verdicts.unscoredTruth << " truth rows (not pedestrians, or confidence 0) and "
        << verdicts.removedHypotheses << " hypotheses (matched to distractors)\n";
  std::vector<std::string> inputs = source.files;
  inputs.push_back(request.truthFile);
  inputs.push_back(request.hypothesisFile);
  if (const auto over = cli::OutputOverSource(inputs, {request.video}))
    return cli::Failure(err, kCommand, "refuses to write " + *over + ": it is one of the inputs");
  review::FrameRange range;
  if (auto problem = review::PlanRange(request.firstFrame, request.count, source, verdicts,
                                       cli::kMaxSeriesFrames, range))
    return cli::Failure(err, kCommand, *problem + "; no video was written");

  const review::ReviewPlan plan(verdicts, request.scale);
  const review::ChosenFrames frames =
      review::ChooseFrames(plan, range, request.errorsOnly, request.rate, source);
  if (request.errorsOnly && frames.spans.empty()) {
    out << "review: no error in frames " << range.first << " to " << range.last
        << "; no video was written\n";
    return cli::kExitOk;
  }
  PrintSpans(out, frames.spans);

  const review::PipelineSize size = review::ReviewSize(
      source, video::KindOfVideoFile(request.video) == video::VideoKind::SharedMp4);
  if (size.width > kMaxSide || size.height > kMaxSide)
    return cli::UsageError(err, kCommand,
                           "a review of " + std::to_string(size.width) + " x " +
                               std::to_string(size.height) + " pixels is too large; at most " +
                               std::to_string(kMaxSide) + " each way (see --scale)");
  const int rate = review::VideoRate(request.rate, source);
  video::VideoWriter writer;
  if (auto problem =
          writer.Open(request.video, size.width, size.height, rate, video::FrameLayout::TopDownBgr))
    return cli::Failure(err, kCommand, *problem);

  base::Progress progress(err, base::ProgressStyleFor(err), kCommand,
                          static_cast<int>(frames.numbers.size()));
  const review::ReviewRunEnd end = review::PaintReview(
      source, plan, frames.numbers, size, request.jobs, request.count.has_value(),
      [&](std::span<const std::uint8_t> frame) { return writer.WriteFrame(frame); },
      [&](int done) { progress.Update(done); });
  progress.Finish();
  if (end.failure)
    return cli::Failure(err, kCommand, *end.failure + "; no video was written");
  if (auto problem = writer.Finish())
    return cli::Failure(err, kCommand, *problem);
  const std::vector<int>& numbers = frames.numbers;
  if (writer.FramesWritten() < 1 ||
      static_cast<std::size_t>(writer.FramesWritten()) > numbers.size())
    return cli::Failure(err, kCommand, "no frame was reviewed; no video was written");
  const int lastShown = numbers[static_cast<std::size_t>(writer.FramesWritten()) - 1];
  if (end.videoEndsAfter)
    err << "korvane-cli review: note: the video ends after frame " << *end.videoEndsAfter << "\n";
  out << "review: wrote " << request.video << ", " << writer.FramesWritten() << " frames of "
      << size.width << " x " << size.height << " at " << rate << " per second (source frames "
      << numbers.front() << " to " << lastShown << ")\n"
      << "review: the sequence scores MOTA " << review::RatioText(verdicts.mota) << ", IDF1 "
      << review::RatioText(verdicts.idf1) << "; " << Counted(verdicts.misses, "miss", "misses")
      << ", " << Counted(verdicts.falsePositives, "false positive", "false positives") << ", "
      << Counted(verdicts.switches, "identity switch", "identity switches") << '\n';
  return cli::kExitOk;
}

const cli::Command cli::kReviewCommand{
    "review",
    "review SOURCE GT HYP --video OUT.mp4|OUT.mkv [--iou T | --threshold D] [--protocol mot|none] "
    "[--first-frame N] [--count C] [--scale S] [--jobs N] [--rate R] [--errors-only]",
    R"(Makes a video of the source frames at their own size (or scaled) with the
truth GT, the tracker's output HYP and every error the evaluation counts
painted on them, for looking at why a tracker fails. SOURCE is a folder of
pictures or a printf-style pattern (as import takes them) or a video file; GT
is MOTChallenge ground truth and HYP MOTChallenge rows, as evaluate
--truth-format mot reads them, frames as the source numbers them (a folder's
pictures by the numbers in their names, a pattern's by its numbers, a
video's frames from 1), boxes in source pixels as the rows give them.
The frames are scored exactly as evaluate --truth-format mot scores them,
and the video shows that evaluation's own verdicts:
  --iou T          boxes match by IoU of at least T (0 < T <= 1, 0.5 by
                   default) under the benchmark's conventions
  --threshold D    or their centres when at most D pixels apart, under the
                   track file's conventions
  --protocol       "mot" (default): the MOTChallenge 2D box protocol picks the
                   rows scored (pedestrians only, confidence 0 left out,
                   hypotheses on distractors removed); "none": every row
  --video OUT      .mp4: H.264 (yuv420p, quality 18, the index at the front
                   so it plays while loading), a black column or row added
                   to an odd size; .mkv: lossless FFV1, every pixel as painted.
                   Written under a temporary name and renamed when complete:
                   a failed or interrupted run leaves nothing under OUT.
  --first-frame N  the first source frame shown (default: the source's first)
  --count C        how many frames (default: up to the source's end)
  --scale S        the pictures scaled by S (above 0, at most 8); marks and
                   text are sized for the picture made
  --jobs N         threads that decode and paint (default: one per core)
  --rate R         frames a second of the video (default: the video source's,
                   a seqinfo.ini's frameRate beside a picture folder, else 30)
  --errors-only    only frames with an error and one second of frames either
                   side; each kept span's source frames are printed, and the
                   frames left out are never decoded nor encoded
What a frame shows:
  white ring inside a box, white id      a truth object the evaluation scores
  ring outside a box, id above it, in    a hypothesis it scores; each id has
  the id's colour                        its colour from a fixed palette
  magenta ring around a truth box, FN    a miss: truth left unmatched
  yellow ring around a hypothesis, FP    a false positive
  cyan ring around a truth box,          an identity switch: the truth went
  IDSW a>b                               from hypothesis a to hypothesis b
  caption: frame number, MOTA and IDF1 of the frames up to this one, and the
  frame's FN, FP and IDSW
Magenta, yellow and cyan mark errors only. A tag whose box is off the picture
is moved onto it, so every error shows at its frame.
)",
    &RunReviewCommand};
