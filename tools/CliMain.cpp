// Picks the command named by the first argument and hands it the rest.

#include <cerrno>
#include <cstring>
#include <string_view>

#include "tools/Cli.h"
#include "tools/CommandLine.h"
#include "tools/CommandTable.h"

namespace {

// Runs the command the arguments name.
int Dispatch(std::span<const std::string> args, std::ostream& out, std::ostream& err) {
  if (args.empty())
    return cli::UsageError(err, "", "a command is needed");
  const std::string& name = args.front();
  if (name == "--help" || name == "-h" || name == "help") {
    cli::PrintProgramHelp(out);
    return cli::kExitOk;
  }
  if (const cli::Command* command = cli::FindCommand(name))
    return command->run(args.subspan(1), out, err);
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
