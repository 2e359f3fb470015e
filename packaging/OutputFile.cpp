#include "packaging/OutputFile.h"

#include <cstdio>

#include "base/BinaryFile.h"

int WriteOutputFile(const char* program, const char* path, std::span<const std::byte> bytes) {
  base::BinaryFile file;
  if (!file.Open(path, base::BinaryFile::Mode::CreateTruncate)) {
    std::fprintf(stderr, "%s: cannot create %s\n", program, path);
    return 1;
  }
  try {
    file.Write(bytes.data(), bytes.size());
    file.Close();
  } catch (const base::FileException& error) {
    std::fprintf(stderr, "%s: cannot write %s: %s\n", program, path, error.what());
    return 1;
  }
  return 0;
}
