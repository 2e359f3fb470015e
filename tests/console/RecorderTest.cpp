// The frame recorder on the headless backend: arming, the record tick's
// numbering, progress line, rearrangement and file writing, Stop Recording,
// and the tick's place among the console's other work.

#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "console/KorvaneDlg.h"
#include "image/BmpFile.h"
#include "res/ResourceIds.h"
#include "support/TempDir.h"
#include "ui/headless/HeadlessBackend.h"

using namespace res;
using ui::DialogKey;
using ui::headless::HeadlessBackend;
using ui::headless::HeadlessWindow;

namespace {

constexpr char kInitialRoot[] = "C:\\Public\\Qen office\\take9\\take9";
constexpr ui::UINT kPeriod = 50;

std::vector<unsigned char> FileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Puts a stream of its own in place of standard output while it exists; each
// write reaches onWrite at the moment it leaves the stream's buffer, so a
// test can tell what had happened by then.
class StdoutSpy {
 public:
  explicit StdoutSpy(std::function<void(const std::string&)> onWrite = {})
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

  std::string Text() {
    std::fflush(m_stream);
    return m_text;
  }

 private:
  static ssize_t Write(void* cookie, const char* data, size_t size) {
    auto* self = static_cast<StdoutSpy*>(cookie);
    const std::string text(data, size);
    self->m_text += text;
    if (self->m_onWrite)
      self->m_onWrite(text);
    return static_cast<ssize_t>(size);
  }

  std::function<void(const std::string&)> m_onWrite;
  std::string m_text;
  FILE* m_saved = nullptr;
  FILE* m_stream = nullptr;
};

// A source whose frame depends on the tick, so every file can be traced back
// to the tick that wrote it.
FrameSource TickPattern(std::vector<int>* ticks = nullptr) {
  return [ticks](int tick, std::span<std::uint8_t> capture) {
    if (ticks != nullptr)
      ticks->push_back(tick);
    for (std::size_t i = 0; i < capture.size(); ++i)
      capture[i] = static_cast<std::uint8_t>(static_cast<unsigned>(tick) * 7u + i);
  };
}

class Recorder : public ::testing::Test {
 protected:
  void SetUp() override {
    g_recordedFrames = 0;
    g_stopRecording = 0;
    SetRoot(m_dir.FilePath("rec"));
  }
  void TearDown() override {
    std::snprintf(g_rootPath, sizeof g_rootPath, "%s", kInitialRoot);
    g_recordedFrames = 0;
    g_stopRecording = 0;
    EXPECT_FALSE(user.ScriptExhausted());
    EXPECT_TRUE(user.ScriptErrors().empty());
  }

  static void SetRoot(const std::string& root) {
    std::snprintf(g_rootPath, sizeof g_rootPath, "%s", root.c_str());
  }
  std::string File(int n) const {
    char name[32];
    std::snprintf(name, sizeof name, "rec_%04d.bmp", n);
    return m_dir.FilePath(name);
  }
  // Queues the arming step; `armed` receives its result.
  void Arm(bool& armed, int width = 4, int height = 3, FrameSource source = TickPattern()) {
    user.Then([&armed, this, width, height, source] {
      armed = console.ArmRecorder(width, height, kPeriod, source);
    });
  }
  HeadlessWindow* ConsoleWindow() const { return user.FindWindow(IDD_KORVANE_DIALOG); }

