#include "tools/MeasuredPath.h"

#include <fstream>
#include <sstream>
#include <vector>

#include "tools/CliFiles.h"
#include "tools/CliUsage.h"

namespace {

std::vector<std::string> Words(const std::string& line) {
  std::istringstream words(line.substr(0, line.find('#')));
  std::vector<std::string> result;
  for (std::string word; words >> word;)
    result.push_back(word);
  return result;
}

}  // namespace

std::optional<std::string> ReadMeasuredPath(const std::string& fileName, MeasuredPath& path) {
  if (cli::IsFolder(fileName))
    return fileName + ": is a folder, not a measured path";
  std::ifstream in(fileName);
  if (!in)
    return fileName + ": cannot be opened";

  int lineNumber = 0;
  for (std::string line; std::getline(in, line);) {
    ++lineNumber;
    const std::string where = fileName + ":" + std::to_string(lineNumber) + ": ";
    const std::vector<std::string> words = Words(line);
    if (words.empty())
      continue;
    if (words.size() != 3)
      return where + "expected three integers 'frame x y'";
    const std::optional<int> frame = cli::ParseInt(words[0]);
    const std::optional<int> x = cli::ParseInt(words[1]);
    const std::optional<int> y = cli::ParseInt(words[2]);
    if (!frame || !x || !y)
      return where + "expected three integers 'frame x y'";
    if (!IsTrackFrame(*frame))
      return where + "frame " + words[0] + " is outside 0 to " +
             std::to_string(MAX_TRACK_FRAMES - 1);
    const auto index = static_cast<std::size_t>(*frame);
    if (path.given[index])
      return where + "frame " + words[0] + " is given twice";
    path.xs[index] = *x;
    path.ys[index] = *y;
    path.given[index] = true;
  }
  if (in.bad())
    return fileName + ": cannot be read";
  return std::nullopt;
}
