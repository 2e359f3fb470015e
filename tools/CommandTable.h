#pragma once
// The commands of korvane-cli in one table, from which both the dispatch and
// the help come: each command's file defines its entry (name, usage line,
// help text and the function that runs it) next to its argument checks.

#include <functional>
#include <ostream>
#include <span>
#include <string>
#include <string_view>

namespace cli {

using CommandFunction = int (*)(std::span<const std::string> args, std::ostream& out,
                                std::ostream& err);

struct Command {
  std::string_view name;
  std::string_view synopsis;  // the usage line without "usage: korvane-cli "
  std::string_view help;      // what --help prints after the usage line
  CommandFunction run;
};

// Each defined in its command's file.
extern const Command kSampleCommand;
extern const Command kRenderCommand;
extern const Command kImportCommand;
extern const Command kMotToTracksCommand;
extern const Command kTracksToMotCommand;
extern const Command kScoreCommand;
extern const Command kNearCommand;
extern const Command kCheckCommand;
extern const Command kEvaluateCommand;
extern const Command kBenchmarkCommand;
extern const Command kReviewCommand;

// Every command, in the order the program's help lists them.
std::span<const std::reference_wrapper<const Command>> Commands();
const Command* FindCommand(std::string_view name);

void PrintProgramHelp(std::ostream& out);
void PrintCommandHelp(std::ostream& out, std::string_view command);

}  // namespace cli
