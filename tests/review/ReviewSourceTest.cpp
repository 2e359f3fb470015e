// The sources a review reads: a picture folder numbered as import numbers
// it, its rate from a seqinfo.ini beside it, pictures scaled while decoded
// and refused when their size differs from the first's, and video files.

#include <gtest/gtest.h>

#include <QImage>
#include <filesystem>
#include <fstream>

#include "review/ReviewSource.h"
#include "support/TempDir.h"
#include "support/TextFiles.h"
#include "support/VideoFiles.h"

namespace {

void WritePicture(const std::string& path, int width, int height, QRgb colour) {
  QImage image(width, height, QImage::Format_RGB32);
  image.fill(colour);
  ASSERT_TRUE(image.save(QString::fromStdString(path), "PNG"));
}

TEST(ReviewSource, APictureFolderIsNumberedDecodedAndScaled) {
  const TempDir dir;
  const std::filesystem::path img1 = dir.Path() / "seq" / "img1";
  std::filesystem::create_directories(img1);
  for (int f = 7; f <= 9; ++f)
    WritePicture((img1 / ("00000" + std::to_string(f) + ".png")).string(), 40, 30,
                 qRgb(10 * f, 20, 200));
  std::ofstream(dir.Path() / "seq" / "seqinfo.ini")
      << "[Sequence]\r\nname=seq\r\nframeRate = 14\r\nseqLength=3\r\n";
  review::ReviewSource source;
  ASSERT_EQ(review::OpenReviewSource(img1.string(), 0.5, source), std::nullopt);
  EXPECT_FALSE(source.video);
  EXPECT_EQ(source.firstNumber, 7);
  EXPECT_EQ(source.count, 3);
  EXPECT_EQ(source.sourceWidth, 40);
  EXPECT_EQ(source.rate, 14.0);
  ASSERT_EQ(source.frames->Width(), 20);
  ASSERT_EQ(source.frames->Height(), 15);
  // Frame index 2 is 000009.png, into a canvas wider than it.
  review::Picture picture(24, 16);
  ASSERT_EQ(source.frames->Read(2, picture.View()), std::nullopt);
  EXPECT_EQ(picture.View().At(10, 7), (review::Rgb{90, 20, 200}));
  EXPECT_EQ(picture.View().At(22, 7), review::Rgb{}) << "beside the picture stays as it was";

  // A picture of another size is refused by name, and so is a canvas too
  // small for the pictures.
  WritePicture((img1 / "000008.png").string(), 41, 30, qRgb(0, 0, 0));
  const auto other = source.frames->Read(1, picture.View());
  ASSERT_TRUE(other);
  EXPECT_NE(other->find("000008.png: is 41 x 30 pixels"), std::string::npos) << *other;
  review::Picture small(10, 10);
  EXPECT_TRUE(source.frames->Read(0, small.View()));
  EXPECT_TRUE(source.frames->Read(3, picture.View()));
}

TEST(ReviewSource, PatternsVideosAndNamesThatAreNeither) {
  const TempDir dir;
  for (int f = 3; f <= 4; ++f)
    WritePicture(dir.File(test_files::NumberedName("p", f, ".png")), 8, 6, qRgb(1, 2, 3));
  review::ReviewSource pattern;
  ASSERT_EQ(review::OpenReviewSource(dir.File("p%d.png"), 1.0, pattern), std::nullopt);
  EXPECT_EQ(pattern.firstNumber, 3);
  EXPECT_EQ(pattern.count, 2);
  EXPECT_FALSE(pattern.rate) << "no seqinfo.ini";

  ASSERT_EQ(test_video::WriteVideo(
                dir.File("v.mkv"), 16, 12, 12, 5,
                [](int) { return std::vector<std::uint8_t>(16 * 12 * 3, 50); },
                video::FrameLayout::TopDownBgr),
            std::nullopt);
  review::ReviewSource video;
  ASSERT_EQ(review::OpenReviewSource(dir.File("v.mkv"), 2.0, video), std::nullopt);
  EXPECT_TRUE(video.video);
  EXPECT_EQ(video.firstNumber, 1);
  EXPECT_EQ(video.rate, 12.0);
  EXPECT_EQ(video.frames->Width(), 32);
  EXPECT_TRUE(video.frames->Sequential());

  review::ReviewSource none;
  EXPECT_TRUE(review::OpenReviewSource(dir.File("missing"), 1.0, none));
  EXPECT_TRUE(review::OpenReviewSource(dir.File("q%d.png"), 1.0, none));
}

TEST(ReviewSource, TheFrameRateOfASeqinfo) {
  EXPECT_EQ(review::SeqinfoFrameRate("[Sequence]\nframeRate=30\n"), 30.0);
  EXPECT_EQ(review::SeqinfoFrameRate("frameRate = 29.97\r\n"), 29.97);
  EXPECT_FALSE(review::SeqinfoFrameRate("[Sequence]\nseqLength=600\n"));
  EXPECT_FALSE(review::SeqinfoFrameRate("frameRate=fast\n"));
  EXPECT_FALSE(review::SeqinfoFrameRate("frameRate=0\n"));
  EXPECT_FALSE(review::SeqinfoFrameRate("frameRate=1e9\n"));
}

}  // namespace
