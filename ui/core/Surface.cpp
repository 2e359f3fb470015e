#include "ui/core/Surface.h"

namespace ui {

Surface::Surface(int width, int height, std::uint8_t grey)
    : m_width(width > 0 ? width : 0),
      m_height(height > 0 ? height : 0),
      m_stride((m_width * 3 + 3) / 4 * 4),
      m_bytes(static_cast<std::size_t>(m_stride) * static_cast<std::size_t>(m_height), grey) {}

const std::uint8_t* Surface::Pixel(int x, int y) const {
  if (x < 0 || y < 0 || x >= m_width || y >= m_height)
    return nullptr;
  return m_bytes.data() + static_cast<std::size_t>(y) * m_stride + static_cast<std::size_t>(x) * 3;
}

void Surface::Fill(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
  for (int y = 0; y < m_height; ++y) {
    std::uint8_t* row = Row(y);
    for (int x = 0; x < m_width; ++x) {
      row[x * 3] = red;
      row[x * 3 + 1] = green;
      row[x * 3 + 2] = blue;
    }
  }
}

}  // namespace ui
