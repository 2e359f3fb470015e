#include "tracks/TrackFileScan.h"

#include <algorithm>
#include <cstdio>
#include <set>

#include "base/TextBytes.h"
#include "tracks/Track.h"
#include "tracks/TrackFileRows.h"
#include "tracks/TrackSet.h"

namespace {

// The longest piece of a bad item quoted in a report.
constexpr std::size_t kQuotedBytes = 16;

bool IsSpace(int c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

std::string Line(const TrackFileRows& rows) {
  return "line " + std::to_string(rows.Reader().Line()) + ": ";
}

// The item the reader stopped at, read from the stream where it stands.
std::string NotANumber(const TrackFileRows& rows, std::FILE* stream) {
  std::string item;
  int c = std::getc(stream);
  for (; c != EOF && !IsSpace(c) && item.size() < kQuotedBytes; c = std::getc(stream))
    item += static_cast<char>(c);
  const bool cut = c != EOF && !IsSpace(c);
  // Built by appending: GCC 12 at -O3 warns falsely about a literal joined
  // to a temporary string.
  std::string what = "a sign without digits";
  if (!item.empty()) {
    what.assign(1, '\'');
    what += base::PrintableText(item);
    what += cut ? "...'" : "'";
  }
  return Line(rows) + what + " is not an integer; the loader stops reading there";
}

std::string FrameRange(int first, int last) {
  return first == last ? "frame " + std::to_string(first)
                       : "frames " + std::to_string(first) + " to " + std::to_string(last);
}

// Numbers beyond the range of int, which the loader reads as the nearest
// int: the line of the first and how many there are.
class SaturationWatch {
 public:
  void After(const TrackFileRows& rows) {
    const long long count = rows.Reader().Saturated();
    if (count > 0 && m_count == 0)
      m_firstLine = Line(rows);
    m_count = count;
  }
  void Report(std::vector<std::string>& problems) const {
    if (m_count == 0)
      return;
    problems.push_back(m_firstLine +
                       "a number beyond the range of int; the loader reads the nearest int" +
                       (m_count > 1 ? " (" + std::to_string(m_count) + " such numbers)" : ""));
  }

 private:
  long long m_count = 0;
  std::string m_firstLine;
};

}  // namespace

TrackFileReport ScanTrackText(std::string text) {
  TrackFileReport report;
  const base::StreamPtr stream = base::OpenTextStream(text);
  if (!stream) {
    report.problems.push_back("cannot be scanned: no memory for a stream");
    return report;
  }
  TrackFileRows rows(stream.get());
  SaturationWatch saturation;
  const bool header = rows.ReadHeader();
  saturation.After(rows);
  if (!header) {
    if (rows.End() == TrackRowsEnd::kNotANumber)
      report.problems.push_back(NotANumber(rows, stream.get()));
    report.problems.push_back("no target count and first frame: the file describes no targets");
    saturation.Report(report.problems);
    return report;
  }
  const int count = rows.Count();
  const int first = rows.FirstFrame();
  report.targets = count;
  report.firstFrame = first;
  if (count <= 0)
    report.problems.push_back("target count " + std::to_string(count) +
                              ": the file describes no targets");
  if (count > MAX_TRACKS)
    report.problems.push_back(std::to_string(count) + " targets: only the first " +
                              std::to_string(MAX_TRACKS) + " are loaded");

  std::set<int> disabled;
  int lastTarget = -1;
  TrackFileRow row{};
  while (rows.Next(row)) {
    saturation.After(rows);
    report.lastFrame = row.frame;
    lastTarget = row.target;
    // The loader applies rows of frames 0 on, of the targets it keeps.
    const bool applied = row.frame >= 0 && row.target < MAX_TRACKS;
    if (applied && (row.x > kMaxTrackCoordinate || row.y > kMaxTrackCoordinate) &&
        disabled.insert(row.target).second) {
      report.notes.push_back("target " + std::to_string(row.target) + " is disabled at frame " +
                             std::to_string(row.frame) + " (row " + std::to_string(row.x) + " " +
                             std::to_string(row.y) + ")");
    }
  }
  saturation.After(rows);

  switch (rows.End()) {
    case TrackRowsEnd::kNotANumber:
      report.problems.push_back(NotANumber(rows, stream.get()));
      break;
    case TrackRowsEnd::kHalfRow:
      report.problems.push_back("the last row holds a single number and is dropped");
      break;
    case TrackRowsEnd::kFrameLimit: {
      // The loader reads no further; anything but white space is lost.
      IntegerReader rest(stream.get());
      int ignored = 0;
      if (rest.Read(ignored) != ReadResult::kEndOfInput)
        report.problems.push_back("rows from frame " + std::to_string(rows.EndFrame()) +
                                  " on are past frame " + std::to_string(MAX_TRACK_FRAMES - 1) +
                                  " and are not loaded");
      break;
    }
    default:
      break;
  }
  saturation.Report(report.problems);
  if (first < 0 && report.lastFrame)
    report.problems.push_back("rows of " + FrameRange(first, std::min(-1, *report.lastFrame)) +
                              " lie before frame 0 and are not loaded");
  if (lastTarget >= 0 && lastTarget != count - 1)
    report.notes.push_back("frame " + std::to_string(*report.lastFrame) + " has rows for " +
                           std::to_string(lastTarget + 1) + " of " + std::to_string(count) +
                           " targets");
  report.disabledTargets = static_cast<int>(disabled.size());
  return report;
}

std::optional<base::FileFault> ScanTrackFile(const std::string& fileName, TrackFileReport& report) {
  std::string text;
  if (const auto fault = base::ReadWholeFile(fileName, base::kMaxTextFileBytes, text))
    return fault;
  report = ScanTrackText(std::move(text));
  return std::nullopt;
}
