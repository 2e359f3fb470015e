// korvane-cli import: pictures of every depth and layout the readers take
// become frames exactly placed; odd sizes fit; a picture that cannot be read
// stops the import with the frames before it complete and nothing else.

#include <gtest/gtest.h>

#include <QColor>
#include <QImage>
#include <cstring>
#include <functional>

#include "CliTestSupport.h"
#include "base/FileStatus.h"
#include "geometry/GeometryFile.h"
#include "support/TempDir.h"

using namespace cli_test;

namespace {

using Rgb = std::array<std::uint8_t, 3>;

// The 7 × 5 test picture: every pixel a colour of its own.
Rgb Colour(int x, int y) {
  return {static_cast<std::uint8_t>(x * 30), static_cast<std::uint8_t>(y * 50),
          static_cast<std::uint8_t>(255 - x * 20)};
}

QImage ColourPicture(QImage::Format format) {
  QImage image(7, 5, QImage::Format_RGB32);
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 7; ++x) {
      const Rgb c = Colour(x, y);
      image.setPixel(x, y, qRgb(c[0], c[1], c[2]));
    }
  return image.convertToFormat(format);
}

// A bottom-up BMP turned top-down: negative height, rows in reverse order.
void MakeTopDown(const std::string& path) {
  std::string bytes = ReadText(path);
  std::int32_t height = 0;
  std::uint32_t offset = 0;
  std::memcpy(&height, bytes.data() + 22, 4);
  std::memcpy(&offset, bytes.data() + 10, 4);
  const std::size_t stride = (bytes.size() - offset) / static_cast<std::size_t>(height);
  std::string flipped = bytes.substr(0, offset);
  for (std::int32_t row = height - 1; row >= 0; --row)
    flipped += bytes.substr(offset + static_cast<std::size_t>(row) * stride, stride);
  height = -height;
  std::memcpy(flipped.data() + 22, &height, 4);
  WriteText(path, flipped);
}

struct FormatCase {
  std::string name;  // file name, its ending chooses the writer
  std::function<QImage()> picture;
  std::function<Rgb(int x, int y)> expected;
  bool topDown = false;
};

// Every source pixel shows 1:1 (--center) in the middle of a black frame,
// whatever depth, palette, padding or row order its file has.
TEST(ImportCommand, EveryDepthAndLayoutShowsTheSamePixels) {
  const auto grey = [](int x, int y) { return static_cast<std::uint8_t>(x * 30 + y * 5); };
  const auto greyRgb = [&](int x, int y) -> Rgb { return {grey(x, y), grey(x, y), grey(x, y)}; };
  const std::vector<FormatCase> cases = {
      {"rgb.png", [] { return ColourPicture(QImage::Format_RGB888); }, Colour},
      {"rgb24.bmp", [] { return ColourPicture(QImage::Format_RGB888); }, Colour},
      {"topdown.bmp", [] { return ColourPicture(QImage::Format_RGB888); }, Colour, true},
      {"argb32.bmp", [] { return ColourPicture(QImage::Format_ARGB32); }, Colour},
      {"palette.bmp", [] { return ColourPicture(QImage::Format_Indexed8); }, Colour},
      {"mono.bmp",
       [] {
         QImage image(7, 5, QImage::Format_Mono);
         for (int y = 0; y < 5; ++y)
           for (int x = 0; x < 7; ++x)
             image.setPixel(x, y, (x + y) % 2);
         return image;
       },
       [](int x, int y) -> Rgb {
         // Format_Mono's default colour table: index 0 black, 1 white.
         const std::uint8_t v = (x + y) % 2 ? 255 : 0;
         return {v, v, v};
       }},
      {"grey8.png",
       [&] {
         QImage image(7, 5, QImage::Format_Grayscale8);
         for (int y = 0; y < 5; ++y)
           for (int x = 0; x < 7; ++x)
             image.scanLine(y)[x] = grey(x, y);
         return image;
       },
       greyRgb},
      {"grey16.png",
       [&] {
         QImage image(7, 5, QImage::Format_Grayscale16);
         for (int y = 0; y < 5; ++y)
           for (int x = 0; x < 7; ++x)
             reinterpret_cast<std::uint16_t*>(image.scanLine(y))[x] =
                 static_cast<std::uint16_t>(grey(x, y) * 257);
         return image;
       },
       greyRgb},
      {"alpha.png",
       [] {
         QImage image = ColourPicture(QImage::Format_ARGB32);
         for (int y = 0; y < 5; ++y)
           for (int x = 0; x < 7; ++x)
             image.setPixel(x, y, (image.pixel(x, y) & 0xFFFFFF) | (y == 2 ? 0 : 0x80u << 24));
         return image;
       },
       [](int x, int y) -> Rgb {
         // Composited onto black: half the colour, or nothing where clear.
         const Rgb c = Colour(x, y);
         const auto half = [y](std::uint8_t v) {
           return static_cast<std::uint8_t>(y == 2 ? 0 : (v * 128 + 127) / 255);
         };
         return {half(c[0]), half(c[1]), half(c[2])};
       }},
  };
  for (const FormatCase& c : cases) {
    SCOPED_TRACE(c.name);
    const TempDir source;
    const TempDir output;
    const std::string path = source.File(c.name);
    ASSERT_TRUE(c.picture().save(QString::fromStdString(path)));
    if (c.topDown)
      MakeTopDown(path);
    const std::string root = output.File("out");
    const CliResult result = RunInProcess({"import", source.Path().string(), root, "--center"});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(FilesIn(output.Path()), (std::vector<std::string>{"out.geometry", "out_0000.bmp"}));
    EXPECT_EQ(base::RegularFileSize(root + "_0000.bmp"), 230454u);
    const Frame frame = ReadFrame(root + "_0000.bmp");
    ASSERT_EQ(frame.width, 320);
    // (320 − 7) / 2 = 156 columns left; rows: 240 − 5 − 117 = 118 above.
    int lit = 0;
    for (int y = 0; y < 240; ++y) {
      for (int x = 0; x < 320; ++x) {
        const bool inside = x >= 156 && x < 163 && y >= 118 && y < 123;
        const Rgb want = inside ? c.expected(x - 156, y - 118) : Rgb{0, 0, 0};
        const Rgb got = frame.Rgb(x, y);
        for (int i = 0; i < 3; ++i)
          ASSERT_NEAR(got[i], want[i], 1) << x << ", " << y;
        lit += inside;
      }
    }
    EXPECT_EQ(lit, 35);
  }
}

