// korvane-cli render: a series played through the player, every frame shown
// recorded with its overlays through the console's recorder.

#include <filesystem>
#include <system_error>

#include "base/TempFolder.h"
#include "base/Trace.h"
#include "player/FileRead.h"
#include "tools/Cli.h"
#include "tools/CliFiles.h"
#include "tools/CliUsage.h"
#include "tools/ConsoleSession.h"
#include "tools/RenderSession.h"
#include "tracks/TrackGlobals.h"

namespace {

constexpr std::string_view kCommand = "render";
constexpr cli::OptionRule kOptions[] = {
    {"--tracks", true}, {"--trails", false}, {"--markers", false}, {"--rate", true}};
// The buffer the player forms its file names in.
constexpr std::size_t kPlayerNameBytes = sizeof(CFileRead::m_fileName);
constexpr int kProgressEvery = 20;

// Reads the command line into settings and the output root; a message when
// it cannot be used.
std::optional<std::string> ReadSettings(const cli::ParsedArgs& parsed, RenderSettings& settings,
                                        std::string& outRoot) {
  if (parsed.positional.size() != 4)
    return "expects ROOT, FIRST, LAST and OUTROOT";
  cli::FrameRange frames;
  if (auto error =
          cli::ParseFrameRange(parsed.positional[1], parsed.positional[2], "rendered", frames))
    return error;
  if (const std::string* rate = parsed.Value("--rate")) {
    const std::optional<int> value = cli::ParseInt(*rate);
    if (!value || *value < 1 || *value > 30)
      return "--rate must be an integer from 1 to 30";
    settings.rate = *value;
  }
  settings.trails = parsed.Has("--trails");
  settings.markers = parsed.Has("--markers");
  if (parsed.Has("--tracks") && !settings.trails && !settings.markers)
    return "--tracks needs --trails or --markers";
  settings.first = frames.first;
  settings.last = frames.last;
  // Both roots are made absolute: the track file may need a change of the
  // current folder.
  settings.root = cli::AbsolutePath(parsed.positional[0]);
  outRoot = cli::AbsolutePath(parsed.positional[3]);
  return std::nullopt;
}

}  // namespace

int RunRenderCommand(std::span<const std::string> args, std::ostream& out, std::ostream& err) {
  cli::ParsedArgs parsed;
  if (const auto status = cli::ReadCommandArgs(args, kOptions, kCommand, out, err, parsed))
    return *status;
  RenderSettings settings;
  std::string outRoot;
  if (const auto error = ReadSettings(parsed, settings, outRoot))
    return cli::UsageError(err, kCommand, *error);

  if (cli::FrameFileName(settings.root, settings.last).size() >= kPlayerNameBytes)
    return cli::Failure(err, kCommand,
                        settings.root + ": the root path is too long for the player");
  const std::filesystem::path outFolder = std::filesystem::path(outRoot).parent_path();
  if (!cli::IsFolder(outFolder.string()))
    return cli::Failure(err, kCommand, outFolder.string() + ": no such folder for OUTROOT");

  // The player reads the track file from the current folder: a named one is
  // copied into a folder of the command's own, which becomes the current one.
  const base::TempFolder trackFolder("korvane-cli");
  cli::CurrentFolderChange folderChange;
  if (const std::string* tracks = parsed.Value("--tracks")) {
    std::error_code error;
    if (!cli::RegularFileSize(*tracks))
      return cli::Failure(err, kCommand, *tracks + ": cannot be opened");
    if (trackFolder.Path().empty() ||
        !std::filesystem::copy_file(*tracks, trackFolder.Path() / g_trueTracksPath, error) ||
        !folderChange.ChangeTo(trackFolder.Path()))
      return cli::Failure(err, kCommand, *tracks + ": cannot be copied for the player");
  } else if ((settings.trails || settings.markers) && !cli::RegularFileSize(g_trueTracksPath)) {
    return cli::Failure(err, kCommand, g_trueTracksPath + ": not in the current folder");
  }

  cli::ResetProgramState();
  if (!cli::SetRecordRoot(outRoot))
    return cli::Failure(err, kCommand, outRoot + ": the path is too long for a root path");

  // The player's debug trace (a line per file opened, a line per disabling
  // row at each READ) is for a debugger; the summary says what matters.
  const base::ScopedTraceSink quiet([](std::string_view) {});
  const RenderOutcome outcome = RenderSeries(settings, [&](int count, int frame) {
    if (count % kProgressEvery == 0) {
      out << "render: " << count << " frames shown, the last "
          << cli::FrameFileName(settings.root, frame) << '\n';
    }
  });

  int status = cli::kExitOk;
  for (const SkippedFrame& skipped : outcome.skipped) {
    status = cli::Failure(
        err, kCommand,
        cli::FrameFileName(settings.root, skipped.frame) + ": " + skipped.reason + "; not shown");
  }
  for (const int frame : outcome.shown) {
    const std::string name = cli::FrameFileName(outRoot, frame);
    if (cli::RegularFileSize(name) != cli::kFrameFileBytes)
      status = cli::Failure(err, kCommand, name + ": could not be written");
  }
  if (outcome.problem)
    status = cli::Failure(err, kCommand, *outcome.problem);

  out << "render: " << outcome.shown.size() << " frames shown, " << outcome.skipped.size()
      << " missing, " << outcome.retries << " retries";
  if (!outcome.shown.empty()) {
    out << "; recorded " << cli::FrameFileName(outRoot, outcome.shown.front()) << " to "
        << cli::FrameFileName(outRoot, outcome.shown.back());
  }
  out << '\n';
  return status;
}
