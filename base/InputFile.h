#pragma once
// Input files of korvane-cli: each must be a regular file, and when one
// cannot be used the message names the kind of fault in plain words (missing,
// not a regular file, permission denied, read error) with the system's reason.
// Opening never waits: a FIFO or a device named as an input is refused
// without being read.

#include <cstddef>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>

namespace base {

struct FileFault {
  enum class Kind { Missing, NotRegular, PermissionDenied, CannotOpen, ReadError, TooLarge };
  Kind kind;
  int error = 0;            // errno, where the system gave one
  std::string detail = {};  // the kind of file (NotRegular), the limit (TooLarge)

  // "missing", "not a regular file (a FIFO)", "read error (Input/output error)".
  std::string Describe() const;
};

// Why path cannot be opened as a regular file for reading: for a caller
// whose own open failed. A file that opens after all gives CannotOpen.
FileFault WhyNotOpened(const std::string& path);

// Opens the regular file at path for reading, without waiting (a FIFO is
// refused, never opened for good): its descriptor in fd, the caller's to
// close, or the fault.
std::optional<FileFault> OpenRegularFile(const std::string& path, int& fd);

// The same, for a caller that only asks: the file is closed again at once.
// Its fault, or nothing when it can be read.
std::optional<FileFault> UnreadableFileFault(const std::string& path);

// Why path names no regular file, asked without opening it (Missing,
// NotRegular, PermissionDenied where a folder on the way may not be
// searched), or nothing.
std::optional<FileFault> RegularFileFault(const std::string& path);

// The largest text input a command reads (a track file, a measured path):
// far above any file the program writes or reads, far below the memory.
inline constexpr std::size_t kMaxTextFileBytes = std::size_t{16} << 20;

// Reads all of the regular file at path into text, up to maxBytes.
std::optional<FileFault> ReadWholeFile(const std::string& path, std::size_t maxBytes,
                                       std::string& text);

struct StreamCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using StreamPtr = std::unique_ptr<std::FILE, StreamCloser>;

// A read-only stream over text, which must outlive it. Null when the system
// cannot make one (out of memory).
StreamPtr OpenTextStream(std::string& text);

}  // namespace base
