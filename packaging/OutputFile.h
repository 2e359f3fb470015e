#pragma once
// How the packaging generators write what they make.

#include <cstddef>
#include <span>

// Writes bytes to path, made or emptied first. On failure it says so on
// standard error, naming program and the file, and returns 1; else 0, so a
// generator's main can return what it gives.
int WriteOutputFile(const char* program, const char* path, std::span<const std::byte> bytes);
