// korvane-cli render: the command line and the files it names. The checks
// of the outputs are render/RenderChecks.h's; the frames themselves are
// played and written by RenderSeries.

#include <memory>

#include "base/NumberText.h"
#include "image/SeriesFrames.h"
#include "render/HypothesisOverlay.h"
#include "render/RenderChecks.h"
#include "render/SeriesRender.h"
#include "scoring/NearDisabledTarget.h"
#include "tools/Cli.h"
#include "tools/CommandLine.h"
#include "tools/CommandTable.h"
#include "tools/HypothesisInput.h"
#include "tools/TrackFileInput.h"
#include "tracks/TrackGlobals.h"
#include "video/VideoWriter.h"

namespace {

constexpr std::string_view kCommand = "render";
constexpr cli::OptionRule kOptions[] = {
    {"--tracks", true},     {"--trails", false},  {"--markers", false},
    {"--rate", true},       {"--video", true},    {"--hypotheses", true},
    {"--hyp-format", true}, {"--geometry", true}, {"--threshold", true}};

// The tracker's output to paint over the frames, and the distance of a match
// when its misses and false positives are to be marked too.
struct HypothesisRequest {
  std::optional<HypothesisInput> input;
  std::optional<double> threshold;
};

std::optional<std::string> ReadHypothesisRequest(const cli::ParsedArgs& parsed,
                                                 HypothesisRequest& request) {
  const std::string* file = parsed.Value("--hypotheses");
  if (file == nullptr) {
    if (parsed.Has("--threshold") || parsed.Has("--hyp-format") || parsed.Has("--geometry"))
      return "--threshold, --hyp-format and --geometry go with --hypotheses HYP";
    return std::nullopt;
  }
  HypothesisInput input;
  input.file = *file;
  if (auto problem = cli::ReadHypothesisOptions(parsed, input))
    return problem;
  request.input = std::move(input);
  if (const std::string* threshold = parsed.Value("--threshold")) {
    const std::optional<double> d = base::ParseDouble(*threshold);
    if (!d || *d < 0.0)
      return "--threshold must be a distance in pixels, 0 or more";
    request.threshold = *d;
  }
  return std::nullopt;
}

// Reads the command line into settings; a message when it cannot be used.
std::optional<std::string> ReadSettings(const cli::ParsedArgs& parsed, RenderSettings& settings) {
  const std::string* video = parsed.Value("--video");
  if (parsed.positional.size() != 4 && (parsed.positional.size() != 3 || video == nullptr))
    return "expects ROOT, FIRST, LAST and OUTROOT (OUTROOT may be left out with --video)";
  if (video != nullptr) {
    if (!video::KindOfVideoFile(*video))
      return "--video " + *video + ": the video file must end in " +
             std::string(video::SupportedVideoExtensions());
    settings.video = *video;
  }
  cli::FrameRange frames;
  if (auto error =
          cli::ParseFrameRange(parsed.positional[1], parsed.positional[2], "rendered", frames))
    return error;
  // The rate is the player's; frames are rendered as fast as they are read,
  // so it only sets the video's frame rate.
  if (const std::string* rate = parsed.Value("--rate")) {
    const std::optional<int> value = base::ParseInt(*rate);
    if (!value || *value < 1 || *value > 30)
      return "--rate must be an integer from 1 to 30";
    settings.rate = *value;
  } else if (video != nullptr) {
    settings.rate = RecordedRate(parsed.positional[0]).value_or(settings.rate);
  }
  settings.overlays.trails = parsed.Has("--trails");
  settings.overlays.markers = parsed.Has("--markers");
  if (parsed.Has("--tracks") && !settings.overlays.trails && !settings.overlays.markers &&
      !parsed.Has("--threshold"))
    return "--tracks needs --trails, --markers or --threshold";
  settings.first = frames.first;
  settings.last = frames.last;
  settings.root = parsed.positional[0];
  if (auto problem = cli::RootProblem("ROOT", settings.root))
    return problem;
  if (parsed.positional.size() == 4) {
    settings.outRoot = parsed.positional[3];
    return cli::RootProblem("OUTROOT", settings.outRoot);
  }
  return std::nullopt;
}

// Reads the hypotheses and, with a threshold, matches them against the
// truth of `tracks` frame by frame as evaluate does. A message when the file
// cannot be read or has a bad line.
std::optional<std::string> LoadOverlay(const HypothesisInput& input,
                                       std::optional<double> threshold, const CTrackSet& tracks,
                                       std::optional<HypothesisOverlay>& overlay,
                                       std::ostream& err) {
  LoadedHypotheses loaded;
  if (auto problem = LoadHypotheses(input, loaded))
    return problem;
  cli::NoteRowsLeftOut(err, kCommand, input, loaded);
  if (!threshold)
    overlay.emplace(std::move(loaded.objects));
  else
    overlay.emplace(std::move(loaded.objects), ObjectsFromTracks(tracks), *threshold,
                    NearDisabledTargetTest(tracks, *threshold));
  return std::nullopt;
}

// "render: 12 frames shown, 0 not shown, 0 retries; wrote … to …; video …".
void PrintSummary(std::ostream& out, const RenderSettings& settings, const RenderOutcome& outcome) {
  out << "render: " << outcome.shown << " frames shown, " << outcome.skipped << " not shown, "
      << outcome.retries << " retries";
  if (outcome.shown > 0 && !settings.outRoot.empty()) {
    out << "; wrote " << series::FrameFileName(settings.outRoot, outcome.firstShown) << " to "
        << series::FrameFileName(settings.outRoot, outcome.lastShown);
  }
  if (outcome.videoDone) {
    out << "; video " << settings.video << " (" << outcome.videoFrames << " frames at "
        << settings.rate << " per second)";
  }
  out << '\n';
}

}  // namespace

