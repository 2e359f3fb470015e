#pragma once
// File helpers of korvane-cli: frame file names, sizes, whole-or-nothing
// writes of text and frame files (reading inputs: tools/InputFile.h). None
// of them throws.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace cli {

// The name of frame `frame` of the series under root: "%s_%04d.bmp".
std::string FrameFileName(std::string_view root, int frame);

// The size of the regular file at path, or nothing when there is none.
std::optional<std::uintmax_t> RegularFileSize(const std::string& path);
bool IsFolder(const std::string& path);

// Writes text to path through a temporary file in the same folder and a
// rename, so path ends up either complete or as it was. Returns what went
// wrong, or nothing.
std::optional<std::string> WriteFileAtomically(const std::string& path, std::string_view text);
// The same for content in pieces, written one after the other.
std::optional<std::string> WriteFileAtomically(
    const std::string& path, std::span<const std::span<const std::uint8_t>> pieces);

// Writes a frame buffer of width x height pixels as a frame file, byte for
// byte what the recorder writes, through a temporary file and a rename.
// Returns what went wrong (with the system's reason), or nothing.
std::optional<std::string> WriteFrameFileAtomically(const std::string& path,
                                                    std::span<const std::uint8_t> pixels, int width,
                                                    int height);

// The absolute form of path (relative to the current folder), or path itself
// when the current folder cannot be found.
std::string AbsolutePath(const std::string& path);

}  // namespace cli
