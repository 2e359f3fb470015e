#include "base/BinaryFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace base {

FileException::FileException(const char* fileName, int error)
    : std::runtime_error(std::string("File error on \"") + fileName +
                         "\": " + std::strerror(error)),
      m_error(error) {}

BinaryFile::~BinaryFile() {
  Close();
}

bool BinaryFile::Open(const char* fileName, Mode mode) {
  Close();
  // Opened without blocking, so that a pipe named like a frame file cannot
  // stall the program waiting for a writer. The flag changes nothing for the
  // regular files that are kept; any other file kept gets blocking I/O back.
  const int flags = (mode == Mode::Read ? O_RDONLY : (O_WRONLY | O_CREAT | O_TRUNC)) | O_NONBLOCK;
  int fd;
  do {
    fd = ::open(fileName, flags | O_CLOEXEC, 0666);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0)
    return false;
  // Only regular files are read: a folder or a pipe would open here but is no
  // file, and callers should see "cannot be opened" rather than an error or a
  // stall later.
  struct stat info {};
  const bool statOk = ::fstat(fd, &info) == 0;
  const bool refused =
      !statOk || S_ISDIR(info.st_mode) || (mode == Mode::Read && !S_ISREG(info.st_mode));
  const bool restoreBlocking = !refused && !S_ISREG(info.st_mode);
  if (refused ||
      (restoreBlocking && ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0)) {
    ::close(fd);
    return false;
  }
  m_fd = fd;
  std::snprintf(m_fileName, sizeof m_fileName, "%s", fileName);
  return true;
}

std::size_t BinaryFile::Read(void* buffer, std::size_t count) {
  auto* out = static_cast<unsigned char*>(buffer);
  std::size_t done = 0;
  while (done < count) {
    const ssize_t got = ::read(m_fd, out + done, count - done);
    if (got == 0)
      break;
    if (got < 0) {
      // errno is taken before the throw, which may allocate and change it.
      const int error = errno;
      if (error == EINTR)
        continue;
      throw FileException(m_fileName, error);
    }
    done += static_cast<std::size_t>(got);
  }
  return done;
}

void BinaryFile::Write(const void* buffer, std::size_t count) {
  const auto* in = static_cast<const unsigned char*>(buffer);
  std::size_t done = 0;
  while (done < count) {
    const ssize_t put = ::write(m_fd, in + done, count - done);
    if (put == 0)
      throw FileException(m_fileName, EIO);  // no progress: never loop on it
    if (put < 0) {
      const int error = errno;
      if (error == EINTR)
        continue;
      throw FileException(m_fileName, error);
    }
    done += static_cast<std::size_t>(put);
  }
}

void BinaryFile::Close() {
  if (m_fd >= 0) {
    ::close(m_fd);
    m_fd = -1;
  }
}

}  // namespace base
