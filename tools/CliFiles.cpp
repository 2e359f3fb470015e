#include "tools/CliFiles.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "base/InterruptCleanup.h"
#include "base/TemporaryFile.h"
#include "image/BmpFile.h"
#include "image/ImageBytes.h"

namespace cli {

std::string FrameFileName(std::string_view root, int frame) {
  // Room for "_-2147483648.bmp" and the zero.
  char number[24];
  std::snprintf(number, sizeof number, "_%04d.bmp", frame);
  return std::string(root) + number;
}

std::optional<std::uintmax_t> RegularFileSize(const std::string& path) {
  std::error_code error;
  if (!std::filesystem::is_regular_file(path, error))
    return std::nullopt;
  const std::uintmax_t size = std::filesystem::file_size(path, error);
  if (error)
    return std::nullopt;
  return size;
}

bool IsFolder(const std::string& path) {
  std::error_code error;
  return std::filesystem::is_directory(path, error);
}

std::optional<std::string> WriteFileAtomically(const std::string& path, std::string_view text) {
  const std::span<const std::uint8_t> piece(reinterpret_cast<const std::uint8_t*>(text.data()),
                                            text.size());
  return WriteFileAtomically(path, std::span(&piece, 1));
}

std::optional<std::string> WriteFileAtomically(
    const std::string& path, std::span<const std::span<const std::uint8_t>> pieces) {
  std::string temporary;
  const int fd = base::CreateTemporaryBeside(path, temporary);
  if (fd < 0)
    return "cannot create a file beside " + path + ": " + std::strerror(errno);
  const base::RemovedOnInterrupt interrupted(temporary);

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

std::optional<std::string> WriteFrameFileAtomically(const std::string& path,
                                                    std::span<const std::uint8_t> pixels, int width,
                                                    int height) {
  const std::optional<std::size_t> bytes = ImageBytes(width, height);
  if (!bytes || pixels.size() < *bytes)
    return "cannot write " + path + ": the frame buffer does not hold " + std::to_string(width) +
           " x " + std::to_string(height) + " pixels";
  const BmpHeaders headers = MakeBmpHeaders(width, height);
  const std::span<const std::uint8_t> pieces[] = {headers, pixels.first(*bytes)};
  return WriteFileAtomically(path, pieces);
}

std::string AbsolutePath(const std::string& path) {
  std::error_code error;
  const std::filesystem::path absolute = std::filesystem::absolute(path, error);
  return error ? path : absolute.string();
}

}  // namespace cli
