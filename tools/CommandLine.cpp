#include "tools/CommandLine.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdlib>

#include "base/NumberText.h"
#include "tools/CommandTable.h"

namespace cli {

int UsageError(std::ostream& err, std::string_view command, std::string_view message) {
  err << "korvane-cli";
  if (!command.empty())
    err << ' ' << command;
  err << ": " << message << '\n';
  if (const Command* usage = FindCommand(command)) {
    err << "usage: korvane-cli " << usage->synopsis << '\n'
        << "Try 'korvane-cli " << command << " --help'.\n";
  } else {
    err << "Try 'korvane-cli --help'.\n";
  }
  return kExitUsage;
}

int Failure(std::ostream& err, std::string_view command, std::string_view message) {
  err << "korvane-cli " << command << ": " << message << '\n';
  return kExitFailure;
}

std::optional<std::string> ParseArgs(std::span<const std::string> args,
                                     std::span<const OptionRule> options, ParsedArgs& parsed) {
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--help" || arg == "-h") {
      parsed.help = true;
      continue;
    }
    // No command takes an empty argument: as a root or a file name it would
    // name the current folder's "_0000.bmp" or ".geometry", or nothing.
    if (arg.empty())
      return std::string("an empty argument (\"\") names no file, folder or number");
    if (!arg.starts_with("--")) {
      parsed.positional.push_back(arg);
      continue;
    }
    const auto rule = std::find_if(options.begin(), options.end(),
                                   [&arg](const OptionRule& o) { return o.name == arg; });
    if (rule == options.end())
      return "unknown option " + arg;
    if (parsed.Has(arg))
      return arg + " is given twice";
    if (!rule->takesValue) {
      parsed.flags.insert(arg);
      continue;
    }
    if (i + 1 >= args.size())
      return arg + " needs a value";
    if (args[i + 1].empty())
      return arg + " is given an empty value";
    parsed.values.emplace(arg, args[++i]);
  }
  return std::nullopt;
}

std::optional<int> ReadCommandArgs(std::span<const std::string> args,
                                   std::span<const OptionRule> options, std::string_view command,
                                   std::ostream& out, std::ostream& err, ParsedArgs& parsed) {
  if (const auto error = ParseArgs(args, options, parsed))
    return UsageError(err, command, *error);
  if (parsed.help) {
    PrintCommandHelp(out, command);
    return kExitOk;
  }
  return std::nullopt;
}

std::optional<std::string> ParseFrameRange(std::string_view firstText, std::string_view lastText,
                                           std::string_view done, FrameRange& range) {
  const std::optional<int> first = base::ParseInt(firstText);
  const std::optional<int> last = base::ParseInt(lastText);
  if (!first || !last || *first < 0 || *last < *first || *last == INT_MAX)
    return "FIRST and LAST must be frames with 0 <= FIRST <= LAST";
  if (*last - *first >= kMaxSeriesFrames)
    return "at most " + std::to_string(kMaxSeriesFrames) + " frames can be " + std::string(done) +
           " at once";
  range = {*first, *last};
  return std::nullopt;
}

std::optional<std::string> RootProblem(std::string_view what, std::string_view root) {
  if (!root.empty() && root.back() != '/')
    return std::nullopt;
  return std::string(what) + " '" + std::string(root) +
         "' names no file: a root is a folder and the start of the file names, such as out/take";
}

}  // namespace cli
