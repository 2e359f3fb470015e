// korvane-cli sample DIR: the sample series, recorded through the console's
// frame recorder from the synthetic scene, and its track file.

#include <filesystem>
#include <sstream>
#include <system_error>

#include "res/ResourceIds.h"
#include "tools/Cli.h"
#include "tools/CliFiles.h"
#include "tools/CliUsage.h"
#include "tools/ConsoleSession.h"
#include "tools/SyntheticScene.h"
#include "tracks/TrackGlobals.h"
#include "ui/headless/HeadlessBackend.h"

namespace {

constexpr std::string_view kCommand = "sample";
constexpr std::string_view kRootName = "take9";
// The record timer's period. The run is on a virtual clock, so it only sets
// how long the script waits: exactly one tick per frame.
constexpr ui::UINT kRecordPeriodMs = 40;

// Removes the frame files of a failed run; whatever else carries a frame
// file's name (a folder, say) was not written by it and stays.
void RemoveFrames(const std::string& root, int frames) {
  for (int f = 0; f < frames; ++f) {
    const std::string name = cli::FrameFileName(root, f);
    std::error_code ignored;
    if (std::filesystem::is_regular_file(name, ignored))
      std::filesystem::remove(name, ignored);
  }
}

// Records frames 0 to kSceneFrames − 1 as a user of the console would see it:
// the recorder is armed, runs for one period per frame, and Stop Recording
// ends it. False, with the reason, when the run did not go as scripted;
// `armed` tells whether any frame may have been written.
bool RecordScene(bool& armed, std::string& problem) {
  ui::headless::HeadlessBackend user;
  CKorvaneDlg console;
  user.Then([&] {
        armed = console.ArmRecorder(kSceneWidth, kSceneHeight, kRecordPeriodMs, MakeSceneSource());
      })
      .Wait(static_cast<int>(kRecordPeriodMs) * kSceneFrames)
      .Click(res::IDC_STOP)
      .Key(ui::DialogKey::Escape);
  cli::RunConsole(console);
  if (const auto scriptProblem = cli::ScriptProblem(user)) {
    problem = *scriptProblem;
    return false;
  }
  if (!armed) {
    problem = "the recorder could not be armed";
    return false;
  }
  return true;
}

}  // namespace

int RunSampleCommand(std::span<const std::string> args, std::ostream& out, std::ostream& err) {
  cli::ParsedArgs parsed;
  if (const auto status = cli::ReadCommandArgs(args, {}, kCommand, out, err, parsed))
    return *status;
  if (parsed.positional.size() != 1)
    return cli::UsageError(err, kCommand, "expects one folder");

  const std::string& folder = parsed.positional[0];
  if (!cli::IsFolder(folder))
    return cli::Failure(err, kCommand, folder + ": not a folder");
  const std::string root = (std::filesystem::path(folder) / kRootName).string();
  cli::ResetProgramState();
  if (!cli::SetRecordRoot(root))
    return cli::Failure(err, kCommand, root + ": the path is too long for a root path");

  bool armed = false;
  std::string problem;
  if (!RecordScene(armed, problem)) {
    if (armed)
      RemoveFrames(root, kSceneFrames);
    return cli::Failure(err, kCommand, problem);
  }
  // The recorder writes quietly: a frame that could not be written shows
  // only as a missing or short file.
  for (int f = 0; f < kSceneFrames; ++f) {
    const std::string name = cli::FrameFileName(root, f);
    if (cli::RegularFileSize(name) != cli::kFrameFileBytes) {
      RemoveFrames(root, kSceneFrames);
      return cli::Failure(err, kCommand, name + ": could not be written");
    }
  }

  std::ostringstream tracks;
  WriteSceneTracks(tracks, kSceneFrames);
  const std::string tracksName = (std::filesystem::path(folder) / g_trueTracksPath).string();
  if (const auto error = cli::WriteFileAtomically(tracksName, tracks.str())) {
    RemoveFrames(root, kSceneFrames);
    return cli::Failure(err, kCommand, *error);
  }

  out << "sample: wrote " << cli::FrameFileName(root, 0) << " to "
      << cli::FrameFileName(root, kSceneFrames - 1) << " (" << kSceneFrames << " frames) and "
      << tracksName << '\n';
  return cli::kExitOk;
}
