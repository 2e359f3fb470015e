#pragma once
// The names of the entries of a folder, sorted: what a test compares to say
// which files a command left behind.

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

inline std::vector<std::string> FilesIn(const std::filesystem::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder))
    names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}
