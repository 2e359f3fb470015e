#include "tracks/MeasuredPath.h"

#include "base/InputFile.h"
#include "base/NumberText.h"
#include "base/TextBytes.h"

namespace {

constexpr std::string_view kSpace = " \t\n\v\f\r";

// The words of a line before any '#', split at white space. Four are enough
// to tell a line of three from any other, so no more are kept.
struct LineWords {
  std::string_view words[4];
  std::size_t count = 0;
};

LineWords Words(std::string_view line) {
  line = line.substr(0, line.find('#'));
  LineWords result;
  while (result.count < std::size(result.words)) {
    const std::size_t start = line.find_first_not_of(kSpace);
    if (start == std::string_view::npos)
      break;
    line.remove_prefix(start);
    const std::size_t end = std::min(line.find_first_of(kSpace), line.size());
    result.words[result.count++] = line.substr(0, end);
    line.remove_prefix(end);
  }
  return result;
}

}  // namespace

std::optional<std::string> ParseMeasuredPath(std::string_view text, const std::string& fileName,
                                             MeasuredPath& path) {
  long long lineNumber = 0;
  text = base::WithoutByteOrderMark(text);
  while (!text.empty()) {
    const std::size_t end = std::min(text.find('\n'), text.size());
    const std::string_view line = text.substr(0, end);
    text.remove_prefix(std::min(end + 1, text.size()));
    ++lineNumber;
    const LineWords words = Words(line);
    if (words.count == 0)
      continue;
    const std::string where = fileName + ":" + std::to_string(lineNumber) + ": ";
    const std::optional<int> frame = base::ParseInt(words.words[0]);
    const std::optional<int> x = base::ParseInt(words.words[1]);
    const std::optional<int> y = base::ParseInt(words.words[2]);
    if (words.count != 3 || !frame || !x || !y)
      return where + "expected three integers 'frame x y'";
    if (!IsTrackFrame(*frame))
      return where + "frame " + std::to_string(*frame) + " is outside 0 to " +
             std::to_string(MAX_TRACK_FRAMES - 1);
    const auto index = static_cast<std::size_t>(*frame);
    if (path.given[index])
      return where + "frame " + std::to_string(*frame) + " is given twice";
    path.xs[index] = *x;
    path.ys[index] = *y;
    path.given[index] = true;
  }
  return std::nullopt;
}

std::optional<std::string> ReadMeasuredPath(const std::string& fileName, MeasuredPath& path) {
  std::string text;
  if (const auto fault = base::ReadWholeFile(fileName, base::kMaxTextFileBytes, text))
    return fileName + ": " + fault->Describe();
  return ParseMeasuredPath(text, fileName, path);
}
