// The frame recorder on the headless backend: arming, the record tick's
// numbering, progress line, rearrangement and file writing, Stop Recording,
// and the tick's place among the console's other work.

#include <climits>
#include <functional>
#include <iterator>
#include <vector>

#include "ConsoleTestSupport.h"
#include "image/SeriesFrames.h"
#include "support/TextFiles.h"

using namespace res;
using ui::DialogKey;

namespace {

constexpr ui::UINT kPeriod = 50;

using test_files::ReadBytes;

// Puts a stream of its own in place of standard output while it exists; each
// write reaches onWrite as it leaves the stream's buffer, so a test can tell
// what had happened by then.
class StdoutSpy {
 public:
  explicit StdoutSpy(std::function<void()> onWrite = {}) : m_onWrite(std::move(onWrite)) {
    std::fflush(stdout);
    cookie_io_functions_t functions{};
    functions.write = [](void* cookie, const char* data, size_t size) -> ssize_t {
      auto* self = static_cast<StdoutSpy*>(cookie);
      self->m_text.append(data, size);
      if (self->m_onWrite)
        self->m_onWrite();
      return static_cast<ssize_t>(size);
    };
    m_stream = fopencookie(this, "w", functions);
    stdout = m_stream;
  }
  ~StdoutSpy() {
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
  std::function<void()> m_onWrite;
  std::string m_text;
  FILE* m_saved = stdout;
  FILE* m_stream = nullptr;
};

// A source whose frame depends on the tick, so every file can be traced back
// to the tick that wrote it; `ticks` receives the tick numbers it was given.
FrameSource TickPattern(std::vector<int>* ticks = nullptr) {
  return [ticks](int tick, std::span<std::uint8_t> capture) {
    if (ticks != nullptr)
      ticks->push_back(tick);
    for (std::size_t i = 0; i < capture.size(); ++i)
      capture[i] = static_cast<std::uint8_t>(static_cast<unsigned>(tick) * 7u + i);
  };
}

class Recorder : public ConsoleTest {
 protected:
  void SetUp() override {
    ConsoleTest::SetUp();
    std::snprintf(g_rootPath, sizeof g_rootPath, "%s", m_dir.File("rec").c_str());
  }
  std::string File(int n) const { return series::FrameFileName(m_dir.File("rec"), n); }
  // Queues the arming of `dlg` (the fixture's console by default), which
  // must succeed.
  void Arm(FrameSource source = TickPattern(), int width = 4, int height = 3,
           CKorvaneDlg* dlg = nullptr) {
    CKorvaneDlg& target = dlg ? *dlg : console;
    user.Then([&target, width, height, source] {
      EXPECT_TRUE(target.ArmRecorder(width, height, kPeriod, source));
    });
  }
  // Lets `ticks` record periods pass, then closes the console.
  void RunTicks(int ticks, CKorvaneDlg* dlg = nullptr) {
    user.Wait(ticks * static_cast<int>(kPeriod)).Key(DialogKey::Escape);
    (dlg ? *dlg : console).RunModal();
  }
  bool ConsoleTimer() const { return user.HasTimer(*user.Top(), IDT_RECORD); }

