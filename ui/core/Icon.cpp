#include "ui/core/Icon.h"

namespace ui {

std::vector<std::uint32_t> IconToArgb(const IconImage& image) {
  const std::size_t count =
      static_cast<std::size_t>(image.size) * static_cast<std::size_t>(image.size);
  std::vector<std::uint32_t> pixels(count, 0);
  for (std::size_t i = 0; i < count && i < image.rows.size(); ++i) {
    const char c = image.rows[i];
    int index = -1;
    if (c >= '0' && c <= '9')
      index = c - '0';
    if (c >= 'A' && c <= 'F')
      index = c - 'A' + 10;
    if (index >= 0)
      pixels[i] = 0xFF000000u | kIconPalette[static_cast<std::size_t>(index)];
  }
  return pixels;
}

}  // namespace ui
