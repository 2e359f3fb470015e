#pragma once
// Whole files as text or bytes, for tests that make their inputs and read
// outputs.

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace test_files {

// prefix, number and ending joined ("f", 3, ".png": "f3.png"), appended in
// turn: GCC 12 at -O3 takes "f" + a string for an overlapping copy and warns
// (a false -Wrestrict), which a build with warnings as errors cannot take.
inline std::string NumberedName(std::string_view prefix, long long number,
                                std::string_view ending) {
  std::string name(prefix);
  name += std::to_string(number);
  name += ending;
  return name;
}

inline std::string ReadText(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void WriteText(const std::filesystem::path& path, const std::string& text) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
}

inline std::vector<std::uint8_t> ReadBytes(const std::filesystem::path& path) {
  const std::string text = ReadText(path);
  return {text.begin(), text.end()};
}

inline void WriteBytes(const std::filesystem::path& path, std::span<const std::uint8_t> bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc)
      .write(reinterpret_cast<const char*>(bytes.data()), std::ssize(bytes));
}

}  // namespace test_files
