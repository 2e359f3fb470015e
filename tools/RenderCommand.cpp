// korvane-cli render: a series played through the playback core, frame by
// frame, and every frame shown written out with its overlays.

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <memory>
#include <system_error>
#include <vector>

#include "base/BinaryFile.h"
#include "base/Trace.h"
#include "player/FileRead.h"
#include "player/PlaybackCore.h"
#include "tools/Cli.h"
#include "tools/CliFiles.h"
#include "tools/CliUsage.h"
#include "tools/ConsoleSession.h"
#include "tracks/TrackGlobals.h"
#include "video/VideoWriter.h"

namespace {

constexpr std::string_view kCommand = "render";
constexpr cli::OptionRule kOptions[] = {{"--tracks", true},
                                        {"--trails", false},
                                        {"--markers", false},
                                        {"--rate", true},
                                        {"--video", true}};
// The buffer the player forms its file names in: a series the player cannot
// name is refused, so render never shows what the player could not.
constexpr std::size_t kPlayerNameBytes = sizeof(CFileRead::m_fileName);
constexpr int kProgressEvery = 20;
// How often a frame whose headers cannot be read is tried before it is
// skipped (the player itself would try it at every tick until stopped).
constexpr int kRenderTries = 3;

struct RenderSettings {
  std::string root;
  std::string outRoot;  // empty: no frame files, only the video
  std::string video;    // empty: no video
  int first = 0;
  int last = 0;
  int rate = 10;
  OverlaySwitches overlays;
};

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

// Why a frame file could not be opened, in the words a user looks for.
std::string OpenProblem(int error) {
  switch (error) {
    case ENOENT:
      return "missing";
    case 0:
      return "not a regular file";
    case EACCES:
      return "permission denied";
    default:
      return std::strerror(error);
  }
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

struct RenderCounts {
  int shown = 0;
  int skipped = 0;
  int retries = 0;
  int firstShown = -1;
  int lastShown = -1;
};

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

  // One frame buffer for the run, cleared as READ clears the player's: a
  // short pixel block shows over the frame before it, and after a skipped
  // frame (where the player would be started again) over black.
  const int width = cli::kFrameWidth;
  const int height = cli::kFrameHeight;
  std::vector<std::uint8_t> pixels(static_cast<std::size_t>(width) * height * 3, 0);
  char fileName[kPlayerNameBytes];
  const base::ScopedTraceSink quiet([](std::string_view) {});

  // The video shows one picture per frame number: a frame not shown holds
  // the last one shown (black before the first), as a viewer expects.
  video::VideoWriter videoWriter;
  std::vector<std::uint8_t> held;
  if (!settings.video.empty()) {
    if (const auto problem = videoWriter.Open(settings.video, width, height, settings.rate))
      return cli::Failure(err, kCommand, *problem);
    held.assign(pixels.size(), 0);
  }

  int status = cli::kExitOk;
  RenderCounts counts;
  bool stopped = false;
  const auto toVideo = [&](std::span<const std::uint8_t> picture) {
    if (settings.video.empty() || stopped)
      return;
    if (const auto problem = videoWriter.WriteFrame(picture)) {
      status = cli::Failure(err, kCommand, *problem + "; stopped");
      stopped = true;
    }
  };
  const auto skip = [&](int frame, const std::string& reason) {
    ++counts.skipped;
    toVideo(held);
    std::fill(pixels.begin(), pixels.end(), std::uint8_t{0});
    status = cli::Failure(err, kCommand,
                          cli::FrameFileName(settings.root, frame) + ": " + reason + "; not shown");
  };
  for (int frame = settings.first; frame <= settings.last && !stopped; ++frame) {
    FrameResult result{FrameOutcome::Unreadable};
    try {
      for (int tries = 0; tries < kRenderTries; ++tries) {
        result =
            PlayFrame(fileName, settings.root, frame, pixels, width, *tracks, settings.overlays);
        if (result.outcome != FrameOutcome::Unreadable)
          break;
        ++counts.retries;
      }
    } catch (const base::FileException& error) {
      skip(frame, std::string("read error: ") + std::strerror(error.Error()));
      continue;
    }
    if (result.outcome == FrameOutcome::Missing || result.outcome == FrameOutcome::NameTooLong) {
      skip(frame, OpenProblem(result.error));
      continue;
    }
    if (result.outcome == FrameOutcome::Unreadable) {
      skip(frame, "short header or bad signature, " + std::to_string(kRenderTries) + " tries");
      continue;
    }
    if (writesFrames) {
      const std::string name = cli::FrameFileName(settings.outRoot, frame);
      if (const auto problem = cli::WriteFrameFileAtomically(name, pixels, width, height)) {
        // The video stops too: it would lack the frames from here on.
        status = cli::Failure(err, kCommand, *problem + "; stopped");
        stopped = true;
        break;
      }
    }
    if (!settings.video.empty()) {
      held = pixels;
      toVideo(held);
      if (stopped)
        break;
    }
    if (counts.firstShown < 0)
      counts.firstShown = frame;
    counts.lastShown = frame;
    if (++counts.shown % kProgressEvery == 0) {
      out << "render: " << counts.shown << " frames shown, the last "
          << cli::FrameFileName(settings.root, frame) << '\n';
    }
  }

  bool videoDone = false;
  if (!settings.video.empty() && !stopped) {
    if (const auto problem = videoWriter.Finish())
      status = cli::Failure(err, kCommand, *problem);
    else
      videoDone = true;
  }
  out << "render: " << counts.shown << " frames shown, " << counts.skipped << " not shown, "
      << counts.retries << " retries";
  if (counts.shown > 0 && writesFrames) {
    out << "; wrote " << cli::FrameFileName(settings.outRoot, counts.firstShown) << " to "
        << cli::FrameFileName(settings.outRoot, counts.lastShown);
  }
  if (videoDone) {
    out << "; video " << settings.video << " (" << videoWriter.FramesWritten() << " frames at "
        << settings.rate << " per second)";
  }
  out << '\n';
  return status;
}