int RunRenderCommand(std::span<const std::string> args, std::ostream& out, std::ostream& err) {
  cli::ParsedArgs parsed;
  RenderSettings settings;
  if (const auto status = cli::ReadCommandRequest(args, kOptions, kCommand, out, err, ReadSettings,
                                                  parsed, settings))
    return *status;
  HypothesisRequest hypothesisRequest;
  if (const auto error = ReadHypothesisRequest(parsed, hypothesisRequest))
    return cli::UsageError(err, kCommand, *error);

  if (const auto problem = OutputProblem(settings))
    return cli::Failure(err, kCommand, *problem);

  // The overlays, and the truth the hypotheses are matched against, come
  // from the named track file, else from the one in the current folder, as
  // the player reads it.
  const auto tracks = std::make_unique<CTrackSet>();
  const std::string* named = parsed.Value("--tracks");
  const std::string trackFile = named ? *named : g_trueTracksPath;
  const bool readsTracks =
      settings.overlays.trails || settings.overlays.markers || hypothesisRequest.threshold;
  if (readsTracks) {
    if (const auto problem = cli::LoadCommandTracks(trackFile, *tracks, kCommand, err))
      return cli::Failure(err, kCommand, *problem);
  }
  std::optional<HypothesisOverlay> hypotheses;
  if (hypothesisRequest.input) {
    if (const auto problem = LoadOverlay(*hypothesisRequest.input, hypothesisRequest.threshold,
                                         *tracks, hypotheses, err))
      return cli::Failure(err, kCommand, *problem);
  }

  // No output may be a file the run reads, however it is named.
  std::vector<std::string> read;
  if (readsTracks)
    read.push_back(trackFile);
  if (hypothesisRequest.input) {
    read.push_back(hypothesisRequest.input->file);
    if (!hypothesisRequest.input->geometryFile.empty())
      read.push_back(hypothesisRequest.input->geometryFile);
  }
  if (!settings.video.empty() && !parsed.Has("--rate"))
    read.push_back(settings.root + ".geometry");
  if (const auto over = OutputOverRead(settings, std::move(read)))
    return cli::Failure(err, kCommand,
                        "refuses to write " + *over + ": it is one of the files read");

  const RenderOutcome outcome = RenderSeries(
      settings, *tracks, hypotheses ? &*hypotheses : nullptr,
      [&err](const std::string& problem) { cli::Failure(err, kCommand, problem); }, err, kCommand);
  if (outcome.played)
    PrintSummary(out, settings, outcome);
  return outcome.failed ? cli::kExitFailure : cli::kExitOk;
}

const cli::Command cli::kRenderCommand{
    "render",
    "render ROOT FIRST LAST [OUTROOT] [--video FILE] [--tracks FILE] [--trails] [--markers] "
    "[--rate N] [--hypotheses HYP [--hyp-format points|mot|tracks] [--geometry FILE] "
    "[--threshold D]]",
    R"(Plays ROOT_FIRST.bmp to ROOT_LAST.bmp (names "%s_%04d.bmp") frame by frame
through the player's own playback step, and writes every frame shown, overlays
included, as OUTROOT_NNNN.bmp, NNNN being the number of the frame shown:
OUTROOT_0024.bmp shows ROOT_0024.bmp exactly as the player's picture shows it.
  --video FILE   also (or, without OUTROOT, only) encode the frames as the
                 video FILE at the rate of --rate, one picture per frame
                 number; a frame not shown holds the picture before it (black
                 before the first). FILE.mkv: FFV1, lossless, every picture
                 the frame file's bytes; FILE.mp4: H.264, yuv420p, constant
                 quality 18, index first so that it plays while loading
  --markers      paint a red marker at each target's position, as "Use
                 TrueTracks" does
  --trails       paint the green trails, as "Show Track" does
  --tracks FILE  the track file (with --trails, --markers or --threshold);
                 without it truetracks.txt is read from the current folder,
                 as the player reads it
  --rate N       the player's frame rate, 1 to 30, and the video's; frames
                 are rendered as fast as they are read. Without it the video
                 takes the source's rate recorded in ROOT.geometry by import
                 (rounded, at most 30), else 10
  --hypotheses HYP  paint a tracker's output over the player's overlays, read
                 as evaluate reads it (--hyp-format, --geometry): a cyan ring
                 2 pixels wide around the 10 x 10 square a marker at the
                 hypothesis's position covers
  --threshold D  also mark each frame's errors as evaluate matches them
                 (truth from the track file): a magenta ring around a missed
                 truth object's marker, a yellow ring around a false
                 positive's cyan one
A frame file that cannot be opened or read (missing, not a regular file,
permission denied, a read error) is skipped and named, as is one whose header is still short or
without the "BM" signature after 3 tries; the next frame starts over black, as
a new READ would. A short pixel block shows over the frame before it.
Each output file is written under a temporary name and renamed when whole;
OUTROOT may not name the series being read, nor any output be a file the
command reads, under whatever name. A file that cannot be written
stops the command with the system's reason; the frames written before it stay,
a video is not kept.
0 <= FIRST <= LAST, at most 100000 frames. Standard error shows a progress
bar on a terminal, a progress line at every tenth otherwise; the summary on
standard output gives the frames shown, not shown and the retries.
Exit status 1 when a frame was not shown or a file could not be read or
written, 0 otherwise.
)",
    &RunRenderCommand};
