#include "scoring/BenchmarkLayout.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <string_view>
#include <system_error>

#include "base/InputFile.h"
#include "base/NumberText.h"
#include "base/TextBytes.h"

namespace {

namespace fs = std::filesystem;

std::string_view Trimmed(std::string_view text) {
  const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
  while (!text.empty() && blank(text.front()))
    text.remove_prefix(1);
  while (!text.empty() && blank(text.back()))
    text.remove_suffix(1);
  return text;
}

std::string Lower(std::string_view text) {
  std::string lower(text);
  std::transform(lower.begin(), lower.end(), lower.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return lower;
}

// Calls take(line, number) for each line of text (a byte order mark at its
// start passed over).
template <class Take>
void ForEachLine(std::string_view text, Take take) {
  text = base::WithoutByteOrderMark(text);
  std::size_t number = 0;
  while (!text.empty()) {
    ++number;
    const std::size_t newline = text.find('\n');
    take(Trimmed(text.substr(0, newline)), number);
    text.remove_prefix(newline == std::string_view::npos ? text.size() : newline + 1);
  }
}

// A sequence name must name a folder of GT_ROOT itself.
bool IsPlainName(std::string_view name) {
  return !name.empty() && name != "." && name != ".." &&
         name.find_first_of("/\\") == std::string_view::npos;
}

BenchmarkSequence SequenceOf(const fs::path& gtRoot, const fs::path& trackerDir,
                             const std::string& name) {
  return {name, (gtRoot / name / "gt" / "gt.txt").string(),
          (gtRoot / name / "seqinfo.ini").string(), (trackerDir / (name + ".txt")).string()};
}

std::optional<std::string> ReadSeqmap(const std::string& path, std::vector<std::string>& names) {
  std::string text;
  if (const auto fault = base::ReadWholeFile(path, base::kMaxTextFileBytes, text))
    return path + ": " + fault->Describe();
  std::optional<std::string> problem;
  ForEachLine(text, [&](std::string_view line, std::size_t number) {
    const std::string_view name = Trimmed(line.substr(0, line.find(',')));
    if (number == 1 || name.empty() || problem)
      return;
    if (!IsPlainName(name))
      problem = path + ":" + std::to_string(number) + ": '" + base::PrintableText(name) +
                "' is not the name of a sequence folder";
    else
      names.emplace_back(name);
  });
  return problem;
}

}  // namespace

std::optional<std::string> ListBenchmark(const std::string& gtRoot, const std::string& trackerDir,
                                         const std::optional<std::string>& seqmap,
                                         std::vector<BenchmarkSequence>& sequences) {
  sequences.clear();
  std::error_code error;
  if (!fs::is_directory(gtRoot, error))
    return gtRoot + ": not a folder";
  if (!fs::is_directory(trackerDir, error))
    return trackerDir + ": not a folder";
  std::vector<std::string> names;
  if (seqmap) {
    if (auto problem = ReadSeqmap(*seqmap, names))
      return problem;
  } else {
    for (fs::directory_iterator it(gtRoot, error), end; !error && it != end; it.increment(error)) {
      std::error_code ignored;
      if (it->is_directory(ignored) && fs::is_regular_file(it->path() / "gt" / "gt.txt", ignored))
        names.push_back(it->path().filename().string());
    }
    if (error)
      return gtRoot + ": cannot be listed (" + error.message() + ")";
    std::sort(names.begin(), names.end());
  }
  if (names.empty())
    return seqmap ? *seqmap + ": names no sequence"
                  : gtRoot + ": holds no sequence folder with gt/gt.txt";
  for (const std::string& name : names)
    sequences.push_back(SequenceOf(gtRoot, trackerDir, name));
  return std::nullopt;
}

std::optional<std::string> ReadSequenceLength(const std::string& seqInfoFile, int& length) {
  std::string text;
  if (const auto fault = base::ReadWholeFile(seqInfoFile, base::kMaxTextFileBytes, text))
    return seqInfoFile + ": " + fault->Describe();
  if (auto problem = SequenceLengthOf(text, length))
    return seqInfoFile + *problem;
  return std::nullopt;
}

std::optional<std::string> SequenceLengthOf(std::string_view text, int& length) {
  bool inSequence = false;
  std::optional<std::string> value;
  std::size_t valueLine = 0;
  ForEachLine(text, [&](std::string_view line, std::size_t number) {
    if (line.empty() || line.front() == ';' || line.front() == '#')
      return;
    if (line.front() == '[') {
      inSequence = Lower(Trimmed(line.substr(1, line.find(']') - 1))) == "sequence";
      return;
    }
    const std::size_t split = line.find_first_of("=:");
    if (!inSequence || split == std::string_view::npos ||
        Lower(Trimmed(line.substr(0, split))) != "seqlength")
      return;
    value = std::string(Trimmed(line.substr(split + 1)));
    valueLine = number;
  });
  if (!value)
    return std::string(": no seqLength in a [Sequence] section");
  const std::optional<int> read = base::ParseInt(*value);
  if (!read || *read < 1) {
    // Built by appending: GCC 12 at -O3 warns falsely about a literal joined
    // to a temporary string.
    std::string problem(1, ':');
    problem += std::to_string(valueLine);
    problem += ": seqLength '";
    problem += base::PrintableText(*value);
    problem += "' is not a whole number of at least 1";
    return problem;
  }
  length = *read;
  return std::nullopt;
}
