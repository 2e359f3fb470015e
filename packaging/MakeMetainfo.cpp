// Build-time helper: fills the AppStream metainfo template with the values of
// the program's version block, so the desktop metadata always agrees with
// what the About box and the companion report.
//
//   korvane_make_metainfo TEMPLATE OUTPUT
//
// The template names each value by a placeholder; every placeholder must
// occur, so a template that lost one fails the build instead of shipping
// metadata without a version.

#include <array>
#include <cstdio>
#include <span>
#include <string>
#include <string_view>

#include "base/BinaryFile.h"
#include "packaging/OutputFile.h"
#include "res/VersionInfo.h"

namespace {

struct Placeholder {
  std::string_view key;
  std::string value;
};

// The text as XML character data.
std::string EscapeXml(std::string_view text) {
  std::string out;
  for (const char c : text) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      default:
        out += c;
    }
  }
  return out;
}

bool ReadAll(const char* path, std::string& text) {
  base::BinaryFile file;
  if (!file.Open(path, base::BinaryFile::Mode::Read)) {
    return false;
  }
  std::array<char, 4096> chunk{};
  for (std::size_t got = file.Read(chunk.data(), chunk.size()); got > 0;
       got = file.Read(chunk.data(), chunk.size())) {
    text.append(chunk.data(), got);
  }
  return true;
}

// Replaces every occurrence of the key; false when there is none.
bool Substitute(std::string& text, const Placeholder& placeholder) {
  bool found = false;
  for (std::size_t at = text.find(placeholder.key); at != std::string::npos;
       at = text.find(placeholder.key, at + placeholder.value.size())) {
    text.replace(at, placeholder.key.size(), placeholder.value);
    found = true;
  }
  return found;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: korvane_make_metainfo TEMPLATE OUTPUT\n");
    return 2;
  }
  std::string text;
  if (!ReadAll(argv[1], text)) {
    std::fprintf(stderr, "korvane_make_metainfo: cannot read %s\n", argv[1]);
    return 1;
  }

  const res::VersionInfo& version = res::kVersionInfo;
  const std::array<Placeholder, 2> placeholders = {{
      {"@VERSION@", res::DottedVersion(version.productVersion)},
      {"@NAME@", EscapeXml(version.internalName)},
  }};
  for (const Placeholder& placeholder : placeholders) {
    if (!Substitute(text, placeholder)) {
      std::fprintf(stderr, "korvane_make_metainfo: %s does not contain %.*s\n", argv[1],
                   static_cast<int>(placeholder.key.size()), placeholder.key.data());
      return 1;
    }
  }

  return WriteOutputFile("korvane_make_metainfo", argv[2], std::as_bytes(std::span(text)));
}
