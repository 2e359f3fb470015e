#include "session/SampleSeries.h"

#include <cerrno>
#include <cstring>
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
#include "tracks/TrackGlobals.h"
#include "ui/headless/HeadlessBackend.h"

namespace cli {
namespace {

// The record timer's period. The run is on a virtual clock, so it only sets
// how long the script waits: exactly one tick per frame.
constexpr ui::UINT kRecordPeriodMs = 40;

// Records frames 0 to kSceneFrames − 1 as a user of the console would see it:
// the recorder is armed, runs for one period per frame, and Stop Recording
// ends it. Returns why the run did not go as scripted, or nothing.
std::optional<std::string> RecordScene() {
  ui::headless::HeadlessBackend user;
  CKorvaneDlg console;
  bool armed = false;
  user.Then([&] {
        armed = console.ArmRecorder(kSceneWidth, kSceneHeight, kRecordPeriodMs, MakeSceneSource());
      })
      .Wait(static_cast<int>(kRecordPeriodMs) * kSceneFrames)
      .Click(res::IDC_STOP)
      .Key(ui::DialogKey::Escape);
  RunConsole(console);
  if (auto problem = ScriptProblem(user))
    return problem;
  if (!armed)
    return "the recorder could not be armed";
  // A frame the file layer failed to write shows as the program shows it:
  // in a message box, which names the file and the system's reason.
  if (!user.MessageBoxes().empty())
    return user.MessageBoxes().front().text;
  return std::nullopt;
}

// The names of the files the command writes into its folder.
std::vector<std::string> SeriesFileNames() {
  std::vector<std::string> names;
  for (int f = 0; f < kSceneFrames; ++f)
    names.push_back(series::FrameFileName(kSampleRoot, f));
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

std::optional<std::string> WriteSampleSeries(const std::filesystem::path& folder) {
  // Made when missing, and taken away again when the run fails.
  base::MadeFolders folders;
  const std::error_code error = folders.MakeAll(folder);
  if (error || !base::IsFolder(folder.string()))
    return folder.string() + ": not a folder and cannot be made one" +
           (error ? ": " + error.message() : "");
  if (auto inTheWay = FolderInTheWay(folder))
    return inTheWay;
  // Appended rather than added up: GCC 12 at -O3 takes "." + a string for an
  // overlapping copy (a false -Wrestrict).
  std::string prefix = ".";
  prefix += kSampleRoot;
  prefix += "-recording";
  const base::TempFolder recording(folder, prefix);
  if (recording.Path().empty())
    return "cannot make a folder in " + folder.string() + ": " + std::strerror(errno);
  const std::string root = recording.File(kSampleRoot);
  ResetProgramState();
  if (!SetRecordRoot(root))
    return root + ": the path is too long for a root path";
  if (auto problem = RecordScene())
    return problem;
  // A frame file the recorder could not create at all is passed over
  // quietly: it shows only as a missing file.
  for (int f = 0; f < kSceneFrames; ++f) {
    const std::string name = series::FrameFileName(root, f);
    if (base::RegularFileSize(name) != series::kFrameFileBytes)
      return name + ": could not be written";
  }
  std::ostringstream tracks;
  WriteSceneTracks(tracks, kSceneFrames);
  if (auto problem = base::WriteFileAtomically(recording.File(g_trueTracksPath), tracks.str()))
    return problem;
  return MoveIntoPlace(recording.Path(), folder);
}

}  // namespace cli
