// A long recording: 10,000 record ticks of a tiny frame through the console's
// recorder, then Stop Recording. Every file must be there under its own
// number, hold the frame of its own tick, and the progress lines must come
// every 20 ticks. Run under the sanitizers or valgrind, this is where leaks
// and stray accesses of a long run show.

#include <gtest/gtest.h>
#include <malloc.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <iterator>
#include <span>
#include <string>
#include <vector>

#include "console/KorvaneDlg.h"
#include "image/BmpFile.h"
#include "image/SeriesFrames.h"
#include "res/ResourceIds.h"
#include "support/TempDir.h"
#include "support/TextFiles.h"
#include "ui/headless/HeadlessBackend.h"

using namespace res;

namespace {

constexpr int kTicks = 10000;
constexpr int kWidth = 4;
constexpr int kHeight = 3;
constexpr std::size_t kFrameBytes = kWidth * kHeight * 3;
constexpr int kPeriod = 10;

// The capture of tick t: every pixel carries t in its first two bytes and its
// own index in the third, so a file tells which tick wrote it and where each
// pixel went.
void TickFrame(int tick, std::span<std::uint8_t> capture) {
  for (std::size_t pixel = 0; pixel * 3 + 2 < capture.size(); ++pixel) {
    capture[pixel * 3] = static_cast<std::uint8_t>(tick & 0xFF);
    capture[pixel * 3 + 1] = static_cast<std::uint8_t>((tick >> 8) & 0xFF);
    capture[pixel * 3 + 2] = static_cast<std::uint8_t>(pixel);
  }
}

// Whether a file holds what tick t must leave: a 4 x 3 frame file whose pixel
// rows are the capture's rows, bottom one first, each pixel's bytes reversed.
bool HoldsTick(const std::vector<std::uint8_t>& file, int tick) {
  const auto le32 = [&](std::size_t at) {
    return file[at] | file[at + 1] << 8 | file[at + 2] << 16 | std::uint32_t{file[at + 3]} << 24;
  };
  if (file.size() != BMP_PIXEL_OFFSET + kFrameBytes || file[0] != 'B' || file[1] != 'M' ||
      le32(2) != file.size() || le32(10) != BMP_PIXEL_OFFSET || le32(18) != kWidth ||
      le32(22) != kHeight)
    return false;
  std::vector<std::uint8_t> capture(kFrameBytes);
  TickFrame(tick, capture);
  for (std::size_t row = 0; row < kHeight; ++row) {
    for (std::size_t byte = 0; byte < kWidth * 3; ++byte) {
      const std::size_t in = (kHeight - 1 - row) * kWidth * 3 + byte / 3 * 3 + 2 - byte % 3;
      if (file[BMP_PIXEL_OFFSET + row * kWidth * 3 + byte] != capture[in])
        return false;
    }
  }
  return true;
}

}  // namespace

TEST(RecorderSoak, TenThousandTicksWriteTenThousandFilesEachWithItsOwnFrame) {
  TempDir dir;
  const std::string previousRootPath = g_rootPath;
  std::snprintf(g_rootPath, sizeof g_rootPath, "%s", dir.File("take").c_str());
  g_recordedFrames = 0;
  g_stopRecording = 0;
  ui::headless::HeadlessBackend user;
  CKorvaneDlg console;

  int sourceCalls = 0;  // the source fills the capture once per tick
  std::size_t heapEarly = 0, heapLate = 0;
  const auto source = [&](int tick, std::span<std::uint8_t> capture) {
    ++sourceCalls;
    TickFrame(tick, capture);
    if (tick == 1000 || tick == 9000) {
      const struct mallinfo2 heap = ::mallinfo2();
      (tick == 1000 ? heapEarly : heapLate) = heap.uordblks + heap.hblkhd;
    }
  };
  bool armed = false;
  ::testing::internal::CaptureStdout();
  user.Then([&] { armed = console.ArmRecorder(kWidth, kHeight, kPeriod, source); })
      .Wait(kPeriod * kTicks)
      .Click(IDC_STOP)
      .Wait(kPeriod * 10)
      .Then([&] {
        EXPECT_FALSE(user.HasTimer(*user.FindWindow(IDD_KORVANE_DIALOG), IDT_RECORD));
        EXPECT_EQ(console.GetRecorderState(), RecorderState::Stopped);
        EXPECT_EQ(console.m_captureBuffer, nullptr);
      })
      .Key(ui::DialogKey::Escape);
  console.RunModal();
  const std::string printed = ::testing::internal::GetCapturedStdout();
  std::snprintf(g_rootPath, sizeof g_rootPath, "%s", previousRootPath.c_str());
  const int recorded = g_recordedFrames;
  g_recordedFrames = 0;
  g_stopRecording = 0;
  EXPECT_FALSE(user.ScriptExhausted());
  EXPECT_TRUE(user.ScriptErrors().empty());

  ASSERT_TRUE(armed);
  EXPECT_EQ(recorded, kTicks);
  EXPECT_EQ(sourceCalls, kTicks);
  // Ticks take no memory they keep: 8000 ticks on, the heap holds what it
  // held at tick 1000. (The sanitizers' and valgrind's allocators keep their
  // own books, so this only tells in the normal build.)
  EXPECT_EQ(heapLate, heapEarly);
  std::string lines;
  for (int count = 20; count <= kTicks; count += 20)
    lines += "Frame " + std::to_string(count) + "\n";
  EXPECT_EQ(printed, lines);

  int bad = 0;
  for (int n = 0; n < kTicks; ++n) {
    const std::string name = series::FrameFileName(dir.File("take"), n);
    if (!HoldsTick(test_files::ReadBytes(name), n) && ++bad <= 10)
      ADD_FAILURE() << name << " is missing or does not hold its tick's frame";
  }
  EXPECT_EQ(bad, 0);
  // Nothing but those files, none numbered past the last tick.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()),
                          std::filesystem::directory_iterator()),
            kTicks);
}
