// The review pipeline: frames come out in list order whatever the threads
// do, a video source is read one frame at a time front to back, the part
// of a frame beside the source's picture is black for every frame, the
// first failure stops the run, and a lossless review video holds exactly
// the frames painted.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <random>
#include <thread>

#include "review/FrameSources.h"
#include "review/Painting.h"
#include "review/ReviewPipeline.h"
#include "support/TempDir.h"
#include "support/VideoFiles.h"

namespace {

using review::Canvas;
using review::FrameSource;
using review::PipelineSize;
using review::Rgb;

// A source whose frame i is filled with a colour that names i; it takes a
// random while to read each and checks the calls it gets.
class CountingSource : public FrameSource {
 public:
  CountingSource(int width, int height, bool sequential)
      : m_width(width), m_height(height), m_sequential(sequential) {}
  int Width() const override { return m_width; }
  int Height() const override { return m_height; }
  bool Sequential() const override { return m_sequential; }
  std::optional<std::string> Read(int index, Canvas canvas) override {
    const int inside = ++m_inside;
    m_mostAtOnce = std::max(m_mostAtOnce.load(), inside);
    {
      const std::lock_guard lock(m_mutex);
      m_order.push_back(index);
      std::this_thread::sleep_for(std::chrono::microseconds(m_random() % 800));
    }
    std::optional<std::string> problem;
    if (index == failAt)
      problem = "frame " + std::to_string(index) + " is unreadable";
    else
      review::FillRect(canvas, {0, 0, m_width, m_height}, ColourOf(index));
    --m_inside;
    return problem;
  }
  static Rgb ColourOf(int index) {
    return {static_cast<std::uint8_t>(index), static_cast<std::uint8_t>(index * 7), 99};
  }
  std::vector<int> Order() const { return m_order; }
  int MostAtOnce() const { return m_mostAtOnce; }

  int failAt = -1;

 private:
  int m_width;
  int m_height;
  bool m_sequential;
  std::mutex m_mutex;
  std::mt19937 m_random{5};
  std::vector<int> m_order;
  std::atomic<int> m_inside{0};
  std::atomic<int> m_mostAtOnce{0};
};

struct Encoded {
  std::vector<std::vector<std::uint8_t>> frames;
  review::EncodeFrame Sink() {
    return [this](std::span<const std::uint8_t> frame) -> std::optional<std::string> {
      frames.emplace_back(frame.begin(), frame.end());
      return std::nullopt;
    };
  }
};

// A pixel of an encoded frame: a canvas's bytes, blue first.
Rgb PixelOf(const std::vector<std::uint8_t>& frame, int width, int x, int y) {
  const std::size_t at = (static_cast<std::size_t>(y) * width + x) * 3;
  return {frame[at + 2], frame[at + 1], frame[at]};
}

TEST(ReviewPipeline, FramesComeOutInListOrderAndVideoSourcesAreReadInTurn) {
  const std::vector<int> frames{0, 1, 2, 5, 6, 7, 8, 20, 21, 22, 23, 24, 40, 41, 42, 43, 44, 45};
  for (const bool sequential : {false, true}) {
    SCOPED_TRACE(sequential ? "sequential" : "any order");
    CountingSource source(16, 8, sequential);
    Encoded encoded;
    std::vector<int> painted(64, 0);
    std::mutex paintedMutex;
    std::vector<int> progress;
    const auto paint = [&](int index, Canvas canvas) {
      review::FillRect(canvas, {0, 0, 1, 1}, Rgb{1, 2, 3});
      const std::lock_guard lock(paintedMutex);
      ++painted[static_cast<std::size_t>(index)];
    };
    const auto failure =
        review::RunPipeline(source, frames, PipelineSize{16, 8}, 4, paint, encoded.Sink(),
                            [&](int done) { progress.push_back(done); });
    ASSERT_FALSE(failure) << failure->reason;
    ASSERT_EQ(encoded.frames.size(), frames.size());
    for (std::size_t i = 0; i < frames.size(); ++i) {
      EXPECT_EQ(PixelOf(encoded.frames[i], 16, 5, 5), CountingSource::ColourOf(frames[i])) << i;
      EXPECT_EQ(PixelOf(encoded.frames[i], 16, 0, 0), (Rgb{1, 2, 3})) << "painted after reading";
      EXPECT_EQ(painted[static_cast<std::size_t>(frames[i])], 1);
      EXPECT_EQ(progress[i], static_cast<int>(i) + 1);
    }
    if (sequential) {
      EXPECT_EQ(source.Order(), frames);
      EXPECT_EQ(source.MostAtOnce(), 1);
    }
  }
}

TEST(ReviewPipeline, TheFrameBesideAndBelowTheSourceIsBlackForEveryFrame) {
  // An odd-sized source in an even-sized frame; the painting runs over the
  // edge into the margin, which the next frame in the same buffer must not
  // show.
  CountingSource source(15, 9, false);
  std::vector<int> frames(40);
  for (int i = 0; i < 40; ++i)
    frames[static_cast<std::size_t>(i)] = i;
  Encoded encoded;
  std::atomic<bool> marginBlackBeforePaint{true};
  const auto paint = [&](int, Canvas canvas) {
    if (canvas.At(15, 3) != Rgb{} || canvas.At(4, 9) != Rgb{} || canvas.At(15, 9) != Rgb{})
      marginBlackBeforePaint = false;
    review::FillRect(canvas, {10, 6, 16, 10}, Rgb{250, 250, 250});
  };
  ASSERT_FALSE(review::RunPipeline(source, frames, PipelineSize{16, 10}, 2, paint, encoded.Sink()));
  EXPECT_TRUE(marginBlackBeforePaint);
  ASSERT_EQ(encoded.frames.size(), 40u);
  EXPECT_EQ(PixelOf(encoded.frames[39], 16, 15, 9), (Rgb{250, 250, 250}));
  EXPECT_EQ(PixelOf(encoded.frames[39], 16, 15, 0), Rgb{});
}

TEST(ReviewPipeline, TheFirstFailureInListOrderStopsTheRun) {
  const std::vector<int> frames{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11};
  for (const bool sequential : {false, true}) {
    CountingSource source(4, 4, sequential);
    source.failAt = 6;
    Encoded encoded;
    const auto failure = review::RunPipeline(
        source, frames, PipelineSize{4, 4}, 3, [](int, Canvas) {}, encoded.Sink());
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->position, 6);
    EXPECT_EQ(failure->index, 6);
    EXPECT_EQ(failure->reason, "frame 6 is unreadable");
    EXPECT_EQ(encoded.frames.size(), 6u);
  }
  // An encoder that fails stops the run as well.
  CountingSource source(4, 4, false);
  int calls = 0;
  const auto failure = review::RunPipeline(
      source, frames, PipelineSize{4, 4}, 2, [](int, Canvas) {},
      [&](std::span<const std::uint8_t>) -> std::optional<std::string> {
        return ++calls == 3 ? std::optional<std::string>("disk full") : std::nullopt;
      });
  ASSERT_TRUE(failure);
  EXPECT_EQ(failure->position, 2);
  EXPECT_EQ(calls, 3);
  // A frame smaller than the source's pictures is refused before any read.
  EXPECT_TRUE(review::RunPipeline(
      source, frames, PipelineSize{3, 4}, 2, [](int, Canvas) {}, Encoded{}.Sink()));
}

