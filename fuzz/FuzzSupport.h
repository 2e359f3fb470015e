#pragma once
// What the fuzz targets share: a trap for broken promises, the writing of an
// input into a scratch file, and the scratch folder itself. Header-only: each
// fuzz/<name>.cpp is a target of its own and includes this once.

#include <cstddef>
#include <cstdio>
#include <string>

#include "base/BinaryFile.h"
#include "base/TempFolder.h"

namespace fuzz {

// Traps, so the fuzzer keeps the input, when a promise of the code under test
// does not hold.
inline void Check(bool condition) {
  if (!condition) {
    __builtin_trap();
  }
}

// This process's scratch folder, made on first use and removed, with every
// input file written into it, when the fuzzer exits.
inline const base::TempFolder& ScratchFolder() {
  static const base::TempFolder folder("korvane-fuzz", base::TempFolder::Need::Required);
  return folder;
}

// Writes a fresh file rather than truncating the old one: on a disk file
// system a truncated and rewritten file is flushed when it is closed.
inline void WriteFreshFile(const std::string& path, const void* data, std::size_t size) {
  std::remove(path.c_str());
  base::BinaryFile file;
  Check(file.Open(path.c_str(), base::BinaryFile::Mode::CreateTruncate));
  file.Write(data, size);
}

}  // namespace fuzz