  CKorvaneDlg console;
};

// Each tick asks the source for the frame of the number its file gets, then
// writes that file; the twentieth prints "Frame 20" before writing file 0019.
// Other timer ids, and Record pressed meanwhile, change nothing.
TEST_F(Recorder, TicksWriteNumberedFilesAndTheTwentiethPrintsFirst) {
  // For each write to standard output: the counter, and whether file 0019
  // existed by then.
  std::vector<std::pair<int, bool>> prints;
  StdoutSpy out([&] { prints.emplace_back(g_recordedFrames, std::filesystem::exists(File(19))); });
  std::vector<int> ticks, counters;
  int interval = 0;
  const FrameSource pattern = TickPattern(&ticks);
  Arm([&](int tick, std::span<std::uint8_t> capture) {
    counters.push_back(g_recordedFrames);
    pattern(tick, capture);
  });
  user.Then([&] {
        interval = user.TimerInterval(*user.Top(), IDT_RECORD);
        // Other timer ids reach only the base dialog's timer handling.
        for (ui::UINT id : {0u, 1u, 101u, 103u})
          console.SendMessage(ui::WM_TIMER, id);
      })
      .Wait(kPeriod)
      .Click(IDC_RECORD);
  RunTicks(19);

  EXPECT_EQ(interval, static_cast<int>(kPeriod));
  EXPECT_EQ(out.Text(), "Frame 20\n");
  EXPECT_EQ(prints, (std::vector<std::pair<int, bool>>{{20, false}}));
  EXPECT_TRUE(std::filesystem::exists(File(0)));
  EXPECT_TRUE(std::filesystem::exists(File(19)));
  EXPECT_EQ(g_recordedFrames, 20);
  EXPECT_EQ(ticks.size(), 20u);
  EXPECT_EQ(ticks.back(), 19);
  EXPECT_EQ(counters, ticks);
  EXPECT_STREQ(console.m_fileName, File(19).c_str());
  // The file of tick 8 holds the source's frame for 8, bottom row first and
  // blue-green-red.
  std::vector<std::uint8_t> capture(4 * 3 * 3);
  TickPattern()(8, capture);
  const std::vector<unsigned char> file = ReadBytes(File(8));
  ASSERT_EQ(file.size(), 54u + capture.size());
  for (int row = 0; row < 3; ++row) {
    for (int p = 0; p < 4; ++p) {
      for (int k = 0; k < 3; ++k)
        EXPECT_EQ(file[54 + (row * 4 + p) * 3 + k], capture[((2 - row) * 4 + p) * 3 + (2 - k)]);
    }
  }
}

// Numbers past four digits get more digits; the longest root with the longest
// number still forms its whole name; at INT_MAX a tick writes nothing instead
// of overflowing the counter.
TEST_F(Recorder, NumbersPastFourDigitsTheLongestNameAndTheLastNumber) {
  const std::string base = m_dir.File("");
  const std::string longRoot = base + std::string(251 - base.size(), 'r');
  struct Case {
    int start;
    std::string root;
    int counter;
    std::string name;  // empty: no file written
  };
  const std::vector<Case> cases = {
      {10000, g_rootPath, 10001, File(10000)},
      {-2147483647, longRoot, -2147483646, longRoot + "_-2147483647.bmp"},
      {INT_MAX, g_rootPath, INT_MAX, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.start);
    std::snprintf(g_rootPath, sizeof g_rootPath, "%s", c.root.c_str());
    g_recordedFrames = c.start;
    CKorvaneDlg dlg;
    Arm(TickPattern(), 4, 3, &dlg);
    RunTicks(1, &dlg);
    EXPECT_EQ(g_recordedFrames, c.counter);
    EXPECT_EQ(std::string(dlg.m_fileName), c.name);
    EXPECT_EQ(std::filesystem::exists(c.name), !c.name.empty());
  }
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(m_dir.Path()), {}), 2);
}

TEST_F(Recorder, ATwoByTwoCaptureIsTurnedIntoABottomUpBlueGreenRedFrame) {
  // Top row R1 G1 B1, R2 G2 B2; bottom row R3 G3 B3, R4 G4 B4, where Rn is
  // 0x10 * n + 1, Gn 0x10 * n + 2 and Bn 0x10 * n + 3.
  const std::vector<std::uint8_t> capture = {0x11, 0x12, 0x13, 0x21, 0x22, 0x23,
                                             0x31, 0x32, 0x33, 0x41, 0x42, 0x43};
  const std::vector<unsigned char> expected = {0x33, 0x32, 0x31, 0x43, 0x42, 0x41,
                                               0x13, 0x12, 0x11, 0x23, 0x22, 0x21};
  Arm([&](int,
          std::span<std::uint8_t> out) { std::copy(capture.begin(), capture.end(), out.begin()); },
      2, 2);
  RunTicks(1);

  const std::vector<unsigned char> file = ReadBytes(File(0));
  ASSERT_EQ(file.size(), 66u);
  EXPECT_EQ(std::vector<unsigned char>(file.begin() + 54, file.end()), expected);
  // The capture is only read.
  EXPECT_TRUE(std::equal(capture.begin(), capture.end(), console.m_captureBuffer.get()));
}

// A source that presses Stop Recording ends its tick without a file. Stop
// Recording (pressed twice more) has removed the timer and released the
// capture; ticks that still arrive, from a message or a timer started again,
// write nothing, print nothing and count nothing; arming cannot start it again.
TEST_F(Recorder, NothingIsRecordedAfterStopRecording) {
  StdoutSpy out;
  std::vector<int> ticks;
  bool timerAfterStop = true, rearmed = true;
  int counterAtStop = -1;
  Arm([&](int tick, std::span<std::uint8_t>) {
    ticks.push_back(tick);
    if (tick == 2)
      console.OnStopRecording();
  });
  user.Wait(3 * kPeriod)
      .Then([&] { counterAtStop = g_recordedFrames; })
      .Click(IDC_STOP)
      .Click(IDC_STOP)
      .Then([&] {
        timerAfterStop = ConsoleTimer();
        EXPECT_EQ(console.m_captureBuffer, nullptr);
        EXPECT_NE(console.m_outputBuffer, nullptr);
        EXPECT_EQ(console.GetRecorderState(), RecorderState::Stopped);
        console.SendMessage(ui::WM_TIMER, IDT_RECORD);
        console.SetTimer(IDT_RECORD, kPeriod);
        g_recordedFrames = 19;  // the next tick would print "Frame 20"
        rearmed = console.ArmRecorder(4, 3, kPeriod, TickPattern(&ticks));
      });
  RunTicks(5);

  EXPECT_EQ(counterAtStop, 2);
  EXPECT_TRUE(std::filesystem::exists(File(1)));
  EXPECT_FALSE(timerAfterStop);
  EXPECT_FALSE(rearmed);
  EXPECT_EQ(ticks, (std::vector<int>{0, 1, 2}));
  EXPECT_EQ(g_recordedFrames, 19);
  EXPECT_EQ(g_stopRecording, 1);
  EXPECT_EQ(out.Text(), "");
  EXPECT_FALSE(std::filesystem::exists(File(2)));
  EXPECT_FALSE(std::filesystem::exists(File(19)));
}

