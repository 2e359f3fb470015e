#include "base/InputFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace base {
namespace {

// A file descriptor closed when the object goes.
class FileDescriptor {
 public:
  explicit FileDescriptor(int fd) : m_fd(fd) {}
  ~FileDescriptor() {
    if (m_fd >= 0)
      ::close(m_fd);
  }
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;

  int Get() const { return m_fd; }

 private:
  int m_fd;
};

std::string KindOfFile(mode_t mode) {
  if (S_ISDIR(mode))
    return "a folder";
  if (S_ISFIFO(mode))
    return "a FIFO";
  if (S_ISCHR(mode))
    return "a character device";
  if (S_ISBLK(mode))
    return "a block device";
  if (S_ISSOCK(mode))
    return "a socket";
  return "of an unknown kind";
}

FileFault OpenFault(int error) {
  switch (error) {
    case ENOENT:
    case ENOTDIR:
      return {FileFault::Kind::Missing, error};
    case EACCES:
    case EPERM:
      return {FileFault::Kind::PermissionDenied, error};
    default:
      return {FileFault::Kind::CannotOpen, error};
  }
}

}  // namespace

std::string FileFault::Describe() const {
  // The system's reason follows the words, unless it is what they say.
  const auto withReason = [this](std::string words, int ownError) {
    if (error != 0 && error != ownError)
      words += std::string(" (") + std::strerror(error) + ")";
    return words;
  };
  switch (kind) {
    case Kind::Missing:
      return withReason("missing", ENOENT);
    case Kind::NotRegular:
      return "not a regular file (" + detail + ")";
    case Kind::PermissionDenied:
      return withReason("permission denied", EACCES);
    case Kind::CannotOpen:
      return withReason("cannot be opened", 0);
    case Kind::ReadError:
      return withReason("read error", 0);
    case Kind::TooLarge:
      return "larger than " + detail + " bytes; not read";
  }
  return "cannot be used";
}

std::optional<FileFault> OpenRegularFile(const std::string& path, int& fd) {
  do {
    fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0)
    return OpenFault(errno);
  struct stat info {};
  if (::fstat(fd, &info) != 0) {
    const int error = errno;
    ::close(fd);
    return FileFault{FileFault::Kind::CannotOpen, error};
  }
  if (!S_ISREG(info.st_mode)) {
    ::close(fd);
    return FileFault{FileFault::Kind::NotRegular, 0, KindOfFile(info.st_mode)};
  }
  return std::nullopt;
}

std::optional<FileFault> UnreadableFileFault(const std::string& path) {
  int raw = -1;
  if (std::optional<FileFault> fault = OpenRegularFile(path, raw))
    return fault;
  const FileDescriptor fd(raw);
  return std::nullopt;
}

std::optional<FileFault> RegularFileFault(const std::string& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0)
    return OpenFault(errno);
  if (!S_ISREG(info.st_mode))
    return FileFault{FileFault::Kind::NotRegular, 0, KindOfFile(info.st_mode)};
  return std::nullopt;
}

FileFault WhyNotOpened(const std::string& path) {
  if (std::optional<FileFault> fault = UnreadableFileFault(path))
    return *fault;
  return {FileFault::Kind::CannotOpen};
}

std::optional<FileFault> ReadWholeFile(const std::string& path, std::size_t maxBytes,
                                       std::string& text) {
  int raw = -1;
  if (const std::optional<FileFault> fault = OpenRegularFile(path, raw))
    return fault;
  const FileDescriptor fd(raw);
  // The size on record is only a hint (files under /proc say 0): the file is
  // read to its end, one byte past the limit at most.
  text.clear();
  char block[65536];
  while (true) {
    const std::size_t room = maxBytes + 1 - text.size();
    const ssize_t got = ::read(fd.Get(), block, std::min(sizeof block, room));
    if (got < 0 && errno == EINTR)
      continue;
    if (got < 0)
      return FileFault{FileFault::Kind::ReadError, errno};
    if (got == 0)
      return std::nullopt;
    text.append(block, static_cast<std::size_t>(got));
    if (text.size() > maxBytes) {
      text.clear();
      return FileFault{FileFault::Kind::TooLarge, 0, std::to_string(maxBytes)};
    }
  }
}

StreamPtr OpenTextStream(std::string& text) {
  // fmemopen takes a buffer of size 0 too; data() is never null.
  return StreamPtr(::fmemopen(text.data(), text.size(), "r"));
}

}  // namespace base