// Odd sizes fit the frame at the planned size and place, recorded in the
// geometry file, with black around them.
TEST(ImportCommand, OddSizesFitAndCentre) {
  struct SizeCase {
    int width, height;
    std::vector<std::string> options;
    int left, top, right, bottom;  // the lit rectangle, exclusive right and bottom
  };
  const std::vector<SizeCase> cases = {
      {1, 1, {}, 40, 0, 280, 240},
      {321, 7, {}, 0, 117, 320, 124},
      {4000, 10, {"--fit"}, 0, 120, 320, 121},
      {4000, 10, {"--center"}, 0, 115, 320, 125},
      {1920, 1080, {"--crop", "0,0,960,1080"}, 53, 0, 266, 240},
  };
  for (const SizeCase& c : cases) {
    SCOPED_TRACE(std::to_string(c.width) + " x " + std::to_string(c.height));
    const TempDir dir;
    QImage picture(c.width, c.height, QImage::Format_RGB888);
    picture.fill(QColor(200, 100, 50));
    ASSERT_TRUE(picture.save(QString::fromStdString(dir.File("p7.png"))));
    const CliResult result = RunInProcess(
        Joined({"import", dir.File("p%d.png"), dir.File("out/seq"), "--start", "3"}, c.options));
    ASSERT_EQ(result.status, 0) << result.err;
    const Frame frame = ReadFrame(dir.File("out/seq_0003.bmp"));
    ASSERT_EQ(frame.height, 240);
    for (int y = 0; y < 240; ++y) {
      for (int x = 0; x < 320; ++x) {
        const bool inside = x >= c.left && x < c.right && y >= c.top && y < c.bottom;
        const Rgb want = inside ? Rgb{200, 100, 50} : Rgb{0, 0, 0};
        const Rgb got = frame.Rgb(x, y);
        for (int i = 0; i < 3; ++i)
          ASSERT_NEAR(got[i], want[i], 1) << x << ", " << y;
      }
    }
    cli::FrameGeometry geometry;
    ASSERT_EQ(cli::ReadGeometryFile(dir.File("out/seq.geometry"), geometry), std::nullopt);
    EXPECT_EQ(geometry.sourceWidth, c.width);
    EXPECT_EQ(geometry.firstFrame, 3);
    EXPECT_EQ(geometry.firstSource, 7);
    EXPECT_EQ(geometry.offsetY, c.top);
  }
}

