// korvane-cli's entry point; everything else lives in the tools library.

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include "tools/Cli.h"

namespace {

// A standard stream the caller closed would otherwise be taken by the first
// file the command opens, and what is printed would land in that file.
// Each closed one is held by /dev/null opened for reading only, so writing
// to it fails as writing to a closed stream does, and the failure shows.
void HoldClosedStandardStreams() {
  for (int fd = 0; fd <= 2; ++fd) {
    if (::fcntl(fd, F_GETFD) >= 0 || errno != EBADF)
      continue;
    const int held = ::open("/dev/null", O_RDONLY);
    if (held >= 0 && held != fd) {
      ::dup2(held, fd);
      ::close(held);
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  HoldClosedStandardStreams();
  const std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
  int status = 1;
  try {
    status = RunCli(args, std::cout, std::cerr);
  } catch (const std::exception& failure) {
    // Nothing is meant to get here; if something does, what was printed
    // stays printed and the run fails with the reason.
    std::cout.flush();
    std::cerr << "korvane-cli: " << failure.what() << '\n';
    status = 1;
  }
  // The recorder's progress lines go to the same standard output through C
  // stdio; RunCli has checked and reported its own stream, this checks the
  // rest.
  errno = 0;
  const bool stdioFailed = std::fflush(stdout) != 0 || std::ferror(stdout);
  if (stdioFailed && std::cout.good()) {
    const int error = errno;
    std::cerr << "korvane-cli: cannot write standard output: "
              << (error != 0 ? std::strerror(error) : "the output stream failed") << '\n';
    status = 1;
  }
  return status;
}
