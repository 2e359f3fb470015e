#include "tools/TrackFileScan.h"

#include <algorithm>
#include <climits>
#include <fstream>
#include <optional>
#include <set>
#include <sstream>

#include "tools/CliFiles.h"
#include "tools/CliUsage.h"
#include "tracks/Track.h"
#include "tracks/TrackSet.h"

namespace {

// The file's words with the line each stands on.
class WordReader {
 public:
  explicit WordReader(std::istream& in) : m_in(in) {}

  bool Next(std::string& word) {
    while (!(m_words >> word)) {
      std::string line;
      if (!std::getline(m_in, line))
        return false;
      ++m_line;
      m_words.clear();
      m_words.str(line);
    }
    return true;
  }
  int Line() const { return m_line; }

 private:
  std::istream& m_in;
  std::istringstream m_words;
  int m_line = 0;
};

// Reads the next number as the loader would; a word that is not a number
// ends the file there for the loader, and is reported.
std::optional<int> NextNumber(WordReader& words, TrackFileReport& report, bool& ended) {
  std::string word;
  if (!words.Next(word)) {
    ended = true;
    return std::nullopt;
  }
  if (const std::optional<int> value = cli::ParseInt(word))
    return value;
  // A number too large for int: the loader reads it as the nearest int.
  const std::size_t digitsFrom = (word[0] == '-' || word[0] == '+') ? 1 : 0;
  if (word.size() > digitsFrom &&
      std::all_of(word.begin() + static_cast<std::ptrdiff_t>(digitsFrom), word.end(),
                  [](char c) { return c >= '0' && c <= '9'; })) {
    report.problems.push_back("line " + std::to_string(words.Line()) + ": " + word +
                              " is out of range; the loader reads it as " +
                              (word[0] == '-' ? "-2147483648" : "2147483647"));
    return word[0] == '-' ? INT_MIN : INT_MAX;
  }
  report.problems.push_back("line " + std::to_string(words.Line()) + ": '" + word +
                            "' is not an integer; the loader stops reading there");
  ended = true;
  return std::nullopt;
}

std::string FrameRange(int first, int last) {
  return first == last ? "frame " + std::to_string(first)
                       : "frames " + std::to_string(first) + " to " + std::to_string(last);
}

}  // namespace

bool ScanTrackFile(const std::string& fileName, TrackFileReport& report) {
  if (cli::IsFolder(fileName))
    return false;
  std::ifstream in(fileName);
  if (!in)
    return false;
  WordReader words(in);
  bool ended = false;
  const std::optional<int> count = NextNumber(words, report, ended);
  const std::optional<int> first = ended ? std::nullopt : NextNumber(words, report, ended);
  if (!count || !first) {
    report.problems.push_back("no target count and first frame: the file describes no targets");
    return !in.bad();
  }
  report.targets = *count;
  report.firstFrame = *first;
  report.lastFrame = *first - 1;
  if (*count <= 0) {
    report.problems.push_back("target count " + std::to_string(*count) +
                              ": the file describes no targets");
    return !in.bad();
  }
  if (*count > MAX_TRACKS) {
    report.problems.push_back(std::to_string(*count) + " targets: only the first " +
                              std::to_string(MAX_TRACKS) + " are loaded");
  }

  std::set<int> disabled;
  long long rows = 0;
  int lastTarget = -1;
  while (!ended) {
    const long long frameIndex = *first + rows / *count;
    if (frameIndex >= MAX_TRACK_FRAMES) {
      // The loader stops here; count what it leaves unread.
      long long rest = 0;
      for (std::string word; words.Next(word);)
        ++rest;
      if (rest > 0) {
        report.problems.push_back("rows from frame " + std::to_string(frameIndex) +
                                  " on are past frame " + std::to_string(MAX_TRACK_FRAMES - 1) +
                                  " and are not loaded");
      }
      break;
    }
    const std::optional<int> x = NextNumber(words, report, ended);
    if (!x)
      break;
    const std::size_t problemsBefore = report.problems.size();
    const std::optional<int> y = NextNumber(words, report, ended);
    if (!y) {
      if (report.problems.size() == problemsBefore)
        report.problems.push_back("the last row holds a single number and is dropped");
      break;
    }
    const int frame = static_cast<int>(frameIndex);
    const int target = static_cast<int>(rows % *count);
    ++rows;
    lastTarget = target;
    report.lastFrame = frame;
    if (target < MAX_TRACKS && (*x > kMaxTrackCoordinate || *y > kMaxTrackCoordinate) &&
        disabled.insert(target).second) {
      report.notes.push_back("target " + std::to_string(target) + " is disabled at frame " +
                             std::to_string(frame) + " (row " + std::to_string(*x) + " " +
                             std::to_string(*y) + ")");
    }
  }
  if (*first < 0 && report.lastFrame >= *first) {
    report.problems.push_back("rows of " + FrameRange(*first, std::min(-1, report.lastFrame)) +
                              " lie before frame 0 and are not loaded");
  }
  if (lastTarget >= 0 && lastTarget != *count - 1) {
    report.notes.push_back("frame " + std::to_string(report.lastFrame) + " has rows for " +
                           std::to_string(lastTarget + 1) + " of " + std::to_string(*count) +
                           " targets");
  }
  report.disabledTargets = static_cast<int>(disabled.size());
  return !in.bad();
}
