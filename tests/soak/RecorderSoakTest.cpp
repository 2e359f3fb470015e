// A long recording: 10,000 record ticks of a tiny frame through the console's
// recorder, then Stop Recording. Every file must be there under its own
// number, hold the frame of its own tick, and the progress lines must come
// every 20 ticks. Run under the sanitizers or valgrind, this is where leaks
// and stray accesses of a long run show.

#include <gtest/gtest.h>
#include <malloc.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "console/KorvaneDlg.h"
#include "image/BmpFile.h"
#include "res/ResourceIds.h"
#include "support/TempDir.h"
#include "ui/headless/HeadlessBackend.h"

using namespace res;
using ui::headless::HeadlessBackend;

namespace {

constexpr int kTicks = 10000;
constexpr int kWidth = 4;
constexpr int kHeight = 3;
constexpr std::size_t kFrameBytes = kWidth * kHeight * 3;
constexpr ui::UINT kPeriod = 10;

// The frame of tick t: every pixel carries t in red (low byte) and green (high
// byte), and its own index in blue, so a file tells both which tick wrote it
// and where each pixel went.
void TickFrame(int tick, std::span<std::uint8_t> capture) {
  for (std::size_t pixel = 0; pixel * 3 + 2 < capture.size(); ++pixel) {
    capture[pixel * 3] = static_cast<std::uint8_t>(tick & 0xFF);
    capture[pixel * 3 + 1] = static_cast<std::uint8_t>((tick >> 8) & 0xFF);
    capture[pixel * 3 + 2] = static_cast<std::uint8_t>(pixel);
  }
}

std::uint32_t Le32(const std::vector<unsigned char>& bytes, std::size_t at) {
  return bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 |
         static_cast<std::uint32_t>(bytes[at + 3]) << 24;
}

// What is wrong with file `tick` of the run, or nothing: a 4 x 3 frame file
// whose pixels are the tick's frame, bottom row first, blue-green-red.
std::string FileProblem(const std::string& path, int tick) {
  std::ifstream in(path, std::ios::binary);
  if (!in)
    return "missing";
  const std::vector<unsigned char> bytes{std::istreambuf_iterator<char>(in),
                                         std::istreambuf_iterator<char>()};
  if (bytes.size() != BMP_PIXEL_OFFSET + kFrameBytes)
    return std::to_string(bytes.size()) + " bytes";
  if (bytes[0] != 'B' || bytes[1] != 'M' || Le32(bytes, 2) != bytes.size() ||
      Le32(bytes, 10) != BMP_PIXEL_OFFSET || Le32(bytes, 18) != kWidth ||
      Le32(bytes, 22) != kHeight)
    return "wrong header";
  std::array<std::uint8_t, kFrameBytes> capture{};
  TickFrame(tick, capture);
  for (int row = 0; row < kHeight; ++row) {
    for (int p = 0; p < kWidth; ++p) {
      for (int k = 0; k < 3; ++k) {
        const std::size_t out = BMP_PIXEL_OFFSET + static_cast<std::size_t>(row * kWidth + p) * 3;
        const std::size_t in = static_cast<std::size_t>((kHeight - 1 - row) * kWidth + p) * 3;
        if (bytes[out + k] != capture[in + 2 - k])
          return "pixel byte " + std::to_string(out + k) + " is " + std::to_string(bytes[out + k]);
      }
    }
  }
  return "";
}

// Puts a stream of its own in place of standard output while it exists; each
// write reaches onWrite as it leaves the stream, so the test can tell at what
// count each line came.
class StdoutSpy {
 public:
  explicit StdoutSpy(std::function<void(const std::string&)> onWrite)
      : m_onWrite(std::move(onWrite)) {
    std::fflush(stdout);
    m_saved = stdout;
    cookie_io_functions_t functions{};
    functions.write = &StdoutSpy::Write;
    m_stream = fopencookie(this, "w", functions);
    stdout = m_stream;
  }
  ~StdoutSpy() {
    std::fflush(m_stream);
    stdout = m_saved;
    std::fclose(m_stream);
  }
  StdoutSpy(const StdoutSpy&) = delete;
  StdoutSpy& operator=(const StdoutSpy&) = delete;

 private:
  static ssize_t Write(void* cookie, const char* data, size_t size) {
    static_cast<StdoutSpy*>(cookie)->m_onWrite(std::string(data, size));
    return static_cast<ssize_t>(size);
  }

