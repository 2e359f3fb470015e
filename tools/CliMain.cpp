// Picks the command named by the first argument and hands it the rest.

#include <array>
#include <cerrno>
#include <cstring>
#include <string_view>

#include "tools/Cli.h"
#include "tools/CliUsage.h"

namespace {

using CommandFunction = int (*)(std::span<const std::string>, std::ostream&, std::ostream&);

struct CommandEntry {
  std::string_view name;
  CommandFunction run;
};

constexpr std::array<CommandEntry, 9> kCommandTable{{
    {"sample", &RunSampleCommand},
    {"render", &RunRenderCommand},
    {"score", &RunScoreCommand},
    {"near", &RunNearCommand},
    {"check", &RunCheckCommand},
    {"import", &RunImportCommand},
    {"mot2tracks", &RunMotToTracksCommand},
    {"tracks2mot", &RunTracksToMotCommand},
    {"evaluate", &RunEvaluateCommand},
}};

// Runs the command the arguments name.
int Dispatch(std::span<const std::string> args, std::ostream& out, std::ostream& err) {
  if (args.empty())
    return cli::UsageError(err, "", "a command is needed");
  const std::string& name = args.front();
  if (name == "--help" || name == "-h" || name == "help") {
    cli::PrintProgramHelp(out);
    return cli::kExitOk;
  }
  for (const CommandEntry& entry : kCommandTable) {
    if (entry.name == name)
      return entry.run(args.subspan(1), out, err);
  }
  return cli::UsageError(err, "", "unknown command '" + name + "'");
}

}  // namespace

int RunCli(std::span<const std::string> args, std::ostream& out, std::ostream& err) {
  const int status = Dispatch(args, out, err);
  // A command that could not write all it printed has not done its work,
  // whatever it found: the reason goes to err and the status is a failure.
  errno = 0;
  out.flush();
  if (out)
    return status;
  const int error = errno;
  err << "korvane-cli: cannot write standard output: "
      << (error != 0 ? std::strerror(error) : "the output stream failed") << '\n';
  return cli::kExitFailure;
}
