#pragma once
// Whole files as text, for tests that make their inputs and read outputs.

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace test_files {

inline std::string ReadText(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void WriteText(const std::filesystem::path& path, const std::string& text) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
}

}  // namespace test_files
