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

}  // namespace cli
