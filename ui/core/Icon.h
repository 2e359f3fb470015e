#pragma once
// Icons as data: 16-colour images drawn as text, one character a pixel.
// '0'..'9' and 'A'..'F' index the standard 16-colour palette; '.' is
// transparent. An icon resource carries a large and a small image.

#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

namespace ui {

struct IconImage {
  int size = 0;           // width and height in pixels
  std::string_view rows;  // size × size characters, top row first
};

struct IconResource {
  int id = 0;
  IconImage large;  // 32 × 32
  IconImage small;  // 16 × 16
};

using HICON = const IconResource*;

// The 16-colour palette as 0xRRGGBB.
inline constexpr std::array<std::uint32_t, 16> kIconPalette = {
    0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0xC0C0C0,
    0x808080, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF,
};

// Expands an image to 0xAARRGGBB pixels, top row first; transparent pixels get
// alpha 0. Characters outside the alphabet count as transparent.
std::vector<std::uint32_t> IconToArgb(const IconImage& image);

}  // namespace ui
