#include "base/TemporaryFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdint>
#include <functional>
#include <random>

namespace base {
namespace {

constexpr std::string_view kFileSuffix = ".tmp-";
constexpr std::size_t kUniqueLength = 6;
// Names tried before giving up: each is one of 62^6, so only a folder that
// refuses every name (or a broken generator) gets this far.
constexpr int kTries = 100;

// A well-mixed 64-bit value: the splitmix64 finaliser.
std::uint64_t Mixed(std::uint64_t z) {
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
  return z ^ (z >> 31);
}

// Six letters and digits, different at every call of any thread. The
// process id goes into each, so a child forked from this process (which
// inherits the counter) draws other names.
std::string UniquePart() {
  static std::atomic<std::uint64_t> counter{[] {
    std::random_device device;
    const auto now = std::chrono::steady_clock::now().time_since_epoch().count();
    return (std::uint64_t{device()} << 32) ^ std::uint64_t{device()} ^
           static_cast<std::uint64_t>(now);
  }()};
  constexpr std::string_view kAlphabet =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
  std::uint64_t bits = Mixed(counter.fetch_add(0x9E3779B97F4A7C15ULL, std::memory_order_relaxed) ^
                             (static_cast<std::uint64_t>(::getpid()) << 40));
  std::string part(kUniqueLength, 'X');
  for (char& c : part) {
    c = kAlphabet[bits % kAlphabet.size()];
    bits /= kAlphabet.size();
  }
  return part;
}

// path with its name part cut so that the name plus `added` bytes is still
// a file name (NAME_MAX bytes at most) and the whole a path (below
// PATH_MAX). At least one byte of the name stays.
std::string RoomFor(const std::string& path, std::size_t added) {
  const std::size_t slash = path.rfind('/');
  const std::size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
  std::size_t keep = path.size() - nameStart;
  if (keep + added > NAME_MAX)
    keep = NAME_MAX - added;
  if (nameStart + keep + added >= PATH_MAX)
    keep = PATH_MAX - 1 - added > nameStart ? PATH_MAX - 1 - added - nameStart : 0;
  return path.substr(0, nameStart + std::max<std::size_t>(keep, 1));
}

// Makes a new file or folder under names `stem` + a unique part, each named
// to `removal` before `make` tries it. Returns the name made, or empty with
// errno set.
std::string MakeUnique(const std::string& stem, RemovedOnInterrupt& removal,
                       const std::function<bool(const char*)>& make) {
  for (int tries = 0; tries < kTries; ++tries) {
    std::string name = stem + UniquePart();
    removal.Set(name);
    if (make(name.c_str()))
      return name;
    const int error = errno;
    removal.Clear();
    errno = error;
    if (error != EEXIST)
      return {};
  }
  errno = EEXIST;
  return {};
}

}  // namespace

int CreateTemporaryBeside(const std::string& path, std::string& temporary,
                          RemovedOnInterrupt& removal) {
  const std::string stem =
      RoomFor(path, kFileSuffix.size() + kUniqueLength) + std::string(kFileSuffix);
  int fd = -1;
  // The mode goes through the process's file creation mask, as for any new
  // file; O_EXCL makes the name the run's own.
  temporary = MakeUnique(stem, removal, [&fd](const char* name) {
    do {
      fd = ::open(name, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    } while (fd < 0 && errno == EINTR);
    return fd >= 0;
  });
  return temporary.empty() ? -1 : fd;
}

std::string MakeTemporaryFolder(const std::string& prefix, RemovedOnInterrupt& removal) {
  return MakeUnique(prefix + "-", removal,
                    [](const char* name) { return ::mkdir(name, 0700) == 0; });
}

}  // namespace base
