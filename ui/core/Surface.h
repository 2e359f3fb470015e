#pragma once
// A pixel surface owned by a picture control: what the control shows. Pixels
// are stored top row first, three bytes each in the order red, green, blue;
// each row is Stride() bytes (a multiple of four, so the Qt backend can show
// it without copying).

#include <cstdint>
#include <span>
#include <vector>

namespace ui {

class Surface {
 public:
  Surface() = default;
  // A new surface shows the dialogs' face grey until something is drawn.
  Surface(int width, int height, std::uint8_t grey = 0xF0);

  int Width() const { return m_width; }
  int Height() const { return m_height; }
  int Stride() const { return m_stride; }
  std::span<std::uint8_t> Bytes() { return m_bytes; }
  std::span<const std::uint8_t> Bytes() const { return m_bytes; }

  // The red, green and blue bytes of pixel (x, y), y counted from the top.
  // Coordinates outside the surface give nullptr.
  const std::uint8_t* Pixel(int x, int y) const;
  std::uint8_t* Row(int y) { return m_bytes.data() + static_cast<std::size_t>(y) * m_stride; }

  void Fill(std::uint8_t red, std::uint8_t green, std::uint8_t blue);

 private:
  int m_width = 0;
  int m_height = 0;
  int m_stride = 0;
  std::vector<std::uint8_t> m_bytes;
};

}  // namespace ui
