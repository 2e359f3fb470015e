// korvane-cli check: the frame files of a series as the player reads them,
// and the track file as the loader reads it.

#include <cerrno>

#include "image/FrameFileCheck.h"
#include "tools/Cli.h"
#include "tools/CommandLine.h"
#include "tools/CommandTable.h"
#include "tracks/TrackFileScan.h"
#include "tracks/TrackGlobals.h"

namespace {

constexpr std::string_view kCommand = "check";
constexpr cli::OptionRule kOptions[] = {{"--tracks", true}};

// Reports the track file's problems and notes; true when it has no problems.
bool ReportTracks(const std::string& fileName, const TrackFileReport& report, std::ostream& out) {
  for (const std::string& problem : report.problems)
    out << fileName << ": " << problem << '\n';
  for (const std::string& note : report.notes)
    out << fileName << ": note: " << note << '\n';
  out << fileName << ": " << report.targets << " targets";
  if (report.lastFrame)
    out << ", rows for frames " << report.firstFrame << " to " << *report.lastFrame;
  out << ", " << report.disabledTargets << " disabled, " << report.problems.size()
      << (report.problems.size() == 1 ? " problem\n" : " problems\n");
  return report.problems.empty();
}

}  // namespace

int RunCheckCommand(std::span<const std::string> args, std::ostream& out, std::ostream& err) {
  cli::ParsedArgs parsed;
  if (const auto status = cli::ReadCommandArgs(args, kOptions, kCommand, out, err, parsed))
    return *status;
  if (parsed.positional.size() != 3)
    return cli::UsageError(err, kCommand, "expects ROOT, FIRST and LAST");
  if (auto problem = cli::RootProblem("ROOT", parsed.positional[0]))
    return cli::UsageError(err, kCommand, *problem);
  cli::FrameRange frames;
  if (const auto error =
          cli::ParseFrameRange(parsed.positional[1], parsed.positional[2], "checked", frames))
    return cli::UsageError(err, kCommand, *error);

  // The track file to check, if any: a named one must be there.
  std::string trackFile = g_trueTracksPath;
  if (const std::string* named = parsed.Value("--tracks"))
    trackFile = *named;
  TrackFileReport trackReport;
  const std::optional<base::FileFault> trackFault = ScanTrackFile(trackFile, trackReport);
  if (trackFault && parsed.Has("--tracks"))
    return cli::Failure(err, kCommand, trackFile + ": " + trackFault->Describe());

  const FrameFaultCounts counts =
      CheckSeriesFrames(parsed.positional[0], frames.first, frames.last,
                        [&out](const std::string& name, const FrameCheck& check) {
                          out << name << ": " << DescribeFrameCheck(check) << '\n';
                        });
  const auto count = [&counts](FrameFault fault) {
    return std::to_string(counts[static_cast<std::size_t>(fault)]);
  };
  out << "frames " << frames.first << " to " << frames.last << ": "
      << (frames.last - frames.first + 1) << " checked, " << count(FrameFault::None) << " fine, "
      << count(FrameFault::Missing) << " missing, " << count(FrameFault::Unreadable)
      << " unreadable, " << count(FrameFault::BadSignature) << " bad signature, "
      << count(FrameFault::ShortHeader) << " short header, " << count(FrameFault::ShortPixels)
      << " short pixel block\n";
  bool allWell =
      counts[static_cast<std::size_t>(FrameFault::None)] == frames.last - frames.first + 1;

  if (!trackFault) {
    allWell = ReportTracks(trackFile, trackReport, out) && allWell;
  } else if (trackFault->kind == base::FileFault::Kind::Missing && trackFault->error == ENOENT) {
    out << g_trueTracksPath << ": not in the current folder; no track file checked\n";
  } else {
    out << g_trueTracksPath << ": " << trackFault->Describe() << '\n';
    allWell = false;
  }
  return allWell ? cli::kExitOk : cli::kExitFailure;
}

const cli::Command cli::kCheckCommand{
    "check", "check ROOT FIRST LAST [--tracks FILE]",
    R"(Checks the frame files ROOT_FIRST.bmp to ROOT_LAST.bmp as the player reads
them and reports every missing file, unreadable file (not a regular file,
permission denied, a read error), bad signature (not "BM"), short header
(under 54 bytes) and short pixel block (under 230400 bytes). Then checks the
track file FILE, or truetracks.txt in the current folder when there is one,
with the loader's own reader: it reports rows the loader drops (targets beyond
the 50 kept, frames past 499 or below 0, an item that is not a number, a last
row with a single number) and notes every disabled target with the frame at
which it is disabled. Bytes quoted from the file that are not printable ASCII
are shown as \xNN.
0 <= FIRST <= LAST, at most 100000 frames. Exit status 0 when nothing is wrong
(notes do not count), 1 otherwise.
)",
    &RunCheckCommand};
