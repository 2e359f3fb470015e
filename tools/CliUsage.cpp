#include "tools/CliUsage.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdlib>

namespace cli {
namespace {

constexpr std::array<CommandUsage, 1> kCommands{{
    {"sample", "sample DIR",
     R"(Writes the sample series into the existing folder DIR: frames 0 to 60 of a
synthetic take, DIR/take9_0000.bmp to DIR/take9_0060.bmp (320 x 240, 24-bit),
recorded through the console's frame recorder, and DIR/truetracks.txt with the
true positions of its four targets. Each target is a bright 6 x 6 blob whose
bottom-left pixel is its position: it covers columns x to x+5 and rows y-5 to y,
rows counted from the top. Target 1 appears at frame 15, target 2 is hidden in
frames 30 to 39, and target 3 leaves the picture at frame 20, where its rows
become "1000 1000" and disable it. The recorder prints "Frame 20", "Frame 40"
and "Frame 60" on the way.
On failure (DIR is not a folder, a file cannot be written) nothing is left
behind and the exit status is 1.
)"},
}};

}  // namespace

std::span<const CommandUsage> Commands() {
  return kCommands;
}

const CommandUsage* FindCommand(std::string_view name) {
  const auto it = std::find_if(kCommands.begin(), kCommands.end(),
                               [name](const CommandUsage& c) { return c.name == name; });
  return it == kCommands.end() ? nullptr : &*it;
}

void PrintProgramHelp(std::ostream& out) {
  out << "usage: korvane-cli COMMAND ARGUMENTS...\n"
         "       korvane-cli COMMAND --help\n\n"
         "The command-line companion of Korvane. It runs the program's own console,\n"
         "player and recorder code on an in-memory window system.\n\n"
         "Commands:\n";
  for (const CommandUsage& command : kCommands)
    out << "  korvane-cli " << command.synopsis << '\n';
  out << "\nExit status: 0 success, 1 failure (the message names the file), 2 usage error.\n";
}

void PrintCommandHelp(std::ostream& out, std::string_view command) {
  if (const CommandUsage* usage = FindCommand(command))
    out << "usage: korvane-cli " << usage->synopsis << "\n\n" << usage->help;
}

int UsageError(std::ostream& err, std::string_view command, std::string_view message) {
  err << "korvane-cli";
  if (!command.empty())
    err << ' ' << command;
  err << ": " << message << '\n';
  if (const CommandUsage* usage = FindCommand(command)) {
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
                                     std::span<const OptionSpec> options, ParsedArgs& parsed) {
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
    const auto spec = std::find_if(options.begin(), options.end(),
                                   [&arg](const OptionSpec& o) { return o.name == arg; });
    if (spec == options.end())
      return "unknown option " + arg;
    if (parsed.Has(arg))
      return arg + " is given twice";
    if (!spec->takesValue) {
      parsed.flags.insert(arg);
      continue;
    }
    if (i + 1 >= args.size())
      return arg + " needs a value";
    parsed.values.emplace(arg, args[++i]);
  }
  return std::nullopt;
}

// from_chars takes a minus sign but no plus sign; a plus sign is allowed here
// in front of digits only.
std::string_view WithoutPlus(std::string_view text) {
  if (text.size() >= 2 && text[0] == '+' && text[1] != '-')
    text.remove_prefix(1);
  return text;
}

std::optional<int> ParseInt(std::string_view text) {
  text = WithoutPlus(text);
  int value = 0;
  const char* end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(text.data(), end, value);
  if (text.empty() || error != std::errc() || stop != end)
    return std::nullopt;
  return value;
}

std::optional<double> ParseDouble(std::string_view text) {
  text = WithoutPlus(text);
  double value = 0.0;
  const char* end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(text.data(), end, value);
  if (text.empty() || error != std::errc() || stop != end || !std::isfinite(value))
    return std::nullopt;
  return value;
}

}  // namespace cli
