#include "import/ImportSource.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <filesystem>
#include <system_error>

#include "base/InputFile.h"

namespace cli {
namespace {

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

std::string_view DigitRun(std::string_view text, std::size_t from) {
  std::size_t end = from;
  while (end < text.size() && IsDigit(text[end]))
    ++end;
  return text.substr(from, end - from);
}

// Compares two runs of digits by value, without converting them (a run may
// be longer than any integer type).
int CompareNumbers(std::string_view a, std::string_view b) {
  const auto significant = [](std::string_view run) {
    const std::size_t first = run.find_first_not_of('0');
    return first == std::string_view::npos ? std::string_view{} : run.substr(first);
  };
  a = significant(a);
  b = significant(b);
  if (a.size() != b.size())
    return a.size() < b.size() ? -1 : 1;
  return a.compare(b);
}

// The last run of digits in a file name's stem, when it fits an int.
std::optional<int> NameNumber(const std::filesystem::path& file) {
  const std::string stem = file.stem().string();
  const std::size_t last = stem.find_last_of("0123456789");
  if (last == std::string::npos)
    return std::nullopt;
  std::size_t first = last;
  while (first > 0 && IsDigit(stem[first - 1]))
    --first;
  const std::string_view run = std::string_view(stem).substr(first, last + 1 - first);
  if (CompareNumbers(run, std::to_string(INT_MAX)) > 0)
    return std::nullopt;
  return std::stoi(std::string(run));
}

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

bool IsRegularFile(const std::filesystem::path& path) {
  std::error_code error;
  return std::filesystem::is_regular_file(path, error);
}

}  // namespace

bool NaturalLess(std::string_view a, std::string_view b) {
  std::size_t i = 0;
  std::size_t j = 0;
  while (i < a.size() && j < b.size()) {
    if (IsDigit(a[i]) && IsDigit(b[j])) {
      const std::string_view x = DigitRun(a, i);
      const std::string_view y = DigitRun(b, j);
      if (const int order = CompareNumbers(x, y); order != 0)
        return order < 0;
      i += x.size();
      j += y.size();
      continue;
    }
    if (a[i] != b[j])
      return static_cast<unsigned char>(a[i]) < static_cast<unsigned char>(b[j]);
    ++i;
    ++j;
  }
  if (a.size() - i != b.size() - j)
    return a.size() - i < b.size() - j;
  return a < b;
}

std::optional<std::string> ListFolderFrames(const std::string& folder,
                                            std::span<const std::string> endings,
                                            SourceFrames& frames) {
  std::vector<std::filesystem::path> files;
  std::error_code error;
  for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end;
       it.increment(error)) {
    const std::filesystem::path& path = it->path();
    const std::string ending = Lower(path.extension().string());
    if (ending.size() < 2 || !IsRegularFile(path))
      continue;
    if (std::find(endings.begin(), endings.end(), ending.substr(1)) != endings.end())
      files.push_back(path);
  }
  if (error)
    return folder + ": the folder cannot be read: " + error.message();
  if (files.empty())
    return folder + ": no picture file in the folder";
  std::sort(files.begin(), files.end(), [](const auto& a, const auto& b) {
    return NaturalLess(a.filename().string(), b.filename().string());
  });

  SourceFrames listed;
  const std::optional<int> first = NameNumber(files.front());
  bool consecutive = first.has_value();
  for (std::size_t i = 0; i < files.size(); ++i) {
    listed.paths.push_back(files[i].string());
    const std::optional<int> number = NameNumber(files[i]);
    consecutive = consecutive && number &&
                  std::int64_t{*number} == std::int64_t{*first} + static_cast<std::int64_t>(i);
  }
  listed.firstNumber = consecutive ? *first : 1;
  if (!consecutive)
    listed.note = "the file names in " + folder +
                  " are not numbered one after the other; source numbers count the files "
                  "from 1 in the order they are read";
  frames = std::move(listed);
  return std::nullopt;
}

