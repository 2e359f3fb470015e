#include "tools/CliUsage.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdlib>

namespace cli {
namespace {

constexpr std::array<CommandUsage, 5> kCommands{{
    {"sample", "sample DIR",
     R"(Writes the sample series into the folder DIR, made when missing: frames 0 to
60 of a synthetic take, DIR/take9_0000.bmp to DIR/take9_0060.bmp (320 x 240,
24-bit), recorded through the console's frame recorder, and DIR/truetracks.txt
with the true positions of its four targets. Each target is a bright 6 x 6 blob whose
bottom-left pixel is its position: it covers columns x to x+5 and rows y-5 to y,
rows counted from the top. Target 1 appears at frame 15, target 2 is hidden in
frames 30 to 39, and target 3 leaves the picture at frame 20, where its rows
become "1000 1000" and disable it. The recorder prints "Frame 20", "Frame 40"
and "Frame 60" on the way.
The series is recorded into a temporary folder inside DIR and moved into place
when whole. On failure (DIR is not a folder, a file cannot be written) DIR is
left as it was and the exit status is 1.
)"},
    {"render", "render ROOT FIRST LAST OUTROOT [--tracks FILE] [--trails] [--markers] [--rate N]",
     R"(Plays ROOT_FIRST.bmp to ROOT_LAST.bmp (names "%s_%04d.bmp") through the player
as a user would: Read file series, root path, start frame, last frame and rate
typed in, the boxes ticked, READ. Every frame the player shows is recorded,
overlays included, by the console's frame recorder as OUTROOT_NNNN.bmp, NNNN
being the number of the frame shown: OUTROOT_0024.bmp shows ROOT_0024.bmp.
  --markers      tick "Use TrueTracks": load the track file at READ and paint
                 a red marker at each target's position
  --trails       tick "Show Track": paint the green trails (the track file is
                 loaded at READ even without --markers)
  --tracks FILE  use FILE as truetracks.txt; without it the player reads
                 truetracks.txt from the current folder
  --rate N       the player's frame rate, 1 to 30 (default 10); playback runs
                 on a virtual clock, so the rate changes no output
A missing frame file ends the player's playback: render notes it and starts
again at the next frame. A file with a short header or a bad signature is
retried at every tick, as the player does, and skipped after 3 tries.
0 <= FIRST <= LAST, at most 100000 frames. A progress line follows every 20
frames shown; a summary gives the frames shown, the frames missing (or
skipped) and the retries. Exit status 1 when a frame was missing or skipped or
an output file could not be written, 0 otherwise.
)"},
    {"score", "score TRACKS MEASURED FROM TO [--csv]",
     R"(Loads the track file TRACKS (laid out like truetracks.txt) and the measured
path MEASURED, and prints, for every enabled track, the mean and the population
variance of the squared distances between path and track over the frames FROM
to TO (0 <= FROM <= TO <= 499), then the best match: the lowest mean over the
enabled tracks and its variance (1e+11 and 0 when no track matches).
MEASURED is text with one measured position per line:
    frame x y
  frame 0 to 499, x and y integers, each frame at most once; '#' starts a
  comment that runs to the end of the line; blank lines are ignored. A frame
  the file does not give counts as (0, 0), like a track's frame without a
  position.
  --csv   print "track,mean,variance" rows and a last row "best,MEAN,VARIANCE"
          instead of the table; the numbers are then exact, and a disabled
          track's fields are empty.
A track file that describes no targets is scored as such, with a warning.
)"},
    {"near", "near TRACKS X Y FRAME THRESHOLD",
     R"(Loads the track file TRACKS and tells whether a disabled target lies strictly
closer than THRESHOLD to the point (X, Y) at frame FRAME (0 to 499): prints
"near" or "not near". A track file that describes no targets gets a warning.
)"},
    {"check", "check ROOT FIRST LAST [--tracks FILE]",
     R"(Checks the frame files ROOT_FIRST.bmp to ROOT_LAST.bmp as the player reads
them and reports every missing file, unreadable file (not a regular file,
permission denied, a read error), bad signature (not "BM"), short header
(under 54 bytes) and short pixel block (under 230400 bytes). Then checks the
track file FILE, or truetracks.txt in the current folder when there is one,
with the loader's own reader: it reports rows the loader drops (targets beyond
the 50 kept, frames past 499 or below 0, an item that is not a number, a last
row with a single number) and notes every disabled target with the frame at
which it is disabled. Bytes quoted from the file that are not printable ASCII
are shown as \xNN.
0 <= FIRST <= LAST, at most 100000 frames. Exit status 0 when nothing is wrong
(notes do not count), 1 otherwise.
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
  out << "\nInputs must be regular files; a file that cannot be used is named with the\n"
         "fault and the system's reason. A command that cannot write its files or its\n"
         "standard output fails.\n"
         "Exit status: 0 success, 1 failure (the message names the file), 2 usage error.\n";
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
  const std::optional<int> first = ParseInt(firstText);
  const std::optional<int> last = ParseInt(lastText);
  if (!first || !last || *first < 0 || *last < *first || *last == INT_MAX)
    return "FIRST and LAST must be frames with 0 <= FIRST <= LAST";
  if (*last - *first >= kMaxSeriesFrames)
    return "at most " + std::to_string(kMaxSeriesFrames) + " frames can be " + std::string(done) +
           " at once";
  range = {*first, *last};
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
