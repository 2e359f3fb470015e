#include "base/FileStatus.h"

#include <sys/stat.h>

#include <filesystem>
#include <set>
#include <system_error>
#include <utility>
#include <vector>

namespace base {

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

bool SameFile(const std::string& a, const std::string& b) {
  std::error_code error;
  return std::filesystem::equivalent(a, b, error) && !error;
}

std::optional<std::string> OutputOverInput(std::span<const std::string> inputs,
                                           std::span<const std::string> outputs) {
  using Identity = std::pair<dev_t, ino_t>;
  // The outputs first: most runs write new files, and then no input need
  // be asked for.
  std::vector<std::pair<Identity, std::size_t>> existing;
  struct stat info {};
  for (std::size_t i = 0; i < outputs.size(); ++i) {
    if (::stat(outputs[i].c_str(), &info) == 0)
      existing.emplace_back(Identity(info.st_dev, info.st_ino), i);
  }
  if (existing.empty())
    return std::nullopt;
  std::set<Identity> read;
  for (const std::string& input : inputs) {
    if (::stat(input.c_str(), &info) == 0)
      read.emplace(info.st_dev, info.st_ino);
  }
  for (const auto& [identity, index] : existing) {
    if (read.contains(identity))
      return outputs[index];
  }
  return std::nullopt;
}

std::string AbsolutePath(const std::string& path) {
  std::error_code error;
  const std::filesystem::path absolute = std::filesystem::absolute(path, error);
  return error ? path : absolute.string();
}

}  // namespace base
