#pragma once
// A minimal PNG encoder for small images such as icons: 8-bit RGBA, no
// filtering, and the image data in stored (uncompressed) deflate blocks, so no
// compression library is needed. Readers accept such files like any other.

#include <cstdint>
#include <span>
#include <vector>

// The PNG file of a width × height image given as 0xAARRGGBB pixels, top row
// first. Empty when the dimensions are not positive or do not match the
// number of pixels.
std::vector<std::uint8_t> EncodePng(int width, int height, std::span<const std::uint32_t> argb);

// CRC-32 as PNG chunks use it (polynomial 0xEDB88320, inverted in and out).
std::uint32_t Crc32(std::span<const std::uint8_t> bytes);

// Adler-32 as the zlib stream inside a PNG uses it.
std::uint32_t Adler32(std::span<const std::uint8_t> bytes);
