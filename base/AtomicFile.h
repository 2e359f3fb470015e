#pragma once
// Whole-or-nothing output files: a file is written under a temporary name in
// its own folder and renamed into place, so it ends up either complete or as
// it was, and an interrupt leaves no temporary file behind.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace base {

// Writes text to path. Returns what went wrong (with the system's reason),
// or nothing.
std::optional<std::string> WriteFileAtomically(const std::string& path, std::string_view text);
// The same for content in pieces, written one after the other.
std::optional<std::string> WriteFileAtomically(
    const std::string& path, std::span<const std::span<const std::uint8_t>> pieces);

}  // namespace base
