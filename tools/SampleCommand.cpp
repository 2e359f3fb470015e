// korvane-cli sample DIR: the sample series, recorded through the console's
// frame recorder from the synthetic scene, and its track file.

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <sstream>
#include <system_error>
#include <vector>

#include "base/AtomicFile.h"
#include "base/FileStatus.h"
#include "base/MadeFolders.h"
#include "base/TempFolder.h"
#include "image/SeriesFrames.h"
#include "res/ResourceIds.h"
#include "session/ConsoleSession.h"
#include "session/SyntheticScene.h"
#include "tools/Cli.h"
#include "tools/CommandLine.h"
#include "tools/CommandTable.h"
#include "tracks/TrackGlobals.h"
#include "ui/headless/HeadlessBackend.h"

namespace {

constexpr std::string_view kCommand = "sample";
constexpr std::string_view kRootName = "take9";
// The record timer's period. The run is on a virtual clock, so it only sets
// how long the script waits: exactly one tick per frame.
constexpr ui::UINT kRecordPeriodMs = 40;

// Records frames 0 to kSceneFrames − 1 as a user of the console would see it:
// the recorder is armed, runs for one period per frame, and Stop Recording
// ends it. False, with the reason, when the run did not go as scripted.
bool RecordScene(std::string& problem) {
  ui::headless::HeadlessBackend user;
  CKorvaneDlg console;
  bool armed = false;
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
  // A frame the file layer failed to write shows as the program shows it:
  // in a message box, which names the file and the system's reason.
  if (!user.MessageBoxes().empty()) {
    problem = user.MessageBoxes().front().text;
    return false;
  }
  return true;
}

// The names of the files the command writes into its folder.
std::vector<std::string> SeriesFileNames() {
  std::vector<std::string> names;
  for (int f = 0; f < kSceneFrames; ++f)
    names.push_back(series::FrameFileName(kRootName, f));
  names.push_back(g_trueTracksPath);
  return names;
}

// A folder where a file of the series is to go cannot be replaced by it.
std::optional<std::string> FolderInTheWay(const std::filesystem::path& folder) {
  for (const std::string& name : SeriesFileNames()) {
    std::error_code error;
    if (std::filesystem::is_directory(std::filesystem::symlink_status(folder / name, error)))
      return (folder / name).string() + ": a folder is in the way of the file";
  }
  return std::nullopt;
}

// Moves the files of the finished series from the recording folder into
// the folder asked for, each whole or not at all.
std::optional<std::string> MoveIntoPlace(const std::filesystem::path& from,
                                         const std::filesystem::path& to) {
  if (const auto inTheWay = FolderInTheWay(to))
    return inTheWay;
  for (const std::string& name : SeriesFileNames()) {
    std::error_code error;
    std::filesystem::rename(from / name, to / name, error);
    if (error)
      return "cannot move " + (from / name).string() + " to " + (to / name).string() + ": " +
             error.message();
  }
  return std::nullopt;
}

}  // namespace

int RunSampleCommand(std::span<const std::string> args, std::ostream& out, std::ostream& err) {
  cli::ParsedArgs parsed;
  if (const auto status = cli::ReadCommandArgs(args, {}, kCommand, out, err, parsed))
    return *status;
  if (parsed.positional.size() != 1)
    return cli::UsageError(err, kCommand, "expects one folder");

  const std::filesystem::path folder = parsed.positional[0];
  // Made when missing, and taken away again when the run fails.
  base::MadeFolders folders;
  const std::error_code error = folders.MakeAll(folder);
  if (error || !base::IsFolder(folder.string()))
    return cli::Failure(err, kCommand,
                        folder.string() + ": not a folder and cannot be made one" +
                            (error ? ": " + error.message() : ""));
  if (const auto inTheWay = FolderInTheWay(folder))
    return cli::Failure(err, kCommand, *inTheWay);
  // The series is recorded into a folder of its own inside DIR and moved into
  // place once it is whole, so a failed run touches no file in DIR.
  const base::TempFolder recording(folder, "." + std::string(kRootName) + "-recording");
  if (recording.Path().empty())
    return cli::Failure(err, kCommand,
                        "cannot make a folder in " + folder.string() + ": " + std::strerror(errno));
  const std::string root = recording.File(kRootName);
  cli::ResetProgramState();
  if (!cli::SetRecordRoot(root))
    return cli::Failure(err, kCommand, root + ": the path is too long for a root path");

  std::string problem;
  if (!RecordScene(problem))
    return cli::Failure(err, kCommand, problem);
  // A frame file the recorder could not create at all is passed over
  // quietly: it shows only as a missing file.
  for (int f = 0; f < kSceneFrames; ++f) {
    const std::string name = series::FrameFileName(root, f);
    if (base::RegularFileSize(name) != series::kFrameFileBytes)
      return cli::Failure(err, kCommand, name + ": could not be written");
  }

  std::ostringstream tracks;
  WriteSceneTracks(tracks, kSceneFrames);
  if (const auto writeError =
          base::WriteFileAtomically(recording.File(g_trueTracksPath), tracks.str()))
    return cli::Failure(err, kCommand, *writeError);
  if (const auto moveError = MoveIntoPlace(recording.Path(), folder))
    return cli::Failure(err, kCommand, *moveError);

  const std::string finalRoot = (folder / kRootName).string();
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