  TempDir m_dir;
  HeadlessBackend user;
  CKorvaneDlg console;
};

TEST_F(Recorder, TheFirstTickWritesFileZeroAndCountsOne) {
  StdoutSpy out;
  bool armed = false;
  int interval = 0;
  Arm(armed);
  user.Then([&] { interval = user.TimerInterval(*ConsoleWindow(), IDT_RECORD); })
      .Wait(kPeriod)
      .Key(DialogKey::Escape);
  console.RunModal();

  ASSERT_TRUE(armed);
  EXPECT_EQ(interval, static_cast<int>(kPeriod));
  EXPECT_EQ(g_recordedFrames, 1);
  EXPECT_TRUE(std::filesystem::exists(File(0)));
  EXPECT_FALSE(std::filesystem::exists(File(1)));
  EXPECT_EQ(out.Text(), "");
  EXPECT_STREQ(console.m_fileName, File(0).c_str());
}

TEST_F(Recorder, TheSourceFillsTheCaptureBeforeEachTickWithTheFileNumber) {
  std::vector<int> ticks;
  std::vector<int> countersSeen;
  bool armed = false;
  Arm(armed, 4, 3, [&](int tick, std::span<std::uint8_t> capture) {
    countersSeen.push_back(g_recordedFrames);
    TickPattern (&ticks)(tick, capture);
  });
  g_recordedFrames = 7;
  user.Wait(3 * kPeriod).Key(DialogKey::Escape);
  console.RunModal();

  ASSERT_TRUE(armed);
  EXPECT_EQ(ticks, (std::vector<int>{7, 8, 9}));
  EXPECT_EQ(countersSeen, (std::vector<int>{7, 8, 9}));
  // The file of tick 8 holds the source's frame for 8, bottom row first and
  // blue-green-red.
  std::vector<std::uint8_t> capture(4 * 3 * 3);
  TickPattern()(8, capture);
  const std::vector<unsigned char> file = FileBytes(File(8));
  ASSERT_EQ(file.size(), 54u + capture.size());
  for (int row = 0; row < 3; ++row) {
    for (int p = 0; p < 4; ++p) {
      for (int k = 0; k < 3; ++k) {
        EXPECT_EQ(file[54 + (row * 4 + p) * 3 + k], capture[((2 - row) * 4 + p) * 3 + (2 - k)]);
      }
    }
  }
}

TEST_F(Recorder, TheTwentiethTickPrintsItsLineBeforeWritingFile0019) {
  std::vector<bool> file19ExistedAtWrite;
  StdoutSpy out([&](const std::string&) {
    file19ExistedAtWrite.push_back(std::filesystem::exists(File(19)));
  });
  bool armed = false;
  std::string afterNineteen;
  Arm(armed);
  user.Wait(19 * kPeriod)
      .Then([&] { afterNineteen = out.Text(); })
      .Wait(kPeriod)
      .Key(DialogKey::Escape);
  console.RunModal();

  ASSERT_TRUE(armed);
  EXPECT_EQ(afterNineteen, "");
  EXPECT_EQ(out.Text(), "Frame 20\n");
  ASSERT_EQ(file19ExistedAtWrite.size(), 1u);
  EXPECT_FALSE(file19ExistedAtWrite[0]);
  EXPECT_TRUE(std::filesystem::exists(File(19)));
  EXPECT_EQ(g_recordedFrames, 20);
}

TEST_F(Recorder, TickNumber10001WritesFileNumber10000WithFiveDigits) {
  StdoutSpy out;
  bool armed = false;
  g_recordedFrames = 10000;
  Arm(armed);
  user.Wait(kPeriod).Key(DialogKey::Escape);
  console.RunModal();

  ASSERT_TRUE(armed);
  EXPECT_EQ(g_recordedFrames, 10001);
  EXPECT_TRUE(std::filesystem::exists(m_dir.FilePath("rec_10000.bmp")));
  EXPECT_EQ(out.Text(), "");
}

TEST_F(Recorder, TheCounterStopsAtTheLargestNumberInsteadOfOverflowing) {
  bool armed = false;
  g_recordedFrames = INT_MAX;
  Arm(armed);
  user.Wait(2 * kPeriod).Key(DialogKey::Escape);
  console.RunModal();

  ASSERT_TRUE(armed);
  EXPECT_EQ(g_recordedFrames, INT_MAX);
  EXPECT_TRUE(std::filesystem::is_empty(m_dir.Path()));
}

TEST_F(Recorder, ATwoByTwoCaptureIsTurnedIntoABottomUpBlueGreenRedFrame) {
  // Top row R1 G1 B1, R2 G2 B2; bottom row R3 G3 B3, R4 G4 B4, where Rn is
  // 0x10 * n + 1, Gn 0x10 * n + 2 and Bn 0x10 * n + 3.
  const std::vector<std::uint8_t> capture = {0x11, 0x12, 0x13, 0x21, 0x22, 0x23,
                                             0x31, 0x32, 0x33, 0x41, 0x42, 0x43};
  const std::vector<unsigned char> expected = {0x33, 0x32, 0x31, 0x43, 0x42, 0x41,
                                               0x13, 0x12, 0x11, 0x23, 0x22, 0x21};
  bool armed = false;
  Arm(armed, 2, 2, [&](int, std::span<std::uint8_t> out) {
    std::copy(capture.begin(), capture.end(), out.begin());
  });
  user.Wait(kPeriod).Key(DialogKey::Escape);
  console.RunModal();

  ASSERT_TRUE(armed);
  EXPECT_EQ(
      std::vector<unsigned char>(console.m_outputBuffer.get(), console.m_outputBuffer.get() + 12),
      expected);
  const std::vector<unsigned char> file = FileBytes(File(0));
  ASSERT_EQ(file.size(), 66u);
  EXPECT_EQ(std::vector<unsigned char>(file.begin() + 54, file.end()), expected);
  // The capture is only read.
  EXPECT_EQ(
      std::vector<std::uint8_t>(console.m_captureBuffer.get(), console.m_captureBuffer.get() + 12),
      capture);
}

TEST_F(Recorder, OtherTimerIdsWriteNothing) {
  std::vector<int> ticks;
  bool armed = false;
  Arm(armed, 4, 3, TickPattern(&ticks));
  user.Then([&] {
        for (ui::UINT id : {0u, 1u, 101u, 103u})
          console.SendMessage(ui::WM_TIMER, id);
      })
      .Key(DialogKey::Escape);
  console.RunModal();

  ASSERT_TRUE(armed);
  EXPECT_TRUE(ticks.empty());
  EXPECT_EQ(g_recordedFrames, 0);
  EXPECT_TRUE(std::filesystem::is_empty(m_dir.Path()));
}

TEST_F(Recorder, NothingIsRecordedAfterStopRecording) {
  StdoutSpy out;
  std::vector<int> ticks;
  bool armed = false;
  bool timerAfterStop = true;
  bool rearmed = true;
  Arm(armed, 4, 3, TickPattern(&ticks));
  user.Wait(2 * kPeriod)
      .Click(IDC_STOP)
      .Then([&] {
        timerAfterStop = user.HasTimer(*ConsoleWindow(), IDT_RECORD);
        EXPECT_EQ(console.m_captureBuffer, nullptr);
        EXPECT_NE(console.m_outputBuffer, nullptr);
        EXPECT_EQ(console.GetRecorderState(), RecorderState::Stopped);
        // Ticks that still arrive, from a message or a timer started again,
        // find the recorder stopped; arming cannot start it again either.
        console.SendMessage(ui::WM_TIMER, IDT_RECORD);
        console.SetTimer(IDT_RECORD, kPeriod);
        g_recordedFrames = 19;  // the next tick would print "Frame 20"
        rearmed = console.ArmRecorder(4, 3, kPeriod, TickPattern(&ticks));
      })
      .Wait(5 * kPeriod)
      .Key(DialogKey::Escape);
  console.RunModal();

  ASSERT_TRUE(armed);
  EXPECT_FALSE(timerAfterStop);
  EXPECT_FALSE(rearmed);
  EXPECT_EQ(ticks, (std::vector<int>{0, 1}));
  EXPECT_EQ(g_recordedFrames, 19);
  EXPECT_EQ(g_stopRecording, 1);
  EXPECT_EQ(out.Text(), "");
  EXPECT_FALSE(std::filesystem::exists(File(2)));
  EXPECT_FALSE(std::filesystem::exists(File(19)));
}

TEST_F(Recorder, StopRecordingTwiceOrWhileIdleIsHarmless) {
  RecorderState idle = RecorderState::Recording;
  RecorderState afterIdleStop = RecorderState::Idle;
  user.Then([&] { idle = console.GetRecorderState(); })
      .Click(IDC_STOP)
      .Then([&] { afterIdleStop = console.GetRecorderState(); })
      .Click(IDC_STOP)
      .Key(DialogKey::Escape);
  console.RunModal();

  EXPECT_EQ(idle, RecorderState::Idle);
  EXPECT_EQ(afterIdleStop, RecorderState::Stopped);
  EXPECT_EQ(g_stopRecording, 1);
  EXPECT_EQ(console.m_captureBuffer, nullptr);
  EXPECT_TRUE(user.MessageBoxes().empty());
}

TEST_F(Recorder, StopRecordingTwiceWhileRecordingReleasesTheCaptureOnce) {
  bool armed = false;
  Arm(armed);
  user.Wait(kPeriod).Click(IDC_STOP).Click(IDC_STOP).Wait(kPeriod).Key(DialogKey::Escape);
  console.RunModal();

  ASSERT_TRUE(armed);
  EXPECT_EQ(console.m_captureBuffer, nullptr);
  EXPECT_EQ(g_recordedFrames, 1);
  EXPECT_EQ(console.GetRecorderState(), RecorderState::Stopped);
}

TEST_F(Recorder, AFileThatCannotBeCreatedStillUsesItsNumber) {
  // A folder where file 0001 should go: the file cannot be created.
  std::filesystem::create_directory(File(1));
  bool armed = false;
  Arm(armed);
  user.Wait(3 * kPeriod).Key(DialogKey::Escape);
  console.RunModal();

  ASSERT_TRUE(armed);
  EXPECT_EQ(g_recordedFrames, 3);
  EXPECT_TRUE(std::filesystem::is_regular_file(File(0)));
  EXPECT_TRUE(std::filesystem::is_directory(File(1)));
  EXPECT_TRUE(std::filesystem::is_regular_file(File(2)));
  EXPECT_TRUE(user.MessageBoxes().empty());
}

TEST_F(Recorder, BrowseBetweenTwoTicksMovesTheNextFileToTheNewRoot) {
  const std::string other = m_dir.FilePath("other");
  bool armed = false;
  Arm(armed);
  user.Wait(kPeriod).AnswerFileDialog(other).Click(IDC_BROWSE).Wait(kPeriod).Key(DialogKey::Escape);
  console.RunModal();

  ASSERT_TRUE(armed);
  EXPECT_EQ(g_recordedFrames, 2);
  EXPECT_TRUE(std::filesystem::exists(File(0)));
  EXPECT_FALSE(std::filesystem::exists(File(1)));
  EXPECT_TRUE(std::filesystem::exists(other + "_0001.bmp"));
  EXPECT_FALSE(std::filesystem::exists(other + "_0000.bmp"));
}

TEST_F(Recorder, RecordTicksKeepComingWhileThePlayerIsOpen) {
  bool armed = false;
  int topWhileWaiting = 0;
  Arm(armed);
  user.Click(IDC_READ_SERIES)
      .Wait(5 * kPeriod)
      .Then([&] { topWhileWaiting = user.Top()->TemplateId(); })
      .Key(DialogKey::Escape)
      .Key(DialogKey::Escape);
  console.RunModal();

  ASSERT_TRUE(armed);
  EXPECT_EQ(topWhileWaiting, IDD_FILEREAD);
  EXPECT_EQ(g_recordedFrames, 5);
  EXPECT_TRUE(std::filesystem::exists(File(4)));
}

TEST_F(Recorder, TheRecordButtonStillDoesNothing) {
  bool armed = false;
  user.Click(IDC_RECORD).Wait(5 * kPeriod).Then([&] {
    EXPECT_FALSE(user.HasTimer(*ConsoleWindow(), IDT_RECORD));
    EXPECT_EQ(console.GetRecorderState(), RecorderState::Idle);
  });
  Arm(armed);
  user.Click(IDC_RECORD).Wait(kPeriod).Key(DialogKey::Escape);
  console.RunModal();

  ASSERT_TRUE(armed);
  EXPECT_EQ(g_recordedFrames, 1);
}

TEST_F(Recorder, ArmingRefusesWhatCannotBeRecordedAndChangesNothing) {
  // Without a window there is no timer to start.
  EXPECT_FALSE(console.ArmRecorder(4, 3, kPeriod, TickPattern()));
  std::vector<bool> refused;
  bool armed = false;
  user.Then([&] {
        refused.push_back(console.ArmRecorder(0, 3, kPeriod, TickPattern()));
        refused.push_back(console.ArmRecorder(4, -1, kPeriod, TickPattern()));
        refused.push_back(console.ArmRecorder(4, 3, 0, TickPattern()));
        refused.push_back(console.ArmRecorder(4, 3, kPeriod, FrameSource()));
        // 3 × 30000 × 30000 bytes do not fit the file's 32-bit size.
        refused.push_back(console.ArmRecorder(30000, 30000, kPeriod, TickPattern()));
        user.FailTimers(true);
        refused.push_back(console.ArmRecorder(4, 3, kPeriod, TickPattern()));
        user.FailTimers(false);
        EXPECT_FALSE(user.HasTimer(*ConsoleWindow(), IDT_RECORD));
        EXPECT_EQ(console.GetRecorderState(), RecorderState::Idle);
        EXPECT_EQ(console.m_width, 0);
        EXPECT_EQ(console.m_captureBuffer, nullptr);
        EXPECT_EQ(console.m_outputBuffer, nullptr);
      })
      .Wait(kPeriod);
  Arm(armed, 5, 2);
  user.Then([&] { EXPECT_EQ(console.GetRecorderState(), RecorderState::Recording); })
      .Wait(kPeriod)
      .Key(DialogKey::Escape);
  console.RunModal();

  EXPECT_EQ(refused, std::vector<bool>(6, false));
  ASSERT_TRUE(armed);
  EXPECT_EQ(console.m_width, 5);
  EXPECT_EQ(console.m_height, 2);
  EXPECT_EQ(g_recordedFrames, 1);
  EXPECT_EQ(FileBytes(File(0)).size(), 54u + 5 * 2 * 3);
}

TEST_F(Recorder, ArmingAgainReplacesSizeAndSource) {
  std::vector<int> first;
  std::vector<int> second;
  bool armedFirst = false;
  bool armedSecond = false;
  Arm(armedFirst, 4, 3, TickPattern(&first));
  user.Wait(kPeriod);
  Arm(armedSecond, 2, 2, TickPattern(&second));
  user.Wait(kPeriod).Key(DialogKey::Escape);
  console.RunModal();

  ASSERT_TRUE(armedFirst && armedSecond);
  EXPECT_EQ(first, std::vector<int>{0});
  EXPECT_EQ(second, std::vector<int>{1});
  EXPECT_EQ(FileBytes(File(0)).size(), 54u + 4 * 3 * 3);
  EXPECT_EQ(FileBytes(File(1)).size(), 54u + 2 * 2 * 3);
}

TEST_F(Recorder, ASourceThatStopsTheRecorderEndsTheTickWithoutAFile) {
  bool armed = false;
  Arm(armed, 4, 3, [&](int tick, std::span<std::uint8_t> capture) {
    if (tick == 2) {
      console.OnStopRecording();
      return;
    }
    TickPattern()(tick, capture);
  });
  user.Wait(4 * kPeriod).Key(DialogKey::Escape);
  console.RunModal();

  ASSERT_TRUE(armed);
  EXPECT_EQ(g_recordedFrames, 2);
  EXPECT_TRUE(std::filesystem::exists(File(1)));
  EXPECT_FALSE(std::filesystem::exists(File(2)));
  EXPECT_EQ(console.GetRecorderState(), RecorderState::Stopped);
}

TEST_F(Recorder, ASourceCannotReArmTheRecorderFromInsideItsOwnCall) {
  bool armed = false;
  bool reArmed = true;
  Arm(armed, 4, 3, [&](int tick, std::span<std::uint8_t> capture) {
    if (tick == 1)
      reArmed = console.ArmRecorder(2, 2, kPeriod, TickPattern());
    TickPattern()(tick, capture);
  });
  user.Wait(3 * kPeriod).Key(DialogKey::Escape);
  console.RunModal();

  ASSERT_TRUE(armed);
  EXPECT_FALSE(reArmed);
  EXPECT_EQ(FileBytes(File(2)).size(), 54u + 4 * 3 * 3);  // still the first size and source
}

TEST_F(Recorder, TheLongestRootPathStillFormsItsWholeName) {
  // A root path of 251 characters under a real folder: the name with the
  // longest frame number is 267 characters and fits the name buffer whole.
  const std::string base = m_dir.FilePath("");
  SetRoot(base + std::string(251 - base.size(), 'r'));
  bool armed = false;
  g_recordedFrames = -2147483647;  // eleven characters
  Arm(armed);
  user.Wait(kPeriod).Key(DialogKey::Escape);
  console.RunModal();

  ASSERT_TRUE(armed);
  const std::string expected = std::string(g_rootPath) + "_-2147483647.bmp";
  EXPECT_EQ(std::strlen(g_rootPath), 251u);
  EXPECT_STREQ(console.m_fileName, expected.c_str());
}

}  // namespace