// A source that cannot be used fails with status 1, naming it; the frames
// before it are complete and nothing else is left behind.
TEST(ImportCommand, BadSourcesFailWithTheFramesBeforeThemComplete) {
  const QImage small = ColourPicture(QImage::Format_RGB888);
  struct BadCase {
    std::string name;
    std::function<void(const TempDir&)> make;
    std::vector<std::string> args;  // SOURCE and options; OUTROOT is added
    std::string message;
    std::vector<std::string> written;
  };
  const auto series = [&](const TempDir& dir, int count) {
    for (int i = 0; i < count; ++i)
      ASSERT_TRUE(
          small.save(QString::fromStdString(dir.File(test_files::NumberedName("f", i, ".png")))));
  };
  const std::vector<BadCase> cases = {
      {"undecodable",
       [&](const TempDir& d) {
         series(d, 6);
         WriteText(d.File("f2.png"), "not a picture");
       },
       {"f%d.png", "--jobs", "3"},
       "f2.png: not a picture format the image readers know; OUT_0000.bmp to OUT_0001.bmp are "
       "complete",
       {"OUT.geometry", "OUT_0000.bmp", "OUT_0001.bmp"}},
      {"truncated first",
       [&](const TempDir& d) {
         series(d, 2);
         WriteText(d.File("f0.png"), ReadText(d.File("f1.png")).substr(0, 60));
       },
       {"f%d.png"},
       "f0.png: ",
       {}},
      {"other size",
       [&](const TempDir& d) {
         series(d, 3);
         ASSERT_TRUE(
             QImage(5, 5, QImage::Format_RGB888).save(QString::fromStdString(d.File("f1.png"))));
       },
       {"f%d.png"},
       "f1.png: is 5 x 5 pixels, the series 7 x 5; OUT_0000.bmp is complete",
       {"OUT.geometry", "OUT_0000.bmp"}},
      {"empty folder", [](const TempDir&) {}, {"."}, "no picture file in the folder", {}},
      {"crop outside",
       [&](const TempDir& d) { series(d, 1); },
       {"f%d.png", "--crop", "0,0,8,5"},
       "does not lie inside the 7 x 5 picture; no frame was written",
       {}},
      {"missing first",
       [&](const TempDir& d) { series(d, 2); },
       {"f%d.png", "--first", "4"},
       "f4.png: missing (the first number read)",
       {}},
  };
  for (const BadCase& c : cases) {
    SCOPED_TRACE(c.name);
    const TempDir source;
    const TempDir output;
    c.make(source);
    const InFolder in(source.Path());
    Args args = Joined({"import"}, c.args);
    args.insert(args.begin() + 2, output.File("OUT"));
    const CliResult result = RunExpecting(1, args);
    std::string message = c.message;
    const std::string root = output.File("OUT");
    for (std::size_t at = 0; (at = message.find("OUT_", at)) != std::string::npos;
         at += root.size())
      message.replace(at, 3, root);
    // After the progress lines of the frames written, if any.
    EXPECT_THAT(result.err, HasSubstr("korvane-cli import: "));
    EXPECT_THAT(result.err, HasSubstr(message));
    EXPECT_EQ(FilesIn(output.Path()), c.written);
  }
  // An output folder that cannot be made is found with the first frame, and
  // nothing is left behind.
  const TempDir source;
  const TempDir output;
  series(source, 2);
  WriteText(output.File("file"), "");
  const CliResult blocked =
      RunExpecting(1, {"import", source.File("f%d.png"), output.File("file/OUT")});
  EXPECT_EQ(blocked.err, "korvane-cli import: " + output.File("file") +
                             ": the output folder cannot be made: not a folder; no frame was "
                             "written\n");
  EXPECT_EQ(FilesIn(output.Path()), std::vector<std::string>{"file"});
}

// Frames would replace pictures being read: refused before anything is
// written.
TEST(ImportCommand, RefusesToWriteOverItsSources) {
  const TempDir dir;
  ASSERT_TRUE(
      ColourPicture(QImage::Format_RGB888).save(QString::fromStdString(dir.File("take_0000.bmp"))));
  const CliResult result = RunProgram({"import", dir.Path().string(), dir.File("take")});
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.err, "korvane-cli import: refuses to write " + dir.File("take_0000.bmp") +
                            ": it is one of the sources\n");
  EXPECT_EQ(FilesIn(dir.Path()), std::vector<std::string>{"take_0000.bmp"});
}

}  // namespace
