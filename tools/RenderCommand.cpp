// korvane-cli render: the command line, and the checks made before any frame
// is read (the names, the output folder, the track file). The frames
// themselves are played and written by RenderSeries.

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <memory>
#include <system_error>

#include "base/Trace.h"
#include "tools/Cli.h"
#include "tools/CliFiles.h"
#include "tools/CliUsage.h"
#include "tools/SeriesRender.h"
#include "tracks/TrackGlobals.h"
#include "video/VideoWriter.h"

namespace {

constexpr std::string_view kCommand = "render";
constexpr cli::OptionRule kOptions[] = {{"--tracks", true},
                                        {"--trails", false},
                                        {"--markers", false},
                                        {"--rate", true},
                                        {"--video", true}};

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
    const std::optional<int> value = cli::ParseInt(*rate);
    if (!value || *value < 1 || *value > 30)
      return "--rate must be an integer from 1 to 30";
    settings.rate = *value;
  }
  settings.overlays.trails = parsed.Has("--trails");
  settings.overlays.markers = parsed.Has("--markers");
  if (parsed.Has("--tracks") && !settings.overlays.trails && !settings.overlays.markers)
    return "--tracks needs --trails or --markers";
  settings.first = frames.first;
  settings.last = frames.last;
  settings.root = parsed.positional[0];
  if (parsed.positional.size() == 4)
    settings.outRoot = parsed.positional[3];
  return std::nullopt;
}

// Loads the track file the overlays need into `tracks`; a message when it
// cannot be read. A file that gives no target is loaded with a warning.
std::optional<std::string> LoadTracks(const std::string& path, CTrackSet& tracks,
                                      std::ostream& err) {
  if (const std::optional<std::string> problem = cli::RegularFileProblem(path))
    return path + ": " + *problem;
  const base::ScopedTraceSink quiet([](std::string_view) {});
  if (!tracks.LoadTrueTracksFrom(path.c_str()))
    return path + ": cannot be read: " + std::strerror(errno);
  if (tracks.m_count == 0)
    err << "korvane-cli render: warning: " << path << ": no targets; nothing to paint\n";
  return std::nullopt;
}

// The output frame files must not be the input's.
bool SameSeries(const std::string& root, const std::string& outRoot) {
  std::error_code error;
  const auto in = std::filesystem::weakly_canonical(root, error);
  if (error)
    return false;
  const auto out = std::filesystem::weakly_canonical(outRoot, error);
  return !error && in == out;
}

}  // namespace

int RunRenderCommand(std::span<const std::string> args, std::ostream& out, std::ostream& err) {
  cli::ParsedArgs parsed;
  if (const auto status = cli::ReadCommandArgs(args, kOptions, kCommand, out, err, parsed))
    return *status;
  RenderSettings settings;
  if (const auto error = ReadSettings(parsed, settings))
    return cli::UsageError(err, kCommand, *error);

  if (cli::FrameFileName(settings.root, settings.last).size() >= kPlayerNameBytes)
    return cli::Failure(err, kCommand,
                        settings.root + ": the root path is too long for the player");
  const bool writesFrames = !settings.outRoot.empty();
  if (writesFrames) {
    const std::filesystem::path outFolder =
        std::filesystem::path(cli::AbsolutePath(settings.outRoot)).parent_path();
    if (!cli::IsFolder(outFolder.string()))
      return cli::Failure(err, kCommand, outFolder.string() + ": no such folder for OUTROOT");
    if (SameSeries(settings.root, settings.outRoot))
      return cli::Failure(err, kCommand,
                          settings.outRoot + ": is the series being read; choose another OUTROOT");
  }

  // The overlays come from the named track file, else from the one in the
  // current folder, as the player reads it.
  const auto tracks = std::make_unique<CTrackSet>();
  if (settings.overlays.trails || settings.overlays.markers) {
    const std::string* named = parsed.Value("--tracks");
    if (const auto problem = LoadTracks(named ? *named : g_trueTracksPath, *tracks, err))
      return cli::Failure(err, kCommand, *problem);
  }

  return RenderSeries(settings, *tracks, out, err);
}
