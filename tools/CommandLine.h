#pragma once
// How korvane-cli's commands read their arguments and answer: the exit
// statuses, the messages for usage errors and failures, strict parsing of
// options and frame ranges. Whole-text numbers: base/NumberText.h.

#include <map>
#include <optional>
#include <ostream>
#include <set>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "image/SeriesFrames.h"

namespace cli {

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;  // a file could not be read or written
inline constexpr int kExitUsage = 2;    // the command line itself is wrong

// "korvane-cli COMMAND: message", the command's usage line and a pointer to
// its --help, on err. Returns kExitUsage.
int UsageError(std::ostream& err, std::string_view command, std::string_view message);
// "korvane-cli COMMAND: message" on err. Returns kExitFailure.
int Failure(std::ostream& err, std::string_view command, std::string_view message);

struct OptionRule {
  std::string_view name;  // with its dashes: "--tracks"
  bool takesValue;
};

struct ParsedArgs {
  std::vector<std::string> positional;
  std::map<std::string, std::string, std::less<>> values;
  std::set<std::string, std::less<>> flags;
  bool help = false;

  bool Has(std::string_view option) const {
    return flags.contains(option) || values.contains(option);
  }
  const std::string* Value(std::string_view option) const {
    const auto it = values.find(option);
    return it == values.end() ? nullptr : &it->second;
  }
};

// Splits args into positional arguments and the given options; "--help" and
// "-h" anywhere ask for help. Anything that starts with "--" is an option, so
// negative numbers stay positional. Returns why the arguments cannot be read
// (an unknown option, an option without its value, an option given twice, an
// empty argument or value).
std::optional<std::string> ParseArgs(std::span<const std::string> args,
                                     std::span<const OptionRule> options, ParsedArgs& parsed);

// The first step of every command: reads args into parsed. Returns the
// command's exit status when it is decided already: a usage error when the
// arguments cannot be read, success once the help asked for is printed on
// out. Nothing means the command goes on with parsed.
std::optional<int> ReadCommandArgs(std::span<const std::string> args,
                                   std::span<const OptionRule> options, std::string_view command,
                                   std::ostream& out, std::ostream& err, ParsedArgs& parsed);

// The first steps of a command that reads its arguments into a request:
// ReadCommandArgs, then `read(parsed, request)`, which returns the usage
// message when the arguments cannot be used. Returns the command's exit
// status when it is decided already; nothing means the command goes on.
template <typename Request, typename Read>
std::optional<int> ReadCommandRequest(std::span<const std::string> args,
                                      std::span<const OptionRule> options, std::string_view command,
                                      std::ostream& out, std::ostream& err, const Read& read,
                                      ParsedArgs& parsed, Request& request) {
  if (const std::optional<int> status = ReadCommandArgs(args, options, command, out, err, parsed))
    return status;
  if (const std::optional<std::string> problem = read(parsed, request))
    return UsageError(err, command, *problem);
  return std::nullopt;
}

using series::FrameRange;
using series::kMaxSeriesFrames;

// FIRST and LAST of a series: integers with 0 <= FIRST <= LAST < INT_MAX (a
// loop over the frames counts one past LAST) and at most kMaxSeriesFrames
// frames. Returns the usage message when they cannot be used; `done` names
// what the command does with the frames ("checked", "rendered").
std::optional<std::string> ParseFrameRange(std::string_view firstText, std::string_view lastText,
                                           std::string_view done, FrameRange& range);

// A root names files ROOT_0000.bmp, ROOT.geometry: one that ends in a
// folder ("out/") names hidden and nameless files in it. Returns the usage
// message (what: "ROOT", "OUTROOT"), or nothing.
std::optional<std::string> RootProblem(std::string_view what, std::string_view root);

}  // namespace cli
