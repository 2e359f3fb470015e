// korvane-cli benchmark: a tracker's output for every sequence of a
// benchmark in the MOTChallenge layout, scored per sequence and combined.

#include <algorithm>
#include <climits>
#include <numeric>
#include <thread>

#include "base/NumberText.h"
#include "base/Progress.h"
#include "report/ReportFormat.h"
#include "scoring/BenchmarkRun.h"
#include "tools/Cli.h"
#include "tools/CommandLine.h"
#include "tools/CommandTable.h"
#include "tools/ScoringOptions.h"

namespace {

constexpr std::string_view kCommand = "benchmark";
constexpr cli::OptionRule kOptions[] = {
    {"--seqmap", true}, {"--jobs", true},      {"--csv", false},     {"--json", false},
    {"--iou", true},    {"--threshold", true}, {"--protocol", true}, {"--metrics", true},
};
constexpr int kMaxJobs = 64;
// A benchmark of this many frames shows its progress.
constexpr long long kProgressFrames = 20000;

struct Request {
  std::string gtRoot;
  std::string trackerDir;
  std::optional<std::string> seqmap;
  int jobs = 1;
  MotScoringSettings settings;
  cli::ReportFormat format = cli::ReportFormat::kTable;
};

std::optional<std::string> ReadRequest(const cli::ParsedArgs& parsed, Request& request) {
  if (parsed.positional.size() != 2)
    return "expects the ground truth's folder GT_ROOT and the tracker's folder TRACKER_DIR";
  request.gtRoot = parsed.positional[0];
  request.trackerDir = parsed.positional[1];
  if (const std::string* seqmap = parsed.Value("--seqmap"))
    request.seqmap = *seqmap;
  request.jobs = static_cast<int>(std::clamp(std::thread::hardware_concurrency(), 1U, 64U));
  if (const std::string* jobs = parsed.Value("--jobs")) {
    const std::optional<int> n = base::ParseInt(*jobs);
    if (!n || *n < 1 || *n > kMaxJobs)
      return "--jobs must be a whole number from 1 to " + std::to_string(kMaxJobs);
    request.jobs = *n;
  }
  if (auto problem = cli::ReadReportFormat(parsed, request.format))
    return problem;
  return cli::ReadMotScoringOptions(parsed, request.settings);
}

}  // namespace

int RunBenchmarkCommand(std::span<const std::string> args, std::ostream& out, std::ostream& err) {
  cli::ParsedArgs parsed;
  Request request;
  if (const auto status =
          cli::ReadCommandRequest(args, kOptions, kCommand, out, err, ReadRequest, parsed, request))
    return *status;
  std::vector<BenchmarkSequence> sequences;
  if (const auto problem =
          ListBenchmark(request.gtRoot, request.trackerDir, request.seqmap, sequences))
    return cli::Failure(err, kCommand, *problem);

  const std::vector<long long> frames = SequenceFrames(sequences);
  const long long totalFrames = std::accumulate(frames.begin(), frames.end(), 0LL);
  std::optional<base::Progress> progress;
  if (totalFrames >= kProgressFrames && totalFrames <= INT_MAX)
    progress.emplace(err, base::ProgressStyleFor(err), kCommand, static_cast<int>(totalFrames));
  const std::vector<SequenceOutcome> outcomes = RunBenchmark(
      sequences, request.settings, request.jobs,
      progress
          ? CountingFrames(
                frames, [&progress](long long done) { progress->Update(static_cast<int>(done)); })
          : BenchmarkProgress{});
  if (progress)
    progress->Finish();

  const cli::BenchmarkReport benchmark = cli::ReportOf(outcomes);
  for (const cli::BenchmarkFailure& failure : benchmark.failures)
    err << "korvane-cli benchmark: " << failure.problem << '\n';
  if (!benchmark.failures.empty())
    err << "korvane-cli benchmark: no COMBINED row: " << benchmark.failures.size() << " of "
        << outcomes.size() << " sequences could not be scored\n";
  cli::PrintBenchmark(benchmark, request.format, out);
  return benchmark.failures.empty() ? cli::kExitOk : cli::kExitFailure;
}

const cli::Command cli::kBenchmarkCommand{
    "benchmark",
    "benchmark GT_ROOT TRACKER_DIR [--seqmap FILE] [--jobs N] [--iou T | --threshold D] "
    "[--protocol mot|none] [--metrics clear,identity,hota] [--csv | --json]",
    R"(Scores a tracker over a whole benchmark in the MOTChallenge layout: for each
sequence SEQ, GT_ROOT/SEQ/gt/gt.txt is the ground truth, GT_ROOT/SEQ/seqinfo.ini
gives its length (seqLength in [Sequence]) and TRACKER_DIR/SEQ.txt the
tracker's output; every frame number must be one of 1..seqLength. Each
sequence is scored as evaluate --truth-format mot scores it, and the COMBINED
row as the benchmark combines them: counts summed before any ratio, HOTA from
the summed counts of each alpha, its association and localisation scores
weighted by true positives.
  --seqmap FILE    the sequences: a header line, then one name a line;
                   without it, every folder of GT_ROOT holding gt/gt.txt, by
                   name
  --jobs N         sequences scored at once (1 to 64; default: the cores)
  --iou, --threshold, --protocol, --metrics
                   as for evaluate --truth-format mot
  --csv            a header line (sequence, then the keys) and a line per
                   sequence, COMBINED last
  --json           {"sequences": [{"name", keys...}], "COMBINED": {keys...},
                   "failed": [{"name", "problem"}]}
The table has one block per metric family. A sequence that cannot be scored
(a missing or bad file, named with its line) is reported on standard error
while the others are scored; there is then no COMBINED row and the exit
status is 1. A benchmark of 20000 frames or more shows its progress.
)",
    &RunBenchmarkCommand};
