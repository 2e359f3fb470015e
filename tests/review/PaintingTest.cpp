// Painting is clipped soundly: a shape painted on a small canvas gives
// exactly the part of it that the same shape gives on a larger one, nothing
// is written outside the canvas's rows whatever the positions or the sizes
// claim, and labels always land whole on the picture.

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "review/BitmapFont.h"
#include "review/Painting.h"

namespace {

using review::Canvas;
using review::PixelRect;
using review::Rgb;

constexpr Rgb kInk{200, 40, 90};
constexpr std::uint8_t kGuard = 0xA5;

// A canvas of width x height in the middle of a buffer whose bytes before
// and after it must stay as they are.
class GuardedCanvas {
 public:
  GuardedCanvas(int width, int height, std::size_t guard = 64)
      : m_width(width),
        m_height(height),
        m_guard(guard),
        m_bytes(guard * 2 + static_cast<std::size_t>(width) * height * 3, kGuard) {
    std::fill(m_bytes.begin() + static_cast<std::ptrdiff_t>(guard),
              m_bytes.end() - static_cast<std::ptrdiff_t>(guard), 0);
  }
  Canvas View() {
    return {std::span(m_bytes).subspan(m_guard, m_bytes.size() - 2 * m_guard), m_width, m_height};
  }
  bool GuardsIntact() const {
    for (std::size_t i = 0; i < m_guard; ++i) {
      if (m_bytes[i] != kGuard || m_bytes[m_bytes.size() - 1 - i] != kGuard)
        return false;
    }
    return true;
  }

