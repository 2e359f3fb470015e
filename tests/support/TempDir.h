#pragma once
// A fresh, empty folder under /tmp for the lifetime of one object, removed with
// everything in it when the object is destroyed. Tests use it to keep the files
// they write away from the source tree and from each other.

#include <filesystem>
#include <string>
#include <string_view>

class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& Path() const { return m_path; }

  // The full path of the file or folder named name inside this folder, as text
  // ready for functions that take a C string.
  std::string FilePath(std::string_view name) const;

 private:
  std::filesystem::path m_path;
};
