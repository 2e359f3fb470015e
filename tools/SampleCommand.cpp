// korvane-cli sample DIR: the sample series, recorded through the console's
// frame recorder from the synthetic scene, and its track file.

#include <filesystem>

#include "image/SeriesFrames.h"
#include "session/SampleSeries.h"
#include "session/SyntheticScene.h"
#include "tools/Cli.h"
#include "tools/CommandLine.h"
#include "tools/CommandTable.h"
#include "tracks/TrackGlobals.h"

namespace {

constexpr std::string_view kCommand = "sample";

}  // namespace

int RunSampleCommand(std::span<const std::string> args, std::ostream& out, std::ostream& err) {
  cli::ParsedArgs parsed;
  if (const auto status = cli::ReadCommandArgs(args, {}, kCommand, out, err, parsed))
    return *status;
  if (parsed.positional.size() != 1)
    return cli::UsageError(err, kCommand, "expects one folder");
  const std::filesystem::path folder = parsed.positional[0];
  if (auto problem = cli::WriteSampleSeries(folder))
    return cli::Failure(err, kCommand, *problem);
  const std::string finalRoot = (folder / cli::kSampleRoot).string();
  out << "sample: wrote " << series::FrameFileName(finalRoot, 0) << " to "
      << series::FrameFileName(finalRoot, kSceneFrames - 1) << " (" << kSceneFrames
      << " frames) and " << (folder / g_trueTracksPath).string() << '\n';
  return cli::kExitOk;
}

const cli::Command cli::kSampleCommand{
    "sample", "sample DIR",
    R"(Writes the sample series into the folder DIR, made when missing: frames 0 to
60 of a synthetic take, DIR/take9_0000.bmp to DIR/take9_0060.bmp (320 x 240,
24-bit), recorded through the console's frame recorder, and DIR/truetracks.txt
with the true positions of its four targets. Each target is a bright 6 x 6 blob whose
bottom-left pixel is its position: it covers columns x to x+5 and rows y-5 to y,
rows counted from the top. Target 1 appears at frame 15, target 2 is hidden in
frames 30 to 39, and target 3 leaves the picture at frame 20, where its rows
become "1000 1000" and disable it. The recorder prints "Frame 20", "Frame 40"
and "Frame 60" on the way.
The series is recorded into a temporary folder inside DIR and moved into place
when whole. On failure (DIR is not a folder, a file cannot be written) DIR is
left as it was and the exit status is 1.
)",
    &RunSampleCommand};
