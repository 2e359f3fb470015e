// korvane-cli evaluate: a tracker's output scored against a track file with
// the CLEAR MOT and identity metrics.

#include <memory>

#include "base/NumberText.h"
#include "eval/Evaluation.h"
#include "tools/Cli.h"
#include "tools/CommandLine.h"
#include "tools/CommandTable.h"
#include "tools/EvaluationReport.h"
#include "tools/HypothesisInput.h"
#include "tools/TrackFileInput.h"
#include "tracks/TrackSet.h"

namespace {

constexpr std::string_view kCommand = "evaluate";
constexpr cli::OptionRule kOptions[] = {
    {"--threshold", true}, {"--hyp-format", true}, {"--geometry", true}, {"--from", true},
    {"--to", true},        {"--csv", false},       {"--json", false},
};

struct Request {
  std::string truthFile;
  cli::HypothesisInput hypotheses;
  EvaluationSettings settings;
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
std::optional<std::string> ReadRequest(const cli::ParsedArgs& parsed, Request& request) {
  if (parsed.positional.size() != 2)
    return "expects a track file TRUTH and a tracker's output HYP";
  request.truthFile = parsed.positional[0];
  request.hypotheses.file = parsed.positional[1];
  const std::string* threshold = parsed.Value("--threshold");
  if (threshold == nullptr)
    return "--threshold D is needed";
  const std::optional<double> d = base::ParseDouble(*threshold);
  if (!d || *d < 0.0)
    return "--threshold must be a distance in pixels, 0 or more";
  request.settings.threshold = *d;
  if (auto problem = cli::ReadHypothesisOptions(parsed, request.hypotheses))
    return problem;
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

}  // namespace

int RunEvaluateCommand(std::span<const std::string> args, std::ostream& out, std::ostream& err) {
  cli::ParsedArgs parsed;
  if (const auto status = cli::ReadCommandArgs(args, kOptions, kCommand, out, err, parsed))
    return *status;
  Request request;
  if (const auto problem = ReadRequest(parsed, request))
    return cli::UsageError(err, kCommand, *problem);

  auto truthTracks = std::make_unique<CTrackSet>();
  if (const auto problem = cli::LoadCommandTracks(request.truthFile, *truthTracks, kCommand, err))
    return cli::Failure(err, kCommand, *problem);
  cli::LoadedHypotheses hypotheses;
  if (const auto problem = cli::LoadHypotheses(request.hypotheses, hypotheses))
    return cli::Failure(err, kCommand, *problem);
  cli::NoteRowsLeftOut(err, kCommand, request.hypotheses, hypotheses);

  const CTrackSet& truthSet = *truthTracks;
  const IgnoreTest nearDisabled = cli::NearDisabledTargetTest(truthSet, request.settings.threshold);
  const Evaluation evaluation =
      Evaluate(ObjectsFromTracks(truthSet), hypotheses.objects, request.settings, nearDisabled);
  if (parsed.Has("--json"))
    PrintEvaluationJson(evaluation, out);
  else if (parsed.Has("--csv"))
    PrintEvaluationCsv(evaluation, out);
  else
    PrintEvaluationTable(evaluation, out);
  return cli::kExitOk;
}

const cli::Command cli::kEvaluateCommand{
    "evaluate",
    "evaluate TRUTH HYP --threshold D [--hyp-format points|mot|tracks] [--geometry FILE] "
    "[--from F] [--to T] [--csv | --json]",
    R"(Scores a tracker's output HYP against the track file TRUTH with the CLEAR MOT
metrics (Bernardin and Stiefelhagen 2008) and the identity metrics (Ristani et
al. 2016). The truth objects of a frame are the enabled targets whose position
there is not (0, 0). A truth object and a hypothesis correspond when they lie
at most D pixels apart.
Each frame, in order: a truth object keeps the hypothesis id it was last
matched to when that hypothesis is there, free and within D; the rest are
matched to make the most pairs at the least total distance. A match to another
id than the last one is an identity switch. An unmatched hypothesis closer
than D to a disabled target is ignored rather than a false positive.
  --threshold D    the largest distance of a match, in pixels (needed)
  --hyp-format     how HYP is laid out:
     points        (default) rows "frame,id,x,y", frames 0 to 499
     mot           MOTChallenge rows "frame,id,left,top,width,height,...",
                   placed as mot2tracks places ground truth: the box's
                   centre rounded to whole pixels, frame and centre as they
                   stand (or through --geometry); rows outside frames 0 to
                   499 are left out with a note
     tracks        a track file; the target's index is the id
                   Fields are separated by commas or white space; further
                   columns are ignored; '#' starts a comment.
  --geometry FILE  with mot: the .geometry file of an imported series; each
                   box centre and frame number is mapped into the series as
                   mot2tracks maps ground truth
  --from F, --to T the frames scored (0 to 499); without them, every frame in
                   which either side has an object
  --json           one JSON object: frames, gt, hypotheses, matches, fp, fn,
                   idsw, frag, ignored, mota, motp, idtp, idfp, idfn, idp, idr,
                   idf1, mt, pt, ml and per_target
  --csv            the same totals as a header line and a line of values
A ratio whose denominator is 0 is "-" in the table, null in JSON and empty in
CSV. A bad HYP line is a failure naming FILE:LINE (exit status 1).
)",
    &RunEvaluateCommand};
