#include "base/TemporaryFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>

namespace base {
namespace {

// The process's file creation mask, read once: from the kernel's status
// file where it says, which leaves the mask alone; else by setting it and
// putting it back.
mode_t ProcessUmask() {
  static const mode_t mask = [] {
    if (std::FILE* status = std::fopen("/proc/self/status", "re")) {
      char line[128];
      unsigned value = 0;
      bool found = false;
      while (!found && std::fgets(line, sizeof line, status) != nullptr)
        found = std::sscanf(line, "Umask: %o", &value) == 1;
      std::fclose(status);
      if (found)
        return static_cast<mode_t>(value);
    }
    const mode_t current = ::umask(0);
    ::umask(current);
    return current;
  }();
  return mask;
}

}  // namespace

int CreateTemporaryBeside(const std::string& path, std::string& temporary) {
  temporary = path + ".tmp-XXXXXX";
  const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
  if (fd < 0)
    return -1;
  // mkstemp makes the file readable by its owner only; the finished file
  // gets the permissions any new file would.
  if (::fchmod(fd, 0666 & ~ProcessUmask()) != 0) {
    const int error = errno;
    ::close(fd);
    ::unlink(temporary.c_str());
    errno = error;
    return -1;
  }
  return fd;
}

}  // namespace base
