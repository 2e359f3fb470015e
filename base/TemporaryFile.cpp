#include "base/TemporaryFile.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace base {
namespace {

// The process's file creation mask, read once: reading it means setting it,
// and a command writing hundreds of files need not do that twice each time.
mode_t ProcessUmask() {
  static const mode_t mask = [] {
    const mode_t current = ::umask(0);
    ::umask(current);
    return current;
  }();
  return mask;
}

}  // namespace

int CreateTemporaryBeside(const std::string& path, std::string& temporary) {
  temporary = path + ".tmp-XXXXXX";
  const int fd = ::mkstemp(temporary.data());
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
