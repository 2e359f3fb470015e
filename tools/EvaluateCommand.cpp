// korvane-cli evaluate: a tracker's output scored against the truth, a track
// file (points, the program's conventions) or MOTChallenge ground truth
// (boxes or their centres, the benchmark's protocol and conventions).

#include <memory>

#include "base/NumberText.h"
#include "eval/Evaluation.h"
#include "report/ReportFormat.h"
#include "scoring/MotScoring.h"
#include "scoring/NearDisabledTarget.h"
#include "tools/Cli.h"
#include "tools/CommandLine.h"
#include "tools/CommandTable.h"
#include "tools/HypothesisInput.h"
#include "tools/ScoringOptions.h"
#include "tools/TrackFileInput.h"
#include "tracks/TrackSet.h"

namespace {

constexpr std::string_view kCommand = "evaluate";
constexpr cli::OptionRule kOptions[] = {
    {"--threshold", true}, {"--hyp-format", true}, {"--geometry", true}, {"--from", true},
    {"--to", true},        {"--csv", false},       {"--json", false},    {"--truth-format", true},
    {"--iou", true},       {"--protocol", true},   {"--metrics", true},
};

// --- The track file as truth -----------------------------------------------

struct TrackFileRequest {
  std::string truthFile;
  HypothesisInput hypotheses;
  EvaluationSettings settings;
  // Set when --metrics asks for the families: then the report of the
  // families, else the track-file report as it has always been.
  std::optional<MetricFamilies> metrics;
  cli::ReportFormat output = cli::ReportFormat::kTable;
};

std::optional<int> FrameOption(const cli::ParsedArgs& parsed, std::string_view option,
                               std::string& problem) {
  const std::string* text = parsed.Value(option);
  if (text == nullptr)
    return std::nullopt;
  const std::optional<int> frame = base::ParseInt(*text);
  if (!frame || !IsTrackFrame(*frame))
    problem = std::string(option) + " must be a frame from 0 to 499";
  return frame;
}

// The request the arguments make, or the usage message saying why not.
std::optional<std::string> ReadTrackFileRequest(const cli::ParsedArgs& parsed,
                                                TrackFileRequest& request) {
  if (parsed.positional.size() != 2)
    return "expects a track file TRUTH and a tracker's output HYP";
  request.truthFile = parsed.positional[0];
  request.hypotheses.file = parsed.positional[1];
  if (parsed.Has("--iou") || parsed.Has("--protocol"))
    return "--iou and --protocol go with --truth-format mot (a track file holds points)";
  const std::string* threshold = parsed.Value("--threshold");
  if (threshold == nullptr)
    return "--threshold D is needed";
  const std::optional<double> d = base::ParseDouble(*threshold);
  if (!d || *d < 0.0)
    return "--threshold must be a distance in pixels, 0 or more";
  request.settings.threshold = *d;
  if (auto problem = cli::ReadHypothesisOptions(parsed, request.hypotheses))
    return problem;
  if (parsed.Has("--metrics")) {
    MetricFamilies families;
    if (auto problem = cli::ReadMetricFamilies(parsed, families))
      return problem;
    request.metrics = families;
  }
  if (auto problem = cli::ReadReportFormat(parsed, request.output))
    return problem;

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

int EvaluateTrackFile(const cli::ParsedArgs& parsed, std::ostream& out, std::ostream& err) {
  TrackFileRequest request;
  if (const auto problem = ReadTrackFileRequest(parsed, request))
    return cli::UsageError(err, kCommand, *problem);

  auto truthTracks = std::make_unique<CTrackSet>();
  if (const auto problem = cli::LoadCommandTracks(request.truthFile, *truthTracks, kCommand, err))
    return cli::Failure(err, kCommand, *problem);
  LoadedHypotheses hypotheses;
  if (const auto problem = LoadHypotheses(request.hypotheses, hypotheses))
    return cli::Failure(err, kCommand, *problem);
  cli::NoteRowsLeftOut(err, kCommand, request.hypotheses, hypotheses);

  const FrameObjects truth = ObjectsFromTracks(*truthTracks);
  const IgnoreTest nearDisabled = NearDisabledTargetTest(*truthTracks, request.settings.threshold);
  if (request.metrics)
    cli::PrintSequence(ScorePointEvaluation(truth, hypotheses.objects, request.settings,
                                            nearDisabled, *request.metrics),
                       request.output, out);
  else
    cli::PrintEvaluation(Evaluate(truth, hypotheses.objects, request.settings, nearDisabled),
                         request.output, out);
  return cli::kExitOk;
}

// --- MOTChallenge ground truth -----------------------------------------------

struct MotRequest {
  std::string truthFile;
  std::string hypothesisFile;
  MotScoringSettings settings;
  std::optional<MotFrameWindow> frames;  // --from, --to
  cli::ReportFormat output = cli::ReportFormat::kTable;
};

std::optional<std::string> ReadMotRequest(const cli::ParsedArgs& parsed, MotRequest& request) {
  if (parsed.positional.size() != 2)
    return "expects MOTChallenge ground truth TRUTH and a tracker's output HYP";
  request.truthFile = parsed.positional[0];
  request.hypothesisFile = parsed.positional[1];
  if (const std::string* format = parsed.Value("--hyp-format"); format && *format != "mot")
    return "with --truth-format mot the tracker's output is MOTChallenge rows (--hyp-format mot)";
  if (parsed.Has("--geometry"))
    return "--geometry goes with a track file's truth; MOTChallenge truth and output share "
           "their frames and pixels";
  if (auto problem = cli::ReadMotScoringOptions(parsed, request.settings))
    return problem;
  if (auto problem = cli::ReadReportFormat(parsed, request.output))
    return problem;
  const std::string* from = parsed.Value("--from");
  const std::string* to = parsed.Value("--to");
  if ((from == nullptr) != (to == nullptr))
    return "with --truth-format mot, --from and --to go together";
  if (from != nullptr) {
    const std::optional<int> first = base::ParseInt(*from);
    const std::optional<int> last = base::ParseInt(*to);
    if (!first || !last)
      return "--from and --to must be whole numbers (MOTChallenge frame numbers)";
    if (*first > *last)
      return "--from must not come after --to";
    request.frames = MotFrameWindow{*first, *last};
    request.settings.sequence.frames = static_cast<long long>(*last) - *first + 1;
  }
  return std::nullopt;
}

int EvaluateMotTruth(const cli::ParsedArgs& parsed, std::ostream& out, std::ostream& err) {
  MotRequest request;
  if (const auto problem = ReadMotRequest(parsed, request))
    return cli::UsageError(err, kCommand, *problem);
  MotSequenceScore score;
  if (const auto problem = ScoreMotFiles(request.truthFile, request.hypothesisFile, std::nullopt,
                                         request.settings, score, request.frames))
    return cli::Failure(err, kCommand, *problem);
  if (score.unscoredTruth > 0 || score.removedHypotheses > 0)
    err << "korvane-cli evaluate: note: the MOTChallenge protocol leaves out "
        << score.unscoredTruth << " truth rows (not pedestrians, or confidence 0) and "
        << score.removedHypotheses << " hypotheses (matched to distractors)\n";
  cli::PrintSequence(score.result, request.output, out);
  return cli::kExitOk;
}

}  // namespace

int RunEvaluateCommand(std::span<const std::string> args, std::ostream& out, std::ostream& err) {
  cli::ParsedArgs parsed;
  if (const auto status = cli::ReadCommandArgs(args, kOptions, kCommand, out, err, parsed))
    return *status;
  const std::string* truthFormat = parsed.Value("--truth-format");
  if (truthFormat == nullptr || *truthFormat == "tracks")
    return EvaluateTrackFile(parsed, out, err);
  if (*truthFormat == "mot")
    return EvaluateMotTruth(parsed, out, err);
  return cli::UsageError(err, kCommand, "--truth-format must be tracks or mot");
}

const cli::Command cli::kEvaluateCommand{
    "evaluate",
    "evaluate TRUTH HYP [--truth-format tracks|mot] [--threshold D | --iou T] "
    "[--protocol mot|none] [--metrics clear,identity,hota] [--hyp-format points|mot|tracks] "
    "[--geometry FILE] [--from F --to T] [--csv | --json]",
    R"(Scores a tracker's output HYP against the truth TRUTH with the CLEAR MOT
metrics (Bernardin and Stiefelhagen 2008), the identity metrics (Ristani et
al. 2016) and HOTA (Luiten et al. 2021).
  --truth-format   what TRUTH is:
     tracks        (default) the program's track file: the enabled targets
                   whose position is not (0, 0) are the truth objects; a
                   truth object and a hypothesis correspond when they lie at
                   most D pixels apart (--threshold D, needed). Each frame, a
                   truth object keeps the id it was last matched to when that
                   is there, free and within D; the rest are matched to make
                   the most pairs at the least total distance. An unmatched
                   hypothesis closer than D to a disabled target is ignored.
     mot           MOTChallenge ground truth "frame,id,left,top,width,height,
                   conf,class,visibility", of any size; HYP is MOTChallenge
                   rows too. Boxes match by IoU (--iou T, 0 < T <= 1, 0.5 by
                   default) under the benchmark's conventions, or their
                   centres by distance (--threshold D) under the track
                   file's.
  --protocol       with mot: "mot" (default) scores as the MOTChallenge 2D
                   box protocol does: pedestrians (class 1) only, truth rows
                   of confidence 0 left out, hypotheses matched (IoU >= 0.5)
                   to a distractor (classes 2, 7, 8, 12) removed; "none"
                   scores every row as it stands
  --metrics        the families reported: clear, identity, hota, comma-
                   separated; all by default with mot. With a track file the
                   report is the track file's own unless --metrics is given;
                   HOTA of points uses the similarity max(0, 1 - d/D)
  --hyp-format     with tracks, how HYP is laid out:
     points        (default) rows "frame,id,x,y", frames 0 to 499
     mot           MOTChallenge rows, placed as mot2tracks places ground
                   truth: the box's centre rounded to whole pixels, frame and
                   centre as they stand (or through --geometry); rows outside
                   frames 0 to 499 are left out with a note
     tracks        a track file; the target's index is the id
                   Fields are separated by commas or white space; further
                   columns are ignored; '#' starts a comment.
  --geometry FILE  with tracks and mot rows: the .geometry file of an imported
                   series; each box centre and frame number is mapped into
                   the series as mot2tracks maps ground truth
  --from F, --to T the frames scored (a track file: 0 to 499; mot: both, any
                   whole numbers); without them, every frame in which either
                   side has an object
  --json, --csv    the totals as one JSON object, or a header line and a line
                   of values. A track file's keys without --metrics: frames,
                   gt, hypotheses, matches, fp, fn, idsw, frag, ignored,
                   mota, motp, idtp, idfp, idfn, idp, idr, idf1, mt, pt, ml
                   and per_target. Otherwise: HOTA, DetA, AssA, LocA, DetRe,
                   DetPr, AssRe, AssPr, HOTA(0), LocA(0); MOTA, MOTP, IDSW,
                   Frag, MT, PT, ML, TP, FN, FP; IDF1, IDP, IDR, IDTP, IDFN,
                   IDFP (the families scored) and frames.
Ratios are fractions 0..1; a ratio whose denominator is 0 is "-" in the
table, null in JSON and empty in CSV. A bad line is a failure naming
FILE:LINE (exit status 1). The conventions of both truth formats are set out
side by side in the companion's README.
)",
    &RunEvaluateCommand};
