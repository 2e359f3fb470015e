// Whole pictures decoded for a review: at their own size or scaled, into
// blue-green-red rows of any stride, JPEG's packed pixels, other readers'
// 32-bit ones and transparency alike; a picture of another size, or rows too
// small for it, are refused without a byte written.

#include <gtest/gtest.h>

#include <QImage>

#include "import/ImageDecode.h"
#include "support/TempDir.h"

namespace {

constexpr std::uint8_t kUntouched = 0x77;

TEST(WholePicture, PicturesComeAsBlueGreenRedRowsOfTheStrideGiven) {
  const TempDir dir;
  QImage opaque(6, 4, QImage::Format_RGB32);
  opaque.fill(qRgb(200, 100, 50));
  ASSERT_TRUE(opaque.save(QString::fromStdString(dir.File("a.png")), "PNG"));
  ASSERT_TRUE(opaque.save(QString::fromStdString(dir.File("a.jpg")), "JPEG", 100));
  QImage clear(6, 4, QImage::Format_ARGB32);
  clear.fill(qRgba(200, 100, 50, 0));
  ASSERT_TRUE(clear.save(QString::fromStdString(dir.File("clear.png")), "PNG"));
  struct Case {
    const char* name;
    int tolerance;
    int blue, green, red;
  };
  for (const Case& c : {Case{"a.png", 0, 50, 100, 200}, Case{"a.jpg", 3, 50, 100, 200},
                        Case{"clear.png", 0, 0, 0, 0}}) {
    SCOPED_TRACE(c.name);
    // Rows 30 bytes apart for 6 pixels: 12 bytes between rows stay as they were.
    std::vector<std::uint8_t> rows(30 * 3 + 18, kUntouched);
    ASSERT_EQ(cli::DecodeWholePicture(dir.File(c.name), 6, 4, 6, 4, rows, 30), std::nullopt);
    for (int y = 0; y < 4; ++y) {
      for (int b = 0; b < 30 && 30 * y + b < static_cast<int>(rows.size()); ++b) {
        const int got = rows[static_cast<std::size_t>(30 * y + b)];
        if (b >= 18) {
          ASSERT_EQ(got, kUntouched);
          continue;
        }
        const int want = b % 3 == 0 ? c.blue : b % 3 == 1 ? c.green : c.red;
        ASSERT_LE(std::abs(got - want), c.tolerance) << y << ", " << b;
      }
    }
  }
  // Scaled while decoded: a uniform picture stays its colour.
  std::vector<std::uint8_t> half(3 * 2 * 3, kUntouched);
  ASSERT_EQ(cli::DecodeWholePicture(dir.File("a.png"), 6, 4, 3, 2, half, 9), std::nullopt);
  EXPECT_EQ(half[0], 50);
  EXPECT_EQ(half[17], 200);
}

TEST(WholePicture, AnotherSizeOrRowsTooSmallAreRefused) {
  const TempDir dir;
  QImage image(6, 4, QImage::Format_RGB32);
  image.fill(qRgb(1, 2, 3));
  ASSERT_TRUE(image.save(QString::fromStdString(dir.File("a.png")), "PNG"));
  std::vector<std::uint8_t> rows(6 * 4 * 3, kUntouched);
  std::vector<std::uint8_t> wider(7 * 4 * 3, kUntouched);
  const auto other = cli::DecodeWholePicture(dir.File("a.png"), 7, 4, 7, 4, wider, 21);
  ASSERT_TRUE(other);
  EXPECT_EQ(*other, "is 6 x 4 pixels, the first picture 7 x 4");
  EXPECT_TRUE(cli::DecodeWholePicture(dir.File("a.png"), 6, 4, 6, 4, rows, 17));
  EXPECT_TRUE(cli::DecodeWholePicture(dir.File("a.png"), 6, 4, 6, 5, rows, 18));
  EXPECT_TRUE(cli::DecodeWholePicture(dir.File("a.png"), 6, 4, 0, 4, rows, 18));
  EXPECT_TRUE(cli::DecodeWholePicture(dir.File("missing.png"), 6, 4, 6, 4, rows, 18));
  EXPECT_EQ(rows, std::vector<std::uint8_t>(6 * 4 * 3, kUntouched));
  EXPECT_EQ(wider, std::vector<std::uint8_t>(7 * 4 * 3, kUntouched));
}

}  // namespace
