// korvane-cli import: a folder or numbered series of pictures in any format
// the image readers know becomes a series of frame files, each fitted,
// centred or cropped into 320 × 240 as the series' .geometry file records.

#include <algorithm>
#include <thread>

#include "base/FileStatus.h"
#include "base/NumberText.h"
#include "import/ImportShared.h"
#include "import/PictureImport.h"
#include "import/VideoImport.h"
#include "tools/Cli.h"
#include "tools/CommandLine.h"
#include "tools/CommandTable.h"

namespace {

constexpr std::string_view kCommand = "import";
constexpr cli::OptionRule kOptions[] = {
    {"--first", true}, {"--start", true}, {"--fit", false},        {"--center", false},
    {"--crop", true},  {"--jobs", true},  {"--first-frame", true}, {"--count", true}};
constexpr int kMaxJobs = 256;

using cli::ImportSettings;

std::optional<cli::PixelRect> ParseRect(const std::string& text) {
  int values[4] = {};
  std::size_t from = 0;
  for (int i = 0; i < 4; ++i) {
    const std::size_t comma = i < 3 ? text.find(',', from) : text.size();
    if (comma == std::string::npos)
      return std::nullopt;
    const std::optional<int> value =
        base::ParseInt(std::string_view(text).substr(from, comma - from));
    if (!value)
      return std::nullopt;
    values[i] = *value;
    from = comma + 1;
  }
  return cli::PixelRect{values[0], values[1], values[2], values[3]};
}

std::optional<std::string> ReadSettings(const cli::ParsedArgs& parsed, ImportSettings& settings) {
  if (parsed.positional.size() != 2)
    return "expects SOURCE and OUTROOT";
  settings.source = parsed.positional[0];
  settings.outRoot = parsed.positional[1];
  if (auto problem = cli::RootProblem("OUTROOT", settings.outRoot))
    return problem;
  if (const std::string* first = parsed.Value("--first")) {
    settings.first = base::ParseInt(*first);
    if (!settings.first || *settings.first < 0)
      return "--first must be an integer of at least 0";
  }
  if (const std::string* start = parsed.Value("--start")) {
    const std::optional<int> value = base::ParseInt(*start);
    if (!value || *value < 0)
      return "--start must be an integer of at least 0";
    settings.start = *value;
  }
  const int modes = parsed.Has("--fit") + parsed.Has("--center") + parsed.Has("--crop");
  if (modes > 1)
    return "--fit, --center and --crop exclude each other";
  if (parsed.Has("--center"))
    settings.mode = cli::FitMode::Center;
  if (const std::string* crop = parsed.Value("--crop")) {
    const std::optional<cli::PixelRect> rect = ParseRect(*crop);
    if (!rect || rect->x < 0 || rect->y < 0 || rect->width < 1 || rect->height < 1)
      return "--crop takes X,Y,W,H: integers, X and Y at least 0, W and H at least 1";
    settings.mode = cli::FitMode::Crop;
    settings.crop = *rect;
  }
  settings.jobs = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
  if (const std::string* jobs = parsed.Value("--jobs")) {
    const std::optional<int> value = base::ParseInt(*jobs);
    if (!value || *value < 1 || *value > kMaxJobs)
      return "--jobs must be an integer from 1 to " + std::to_string(kMaxJobs);
    settings.jobs = *value;
  }
  if (const std::string* first = parsed.Value("--first-frame")) {
    const std::optional<int> value = base::ParseInt(*first);
    if (!value || *value < 1)
      return "--first-frame must be an integer of at least 1";
    settings.firstVideoFrame = *value;
  }
  if (const std::string* count = parsed.Value("--count")) {
    settings.videoCount = base::ParseInt(*count);
    if (!settings.videoCount || *settings.videoCount < 1 ||
        *settings.videoCount > cli::kMaxSeriesFrames)
      return "--count must be an integer from 1 to " + std::to_string(cli::kMaxSeriesFrames);
  }
  return std::nullopt;
}

}  // namespace

