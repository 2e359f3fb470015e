#pragma once
// What the fuzz targets share: a trap for broken promises, the writing of an
// input into a scratch file, the scratch folder itself, and a stream over an
// input held in memory. Header-only: each
// fuzz/<name>.cpp is a target of its own and includes this once.

#include <cstddef>
#include <cstdint>
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

// A read-only stream over the input, for code that reads an open file: the
// same bytes as a file holding the input, without a file system call.
class InputStream {
 public:
  InputStream(const std::uint8_t* data, std::size_t size)
      // A stream opened for reading never writes to its buffer.
      : m_file(::fmemopen(const_cast<std::uint8_t*>(size > 0 ? data : &m_empty), size, "r")) {
    Check(m_file != nullptr);
  }
  ~InputStream() { std::fclose(m_file); }
  InputStream(const InputStream&) = delete;
  InputStream& operator=(const InputStream&) = delete;

  std::FILE* Get() const { return m_file; }

 private:
  std::uint8_t m_empty = 0;  // a buffer for an empty input, whose data may be null
  std::FILE* m_file;
};

}  // namespace fuzz