 private:
  int m_width;
  int m_height;
  std::size_t m_guard;
  std::vector<std::uint8_t> m_bytes;
};

enum class Shape { kRect, kRing, kPlus, kText };

void Paint(Canvas canvas, Shape shape, std::int64_t x, std::int64_t y, int a, int b) {
  switch (shape) {
    case Shape::kRect:
      review::FillRect(canvas, {x, y, x + a, y + b}, kInk);
      break;
    case Shape::kRing:
      review::PaintRing(canvas, {x, y, x + a, y + b}, 1 + b % 4, kInk);
      break;
    case Shape::kPlus:
      review::PaintPlus(canvas, x, y, a % 9, 1 + b % 3, kInk);
      break;
    case Shape::kText:
      review::PaintText(canvas, x, y, "Aq7|%" + std::to_string(a), 1 + b % 3, kInk);
      break;
  }
}

TEST(Painting, AShapeOnASmallCanvasIsTheMatchingPartOfItOnALargeOne) {
  constexpr int kWidth = 23;
  constexpr int kHeight = 17;
  constexpr int kMargin = 60;
  std::mt19937 random(18);
  std::uniform_int_distribution<int> position(-50, 70);
  std::uniform_int_distribution<int> size(0, 40);
  for (int trial = 0; trial < 2000; ++trial) {
    const auto shape = static_cast<Shape>(trial % 4);
    const int x = position(random);
    const int y = position(random);
    const int a = size(random);
    const int b = size(random);
    GuardedCanvas small(kWidth, kHeight);
    Paint(small.View(), shape, x, y, a, b);
    ASSERT_TRUE(small.GuardsIntact()) << trial;
    GuardedCanvas large(kWidth + 2 * kMargin + 80, kHeight + 2 * kMargin + 80);
    Paint(large.View(), shape, x + kMargin, y + kMargin, a, b);
    for (int py = 0; py < kHeight; ++py) {
      for (int px = 0; px < kWidth; ++px)
        ASSERT_EQ(small.View().At(px, py), large.View().At(px + kMargin, py + kMargin))
            << "trial " << trial << " shape " << static_cast<int>(shape) << " at " << px << ", "
            << py;
    }
  }
}

TEST(Painting, NoPositionOrClaimedSizeReachesPastTheRows) {
  constexpr std::int64_t kHuge = std::numeric_limits<std::int64_t>::max() / 4;
  GuardedCanvas guarded(9, 7);
  Canvas canvas = guarded.View();
  // A canvas that claims more rows than its bytes hold paints only those.
  canvas.height = 1000;
  EXPECT_EQ(canvas.Rows(), 7);
  review::FillRect(canvas, {-kHuge, -kHuge, kHuge, kHuge}, kInk);
  review::PaintRing(canvas, {-kHuge, -kHuge, kHuge, kHuge}, 1 << 30, kInk);
  review::PaintPlus(canvas, 4, 500, 1 << 30, 1 << 30, kInk);
  review::PaintText(canvas, -kHuge, kHuge, "far away", 1 << 20, kInk);
  review::PaintLabel(canvas, kHuge, kHuge, "12345678901234567890", 5, kInk, kInk);
  EXPECT_TRUE(guarded.GuardsIntact());
  EXPECT_EQ(canvas.At(8, 6), kInk);
  // No width, no rows, or an empty span: nothing at all is painted.
  std::vector<std::uint8_t> bytes(30, kGuard);
  for (const Canvas odd :
       {Canvas{bytes, 0, 10}, Canvas{bytes, -3, 10}, Canvas{bytes, 20, 1}, Canvas{{}, 5, 5}}) {
    review::FillRect(odd, {0, 0, 100, 100}, kInk);
    review::PaintLabel(odd, 0, 0, "x", 1, kInk, kInk);
  }
  EXPECT_EQ(bytes, std::vector<std::uint8_t>(30, kGuard));
}

TEST(Painting, ARingIsItsBandJustInsideTheRectangle) {
  review::Picture picture(30, 30);
  const Canvas canvas = picture.View();
  const PixelRect outer{5, 6, 25, 20};
  review::PaintRing(canvas, outer, 3, kInk);
  for (int y = 0; y < 30; ++y) {
    for (int x = 0; x < 30; ++x) {
      const bool inOuter = x >= 5 && x < 25 && y >= 6 && y < 20;
      const bool inInner = x >= 8 && x < 22 && y >= 9 && y < 17;
      ASSERT_EQ(canvas.At(x, y) == kInk, inOuter && !inInner) << x << ", " << y;
    }
  }
  // A rectangle too small for its band is filled whole.
  review::Picture small(10, 10);
  review::PaintRing(small.View(), {2, 2, 7, 9}, 3, kInk);
  EXPECT_EQ(small.View().At(4, 5), kInk);
}

TEST(Painting, LabelsAreMovedWholeOntoThePicture) {
  review::Picture picture(100, 60);
  const Canvas canvas = picture.View();
  const std::string text = "IDSW 12>40";
  const PixelRect wanted = review::LabelRect(0, 0, text, 1);
  EXPECT_EQ(wanted.Width(), review::TextWidth(text, 1) + 2);
  struct Case {
    std::int64_t x, y;
    PixelRect placed;
  };
  const std::int64_t w = wanted.Width();
  const std::int64_t h = wanted.Height();
  for (const Case& c : {Case{10, 10, {10, 10, 10 + w, 10 + h}},
                        Case{95, 58, {100 - w, 60 - h, 100, 60}}, Case{-40, -3, {0, 0, w, h}},
                        Case{1'000'000'000'000, -1'000'000'000'000, {100 - w, 0, 100, h}}}) {
    SCOPED_TRACE(std::to_string(c.x) + ", " + std::to_string(c.y));
    const PixelRect placed =
        review::PaintLabel(canvas, c.x, c.y, text, 1, Rgb{255, 255, 255}, Rgb{1, 2, 3});
    EXPECT_EQ(placed, c.placed);
    // The backing shows at the label's corner, the text's first dot one dot in.
    EXPECT_EQ(canvas.At(static_cast<int>(placed.left), static_cast<int>(placed.top)),
              (Rgb{1, 2, 3}));
  }
  // A label larger than the picture starts at its top-left corner.
  review::Picture tiny(8, 5);
  EXPECT_EQ(review::PaintLabel(tiny.View(), 3, 3, "wide", 2, kInk, kInk).left, 0);
}

}  // namespace
