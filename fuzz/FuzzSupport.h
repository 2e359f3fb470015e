#pragma once
// What the fuzz targets share: a trap for broken promises and a scratch
// folder for the files an input is written into. Header-only: each
// fuzz/<name>.cpp is a target of its own and includes this once.

#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

#include "ui/core/BinaryFile.h"

namespace fuzz {

// Traps, so the fuzzer keeps the input, when a promise of the code under test
// does not hold.
inline void Check(bool condition) {
  if (!condition) {
    __builtin_trap();
  }
}

// The folder for scratch files: $TMPDIR when set (scripts/fuzz.sh points it
// at a memory file system, where rewriting a file for every input costs
// microseconds rather than a disk flush), else /tmp.
inline std::filesystem::path TempRoot() {
  std::error_code error;
  const std::filesystem::path root = std::filesystem::temp_directory_path(error);
  return error ? std::filesystem::path("/tmp") : root;
}

// A folder of the process's own under TempRoot(), named prefix-XXXXXX and
// removed with its content when the fuzzer exits. Nothing can be fuzzed
// without it, so the process stops with a message naming `target` when none
// can be made.
class ScratchFolder {
 public:
  ScratchFolder(const char* prefix, const char* target) {
    std::string pattern = (TempRoot() / (std::string(prefix) + "-XXXXXX")).string();
    if (::mkdtemp(pattern.data()) == nullptr) {
      std::perror((std::string(target) + ": cannot create a scratch folder").c_str());
      std::abort();
    }
    m_path = pattern;
  }
  ~ScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(m_path, ignored);
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  std::string File(const char* name) const { return (m_path / name).string(); }

 private:
  std::filesystem::path m_path;
};

// Writes a fresh file rather than truncating the old one: on a disk file
// system a truncated and rewritten file is flushed when it is closed.
inline void WriteFreshFile(const std::string& path, const void* data, std::size_t size) {
  std::remove(path.c_str());
  ui::BinaryFile file;
  Check(file.Open(path.c_str(), ui::BinaryFile::Mode::CreateTruncate));
  file.Write(data, size);
}

}  // namespace fuzz