std::optional<std::string> ParsePattern(std::string_view text, FramePattern& pattern) {
  const std::size_t slash = text.rfind('/');
  const std::string_view folder =
      slash == std::string_view::npos ? std::string_view{} : text.substr(0, slash + 1);
  FramePattern read;
  // In the folder part "%%" is a percent sign too; a conversion is not
  // taken there.
  for (std::size_t i = 0; i < folder.size(); ++i) {
    if (folder[i] == '%' && i + 1 < folder.size() && folder[i + 1] == '%')
      ++i;
    else if (folder[i] == '%')
      return "the pattern's conversion must be in the file name, not in a folder";
    read.folder += folder[i];
  }
  const std::string_view name = text.substr(folder.size());
  bool converted = false;
  for (std::size_t i = 0; i < name.size(); ++i) {
    std::string& part = converted ? read.suffix : read.prefix;
    if (name[i] != '%') {
      part += name[i];
      continue;
    }
    if (i + 1 < name.size() && name[i + 1] == '%') {
      part += '%';
      ++i;
      continue;
    }
    std::size_t j = i + 1;
    const bool zero = j < name.size() && name[j] == '0';
    if (zero)
      ++j;
    const std::string_view digits = DigitRun(name, j);
    j += digits.size();
    const bool integer = j < name.size() && (name[j] == 'd' || name[j] == 'i' || name[j] == 'u');
    if (!integer || digits.size() > 2)
      return "the pattern holds '" + std::string(name.substr(i, j + 1 - i)) +
             "', which is not an integer conversion such as %06d";
    if (converted)
      return "the pattern holds two conversions; it takes exactly one, such as %06d";
    converted = true;
    read.zeroPadded = zero;
    read.width = digits.empty() ? 0 : std::stoi(std::string(digits));
    i = j;
  }
  if (!converted)
    return "the pattern holds no integer conversion such as %06d";
  pattern = std::move(read);
  return std::nullopt;
}

std::string PatternFile(const FramePattern& pattern, int number) {
  std::string digits = std::to_string(number);
  if (digits.size() < static_cast<std::size_t>(pattern.width))
    digits.insert(0, static_cast<std::size_t>(pattern.width) - digits.size(),
                  pattern.zeroPadded ? '0' : ' ');
  return pattern.folder + pattern.prefix + digits + pattern.suffix;
}

std::optional<std::string> ListPatternFrames(const FramePattern& pattern, std::optional<int> first,
                                             int maxFrames, SourceFrames& frames) {
  if (!first) {
    // The lowest number present: every name of the folder that the pattern
    // gives for some number, exactly as it gives it.
    const std::string folder = pattern.folder.empty() ? "." : pattern.folder;
    std::error_code error;
    for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end;
         it.increment(error)) {
      const std::string name = it->path().filename().string();
      if (name.size() <= pattern.prefix.size() + pattern.suffix.size() ||
          !name.starts_with(pattern.prefix) || !name.ends_with(pattern.suffix))
        continue;
      std::string_view middle = name;
      middle.remove_prefix(pattern.prefix.size());
      middle.remove_suffix(pattern.suffix.size());
      const std::size_t digitsFrom = middle.find_first_not_of(' ');
      if (digitsFrom == std::string_view::npos)
        continue;
      const std::string_view digits = middle.substr(digitsFrom);
      if (DigitRun(digits, 0).size() != digits.size() ||
          CompareNumbers(digits, std::to_string(INT_MAX)) > 0)
        continue;
      const int number = std::stoi(std::string(digits));
      if (pattern.folder + name == PatternFile(pattern, number) && (!first || number < *first))
        first = number;
    }
    if (error)
      return folder + ": the folder cannot be read: " + error.message();
    if (!first)
      return "no file matches the pattern " + pattern.folder + pattern.prefix + "%d" +
             pattern.suffix;
  }
  if (*first < 0)
    return "--first must be at least 0";
  SourceFrames listed;
  listed.firstNumber = *first;
  for (std::int64_t number = *first; number <= INT_MAX; ++number) {
    std::string path = PatternFile(pattern, static_cast<int>(number));
    // The files end at the first number without one; anything else there (a
    // FIFO, a folder) is no end but a fault, so the frames after it are not
    // lost without a word.
    if (const std::optional<base::FileFault> fault = base::RegularFileFault(path)) {
      if (fault->kind == base::FileFault::Kind::Missing)
        break;
      return path + ": " + fault->Describe();
    }
    if (listed.paths.size() == static_cast<std::size_t>(maxFrames))
      return "more than " + std::to_string(maxFrames) + " files from " + listed.paths.front() +
             " on; at most " + std::to_string(maxFrames) + " frames are imported at once";
    listed.paths.push_back(std::move(path));
  }
  if (listed.paths.empty())
    return PatternFile(pattern, *first) + ": " +
           base::FileFault{base::FileFault::Kind::Missing}.Describe() + " (the first number read)";
  frames = std::move(listed);
  return std::nullopt;
}

}  // namespace cli