TEST_F(Recorder, StopRecordingWhileIdleStopsForGood) {
  RecorderState before = RecorderState::Stopped;
  user.Then([&] { before = console.GetRecorderState(); }).Click(IDC_STOP).Key(DialogKey::Escape);
  console.RunModal();

  EXPECT_EQ(before, RecorderState::Idle);
  EXPECT_EQ(console.GetRecorderState(), RecorderState::Stopped);
  EXPECT_EQ(g_stopRecording, 1);
  EXPECT_TRUE(user.MessageBoxes().empty());
}

// Ticks keep coming while the player is open, and Browse between two ticks
// moves the next file to the new root, the numbering carrying on. A file that
// cannot be created (a folder in its place) still uses its number, quietly.
TEST_F(Recorder, TicksGoOnUnderThePlayerAndFollowBrowse) {
  const std::string other = m_dir.File("other");
  std::filesystem::create_directory(other + "_0002.bmp");
  int topWhileWaiting = 0;
  Arm();
  user.Wait(kPeriod)
      .AnswerFileDialog(other)
      .Click(IDC_BROWSE)
      .Click(IDC_READ_SERIES)
      .Wait(3 * kPeriod)
      .Then([&] { topWhileWaiting = user.Top()->TemplateId(); })
      .Key(DialogKey::Escape)
      .Key(DialogKey::Escape);
  console.RunModal();

  EXPECT_EQ(topWhileWaiting, IDD_FILEREAD);
  EXPECT_EQ(g_recordedFrames, 4);
  EXPECT_TRUE(std::filesystem::exists(File(0)));
  EXPECT_FALSE(std::filesystem::exists(File(1)));
  EXPECT_FALSE(std::filesystem::exists(other + "_0000.bmp"));
  EXPECT_TRUE(std::filesystem::is_regular_file(other + "_0001.bmp"));
  EXPECT_TRUE(std::filesystem::is_directory(other + "_0002.bmp"));
  EXPECT_TRUE(std::filesystem::is_regular_file(other + "_0003.bmp"));
  EXPECT_TRUE(user.MessageBoxes().empty());
}

TEST_F(Recorder, ArmingRefusesWhatCannotBeRecordedAndChangesNothing) {
  // Without a window there is no timer to start.
  EXPECT_FALSE(console.ArmRecorder(4, 3, kPeriod, TickPattern()));
  std::vector<bool> results;
  user.Then([&] {
        results.push_back(console.ArmRecorder(0, 3, kPeriod, TickPattern()));
        results.push_back(console.ArmRecorder(4, -1, kPeriod, TickPattern()));
        results.push_back(console.ArmRecorder(4, 3, 0, TickPattern()));
        results.push_back(console.ArmRecorder(4, 3, kPeriod, FrameSource()));
        // 3 × 30000 × 30000 bytes do not fit the file's 32-bit size.
        results.push_back(console.ArmRecorder(30000, 30000, kPeriod, TickPattern()));
        user.FailTimers(true);
        results.push_back(console.ArmRecorder(4, 3, kPeriod, TickPattern()));
        user.FailTimers(false);
        EXPECT_FALSE(ConsoleTimer());
        EXPECT_EQ(console.GetRecorderState(), RecorderState::Idle);
        EXPECT_EQ(console.m_width, 0);
        EXPECT_EQ(console.m_captureBuffer, nullptr);
        EXPECT_EQ(console.m_outputBuffer, nullptr);
      })
      .Wait(kPeriod);
  Arm(TickPattern(), 5, 2);
  RunTicks(1);

  EXPECT_EQ(results, std::vector<bool>(6, false));
  EXPECT_EQ(g_recordedFrames, 1);
  EXPECT_EQ(ReadBytes(File(0)).size(), 54u + 5 * 2 * 3);
}

// Arming again replaces size and source, but a source cannot re-arm the
// recorder from inside its own call.
TEST_F(Recorder, ArmingAgainReplacesSizeAndSourceButNotFromInsideTheSource) {
  std::vector<int> first, second;
  bool armedInside = true;
  Arm(TickPattern(&first));
  user.Wait(kPeriod);
  Arm(
      [&](int tick, std::span<std::uint8_t> capture) {
        armedInside = console.ArmRecorder(4, 3, kPeriod, TickPattern());
        TickPattern (&second)(tick, capture);
      },
      2, 2);
  RunTicks(2);

  EXPECT_FALSE(armedInside);
  EXPECT_EQ(first, std::vector<int>{0});
  EXPECT_EQ(second, (std::vector<int>{1, 2}));
  EXPECT_EQ(ReadBytes(File(0)).size(), 54u + 4 * 3 * 3);
  EXPECT_EQ(ReadBytes(File(2)).size(), 54u + 2 * 2 * 3);
}

}  // namespace
