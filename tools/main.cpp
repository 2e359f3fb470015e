// korvane-cli's entry point; everything else lives in the tools library.

#include <iostream>
#include <string>
#include <vector>

#include "tools/Cli.h"

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
  const int status = RunCli(args, std::cout, std::cerr);
  std::cout.flush();
  return status;
}