  std::function<void(const std::string&)> m_onWrite;
  FILE* m_saved = nullptr;
  FILE* m_stream = nullptr;
};

class RecorderSoak : public ::testing::Test {
 protected:
  void SetUp() override {
    m_previousRootPath = g_rootPath;
    std::snprintf(g_rootPath, sizeof g_rootPath, "%s", m_dir.FilePath("take").c_str());
    g_recordedFrames = 0;
    g_stopRecording = 0;
  }
  void TearDown() override {
    std::snprintf(g_rootPath, sizeof g_rootPath, "%s", m_previousRootPath.c_str());
    g_recordedFrames = 0;
    g_stopRecording = 0;
  }

  std::string File(int n) const {
    char name[32];
    std::snprintf(name, sizeof name, "take_%04d.bmp", n);
    return m_dir.FilePath(name);
  }

  TempDir m_dir;
  HeadlessBackend m_user;
  CKorvaneDlg m_console;

 private:
  std::string m_previousRootPath;
};

}  // namespace

TEST_F(RecorderSoak, TenThousandTicksWriteTenThousandFilesEachWithItsOwnFrame) {
  // Each progress line must name the count reached in the tick that prints it.
  std::string printed;
  printed.reserve(8 * 1024);  // so that the heap does not grow with it
  int linesOutOfStep = 0;
  std::optional<StdoutSpy> out;
  out.emplace([&](const std::string& text) {
    printed += text;
    linesOutOfStep += text != "Frame " + std::to_string(g_recordedFrames) + "\n";
  });
  // The source is asked once per tick, with the tick's own number.
  int sourceCalls = 0;
  int ticksOutOfStep = 0;
  // Heap in use at ticks 1000 and 9000.
  std::size_t heapEarly = 0;
  std::size_t heapLate = 0;
  bool armed = false;
  int recordedBeforeStop = -1;
  bool timerAfterStop = true;
  RecorderState stateAfterStop = RecorderState::Recording;

  m_user
      .Then([&] {
        armed = m_console.ArmRecorder(
            kWidth, kHeight, kPeriod, [&](int tick, std::span<std::uint8_t> capture) {
              ticksOutOfStep += tick != sourceCalls;
              ++sourceCalls;
              TickFrame(tick, capture);
              if (tick == 1000 || tick == 9000) {
                const struct mallinfo2 heap = ::mallinfo2();
                (tick == 1000 ? heapEarly : heapLate) = heap.uordblks + heap.hblkhd;
              }
            });
      })
      .Wait(static_cast<int>(kPeriod) * kTicks)
      .Then([&] { recordedBeforeStop = g_recordedFrames; })
      .Click(IDC_STOP)
      .Wait(static_cast<int>(kPeriod) * 10)
      .Then([&] {
        timerAfterStop = m_user.HasTimer(*m_user.FindWindow(IDD_KORVANE_DIALOG), IDT_RECORD);
        stateAfterStop = m_console.GetRecorderState();
      })
      .Key(ui::DialogKey::Escape);
  m_console.RunModal();
  // Standard output back before anything is reported.
  out.reset();
  EXPECT_FALSE(m_user.ScriptExhausted());
  EXPECT_TRUE(m_user.ScriptErrors().empty());

  ASSERT_TRUE(armed);
  EXPECT_EQ(recordedBeforeStop, kTicks);
  EXPECT_EQ(g_recordedFrames, kTicks);
  EXPECT_EQ(sourceCalls, kTicks);
  EXPECT_EQ(ticksOutOfStep, 0);
  EXPECT_FALSE(timerAfterStop);
  EXPECT_EQ(stateAfterStop, RecorderState::Stopped);
  EXPECT_EQ(m_console.m_captureBuffer, nullptr);
  // Ticks take no memory they keep: 8000 ticks on, the heap holds what it
  // held at tick 1000. (The sanitizers' and valgrind's allocators keep their
  // own books, so this only tells in the normal build.)
  EXPECT_EQ(heapLate, heapEarly);

  std::string lines;
  for (int count = 20; count <= kTicks; count += 20)
    lines += "Frame " + std::to_string(count) + "\n";
  EXPECT_EQ(printed, lines);
  EXPECT_EQ(linesOutOfStep, 0);

  int bad = 0;
  for (int n = 0; n < kTicks; ++n) {
    const std::string problem = FileProblem(File(n), n);
    if (!problem.empty() && ++bad <= 10)
      ADD_FAILURE() << File(n) << ": " << problem;
  }
  EXPECT_EQ(bad, 0);
  // Nothing but those files, and none numbered past the last tick.
  EXPECT_FALSE(std::filesystem::exists(File(kTicks)));
  const auto files = std::distance(std::filesystem::directory_iterator(m_dir.Path()),
                                   std::filesystem::directory_iterator());
  EXPECT_EQ(files, kTicks);
}