int RunImportCommand(std::span<const std::string> args, std::ostream& out, std::ostream& err) {
  cli::ParsedArgs parsed;
  ImportSettings settings;
  if (const auto status = cli::ReadCommandRequest(args, kOptions, kCommand, out, err, ReadSettings,
                                                  parsed, settings))
    return *status;

  const bool fromVideo = cli::IsVideoSource(settings.source);
  if (fromVideo && settings.first)
    return cli::UsageError(err, kCommand,
                           "--first goes with a pattern; a video takes --first-frame");
  if (!fromVideo && (parsed.Has("--first-frame") || parsed.Has("--count")))
    return cli::UsageError(err, kCommand, "--first-frame and --count go with a video source");
  if (!fromVideo && settings.first && base::IsFolder(settings.source))
    return cli::UsageError(err, kCommand, "--first goes with a pattern, not a folder");

  const auto note = [&err](const std::string& text) {
    err << "korvane-cli import: note: " << text << '\n';
  };
  const cli::ImportOutcome outcome =
      fromVideo ? cli::ImportVideo(settings, note, err) : cli::ImportPictures(settings, note, err);
  if (outcome.problem) {
    if (outcome.problem->kind == cli::ImportProblem::Kind::kUsage)
      return cli::UsageError(err, kCommand, outcome.problem->text);
    return cli::Failure(err, kCommand, outcome.problem->text);
  }
  if (outcome.frames.empty())  // never so without a problem; said rather than read past
    return cli::Failure(err, kCommand, settings.source + ": no frame was written");
  out << "import: wrote " << outcome.frames.size() << " frames, " << outcome.frames.front()
      << " to " << outcome.frames.back() << ", and " << outcome.geometryFile << '\n';
  return cli::kExitOk;
}

const cli::Command cli::kImportCommand{
    "import",
    "import SOURCE OUTROOT [--first N] [--start K] [--fit | --center | --crop X,Y,W,H] "
    "[--jobs J] [--first-frame N] [--count C]",
    R"(Turns pictures into a series the program plays: OUTROOT_NNNN.bmp, numbered
from K (default 0), each a 320 x 240 frame file exactly as the recorder writes
it, and OUTROOT.geometry beside them, which records how source positions and
numbers map to the frames. OUTROOT's folder is made when it is missing.
SOURCE is a folder (every picture file in it, in natural order: img2.png
before img10.png; other files are ignored) or a printf-style pattern with one
integer conversion such as frames/%06d.jpg (%% is a percent sign), read from
number N (default: the lowest number present) up to the first number without
a file; a name there that is no regular file (a FIFO) fails the command.
Every format the image readers know is read (PNG, JPEG, BMP, GIF, TIFF,
WebP, ...), grey and 16-bit included; transparency is composited onto black.
  --fit          (default) scale to the largest size that fits 320 x 240,
                 keeping the shape, and centre it on black
  --center       no scaling: the middle of the picture, or all of it on black
                 when it is smaller
  --crop X,Y,W,H take that rectangle of the source, then fit it
  --jobs J       decode pictures on J threads (default: one per core; a
                 video is decoded by the libraries on every core)
SOURCE may also be a video file (any other regular file: MP4, MKV, AVI, ...,
whatever FFmpeg's libraries open). Its frames, numbered from 1, become the
series in the same way, and OUTROOT.geometry also records the video's frame
rate and time base.
  --first-frame N  start at video frame N (default 1)
  --count C        write C frames (default: to the end, at most 100000); a
                   video that ends before them fails the command
Every frame the stream delivers is written, whatever length the container
declares. A video whose decoding breaks off, or that ends well before the
length its file records for the stream, fails the command (exit 1) once the
frames it held are written.
A progress bar shows on a terminal, progress lines otherwise. A picture that
cannot be read, is cut short or declares more than 8192 x 8192 pixels fails
the command (exit 1) with its name and the reason (a video of such frames
too); the frames written before it are complete (each file is written under
a temporary name and renamed), and the message names them. The command
refuses to write over its own sources. At most 100000 frames.
)",
    &RunImportCommand};
