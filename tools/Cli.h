#pragma once
// korvane-cli: the command-line companion. RunCli is the whole program but for
// its process: main() hands it the arguments and the two standard streams,
// and the tests call it directly.

#include <ostream>
#include <span>
#include <string>

// args are the arguments after the program's name. Returns the exit status:
// 0 success, 1 failure (the message names the file), 2 usage error.
int RunCli(std::span<const std::string> args, std::ostream& out, std::ostream& err);

// The commands, each given the arguments after its name.
int RunSampleCommand(std::span<const std::string> args, std::ostream& out, std::ostream& err);
int RunRenderCommand(std::span<const std::string> args, std::ostream& out, std::ostream& err);
int RunScoreCommand(std::span<const std::string> args, std::ostream& out, std::ostream& err);
int RunNearCommand(std::span<const std::string> args, std::ostream& out, std::ostream& err);
int RunCheckCommand(std::span<const std::string> args, std::ostream& out, std::ostream& err);
int RunImportCommand(std::span<const std::string> args, std::ostream& out, std::ostream& err);
int RunMotToTracksCommand(std::span<const std::string> args, std::ostream& out, std::ostream& err);
int RunTracksToMotCommand(std::span<const std::string> args, std::ostream& out, std::ostream& err);
int RunEvaluateCommand(std::span<const std::string> args, std::ostream& out, std::ostream& err);
int RunBenchmarkCommand(std::span<const std::string> args, std::ostream& out, std::ostream& err);
int RunReviewCommand(std::span<const std::string> args, std::ostream& out, std::ostream& err);
