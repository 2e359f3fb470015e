#include "tools/CommandTable.h"

#include <algorithm>
#include <array>

namespace cli {
namespace {

const std::array<std::reference_wrapper<const Command>, 11> kCommands{
    kSampleCommand,      kRenderCommand,    kImportCommand, kMotToTracksCommand,
    kTracksToMotCommand, kScoreCommand,     kNearCommand,   kCheckCommand,
    kEvaluateCommand,    kBenchmarkCommand, kReviewCommand,
};

}  // namespace

std::span<const std::reference_wrapper<const Command>> Commands() {
  return kCommands;
}

const Command* FindCommand(std::string_view name) {
  const auto it = std::find_if(kCommands.begin(), kCommands.end(),
                               [name](const Command& c) { return c.name == name; });
  return it == kCommands.end() ? nullptr : &it->get();
}

void PrintProgramHelp(std::ostream& out) {
  out << "usage: korvane-cli COMMAND ARGUMENTS...\n"
         "       korvane-cli COMMAND --help\n\n"
         "The command-line companion of Korvane. It runs the program's own console,\n"
         "player and recorder code on an in-memory window system.\n\n"
         "Commands:\n";
  for (const Command& command : kCommands)
    out << "  korvane-cli " << command.synopsis << '\n';
  out << "\nInputs must be regular files; a file that cannot be used is named with the\n"
         "fault and the system's reason. A command that cannot write its files or its\n"
         "standard output fails.\n"
         "Exit status: 0 success, 1 failure (the message names the file), 2 usage error.\n";
}

void PrintCommandHelp(std::ostream& out, std::string_view command) {
  if (const Command* usage = FindCommand(command))
    out << "usage: korvane-cli " << usage->synopsis << "\n\n" << usage->help;
}

}  // namespace cli