// `count` frames of width x height, each a colour that names it, as a
// lossless video.
std::optional<std::string> WriteNumberedVideo(const std::string& path, int width, int height,
                                              int count) {
  return test_video::WriteVideo(
      path, width, height, 25, count,
      [&](int i) { return review::Picture(width, height, CountingSource::ColourOf(i)).pixels; },
      video::FrameLayout::TopDownBgr);
}

TEST(ReviewPipeline, AVideoSourceSkipsToTheFramesAskedForAndKnowsWhereItEnds) {
  const TempDir dir;
  const std::string path = dir.File("numbered.mkv");
  ASSERT_EQ(WriteNumberedVideo(path, 20, 12, 10), std::nullopt);
  review::VideoFileSource source;
  ASSERT_FALSE(source.Open(path));
  EXPECT_EQ(source.Width(), 20);
  review::Picture picture(20, 12);
  ASSERT_FALSE(source.Read(0, picture.View()));
  EXPECT_EQ(picture.View().At(3, 3), CountingSource::ColourOf(0));
  ASSERT_FALSE(source.Read(4, picture.View()));
  EXPECT_EQ(picture.View().At(19, 11), CountingSource::ColourOf(4));
  EXPECT_TRUE(source.Read(2, picture.View())) << "a frame already passed";
  EXPECT_FALSE(source.FramesHeld());
  const auto past = source.Read(14, picture.View());
  ASSERT_TRUE(past);
  EXPECT_NE(past->find("ends after frame 10"), std::string::npos) << *past;
  EXPECT_EQ(source.FramesHeld(), 10);

  // Scaled to half, the frames keep their colours.
  review::VideoFileSource half;
  ASSERT_FALSE(half.Open(path));
  ASSERT_TRUE(half.Scale(10, 6));
  EXPECT_FALSE(half.Scale(0, 6));
  EXPECT_EQ(half.Height(), 6);
  review::Picture small(10, 6);
  ASSERT_FALSE(half.Read(3, small.View()));
  EXPECT_EQ(small.View().At(5, 3), CountingSource::ColourOf(3));
}

TEST(ReviewPipeline, ALosslessReviewHoldsExactlyTheFramesPainted) {
  const TempDir dir;
  const std::string source = dir.File("source.mkv");
  ASSERT_EQ(WriteNumberedVideo(source, 33, 21, 12), std::nullopt);
  const std::vector<int> frames{1, 2, 3, 8, 9, 10};
  const auto paint = [](int index, Canvas canvas) {
    review::PaintText(canvas, 1, 1, std::to_string(index), 1, Rgb{255, 0, 255});
  };
  // Both forms: the lossless one compared byte for byte below; the shared
  // one needs even sizes, which the pipeline's black margin gives.
  std::vector<std::vector<std::uint8_t>> made;
  for (const char* name : {"review.mkv", "review.mp4"}) {
    const bool lossless = std::string(name).ends_with(".mkv");
    review::VideoFileSource again;
    ASSERT_FALSE(again.Open(source));
    video::VideoWriter writer;
    const PipelineSize size{lossless ? 33 : 34, lossless ? 21 : 22};
    ASSERT_FALSE(
        writer.Open(dir.File(name), size.width, size.height, 25, video::FrameLayout::TopDownBgr));
    const auto encode = [&](std::span<const std::uint8_t> frame) {
      if (lossless)
        made.emplace_back(frame.begin(), frame.end());
      return writer.WriteFrame(frame);
    };
    ASSERT_FALSE(review::RunPipeline(again, frames, size, 2, paint, encode));
    ASSERT_FALSE(writer.Finish());
  }
  video::VideoReader reader;
  ASSERT_FALSE(reader.Open(dir.File("review.mkv")));
  reader.SetPixelOrder(video::PixelOrder::Bgr);
  EXPECT_EQ(test_video::ReadFrames(reader), made);
  video::VideoReader shared;
  ASSERT_FALSE(shared.Open(dir.File("review.mp4")));
  EXPECT_EQ(shared.Info().width, 34);
  EXPECT_EQ(test_video::ReadFrames(shared, 100).size(), 6u);
}

}  // namespace
