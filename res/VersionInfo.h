#pragma once
// The version block of the program, carried as data so that the About box,
// the desktop metadata and the command-line companion agree.

#include <array>
#include <string>
#include <string_view>

namespace res {

struct VersionInfo {
  std::array<int, 4> fileVersion;
  std::array<int, 4> productVersion;
  int language;  // 0x0409, U.S. English
  int codePage;  // 1200, Unicode
  std::string_view companyName;
  std::string_view fileDescription;
  std::string_view fileVersionText;
  std::string_view internalName;
  std::string_view legalTrademarks;
  std::string_view originalFilename;
  std::string_view productName;
  std::string_view productVersionText;
};

inline constexpr VersionInfo kVersionInfo{
    {1, 0, 0, 1},
    {1, 0, 0, 1},
    0x0409,
    1200,
    "",
    "Korvane MFC Application",
    "1, 0, 0, 1",
    "Korvane",
    "",
    "Korvane.EXE",
    "Korvane Application",
    "1, 0, 0, 1",
};

// A version number in the dotted form desktops and manual pages use: 1.0.0.1.
inline std::string DottedVersion(const std::array<int, 4>& parts) {
  std::string text;
  for (const int part : parts) {
    if (!text.empty())
      text += '.';
    text += std::to_string(part);
  }
  return text;
}

}  // namespace res
