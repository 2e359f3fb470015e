#pragma once
// What a path names, asked without opening it. None of these throws.

#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace base {

// The size of the regular file at path, or nothing when there is none.
std::optional<std::uintmax_t> RegularFileSize(const std::string& path);
bool IsFolder(const std::string& path);

// Whether a and b name one existing file or folder (the same device and
// inode), whatever the paths say.
bool SameFile(const std::string& a, const std::string& b);

// The first of `outputs` that names the same existing file as one of
// `inputs` (the same device and inode, however it is reached: another
// name, a hard link, a symbolic link, a bind mount), or nothing. An output
// that does not exist yet is no input.
std::optional<std::string> OutputOverInput(std::span<const std::string> inputs,
                                           std::span<const std::string> outputs);

// The absolute form of path (relative to the current folder), or path itself
// when the current folder cannot be found.
std::string AbsolutePath(const std::string& path);

}  // namespace base
