#include "base/AtomicFile.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "base/InterruptCleanup.h"
#include "base/TemporaryFile.h"

namespace base {

std::optional<std::string> WriteFileAtomically(const std::string& path, std::string_view text) {
  const std::span<const std::uint8_t> piece(reinterpret_cast<const std::uint8_t*>(text.data()),
                                            text.size());
  return WriteFileAtomically(path, std::span(&piece, 1));
}

std::optional<std::string> WriteFileAtomically(
    const std::string& path, std::span<const std::span<const std::uint8_t>> pieces) {
  std::string temporary;
  RemovedOnInterrupt interrupted;
  const int fd = CreateTemporaryBeside(path, temporary, interrupted);
  if (fd < 0)
    return "cannot create a file beside " + path + ": " + std::strerror(errno);

  int writeError = 0;
  for (const std::span<const std::uint8_t> piece : pieces) {
    std::size_t done = 0;
    while (writeError == 0 && done < piece.size()) {
      const ssize_t put = ::write(fd, piece.data() + done, piece.size() - done);
      if (put < 0 && errno == EINTR)
        continue;
      if (put <= 0) {
        writeError = put < 0 ? errno : EIO;
        break;
      }
      done += static_cast<std::size_t>(put);
    }
  }
  if (::close(fd) != 0 && writeError == 0)
    writeError = errno;
  if (writeError == 0 && std::rename(temporary.c_str(), path.c_str()) != 0)
    writeError = errno;
  if (writeError != 0) {
    ::unlink(temporary.c_str());
    return "cannot write " + path + ": " + std::strerror(writeError);
  }
  return std::nullopt;
}

}  // namespace base
