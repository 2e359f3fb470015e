// The player's fields as the console hands them over and READ takes them
// back: the presets at every showing, the rate that survives between
// showings, and the validation that stops READ at the first bad field.

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "app/Korvane.h"
#include "console/KorvaneDlg.h"
#include "player/FileRead.h"
#include "res/ResourceIds.h"
#include "support/TempDir.h"
#include "ui/headless/HeadlessBackend.h"

using namespace res;
using ui::DialogKey;
using ui::headless::HeadlessBackend;
using ui::headless::HeadlessWindow;

namespace {

constexpr const char* kInitialRoot = "C:\\Public\\Qen office\\take9\\take9";

// What one showing of the player looked like, copied out of the script.
struct PlayerView {
  std::string root, start, last, rate;
  int useTracks = -1;
  int showTrack = -1;
  bool timerRunning = false;
};

class PlayerFields : public ::testing::Test {
 protected:
  void SetUp() override {
    std::snprintf(g_rootPath, sizeof g_rootPath, "%s", kInitialRoot);
    g_fileReadDlg.m_frameRate = 10;
    g_fileReadDlg.m_rootPath.clear();
    g_fileReadDlg.m_startFrame = 0;
    g_fileReadDlg.m_lastFrame = 0;
    // READ may look for the track file and ticks for frame files: both in a
    // folder of this test's own.
    m_previousDir = std::filesystem::current_path();
    std::filesystem::current_path(m_dir.Path());
  }
  void TearDown() override { std::filesystem::current_path(m_previousDir); }

  void RunConsole() {
    EXPECT_FALSE(theApp.InitInstance());
    EXPECT_FALSE(user.ScriptExhausted());
    EXPECT_TRUE(user.ScriptErrors().empty());
    EXPECT_EQ(user.Top(), nullptr);
  }

  // Queues a step that copies the open player's fields into view.
  void LookAtPlayer(PlayerView& view) {
    user.Then([this, &view] {
      HeadlessWindow* player = user.Top();
      ASSERT_EQ(player->TemplateId(), IDD_FILEREAD);
      view.root = player->GetControlText(IDC_ROOT_PATH);
      view.start = player->GetControlText(IDC_START_FRAME);
      view.last = player->GetControlText(IDC_LAST_FRAME);
      view.rate = player->GetControlText(IDC_FRAME_RATE);
      view.useTracks = player->GetCheck(IDC_USE_TRUETRACKS);
      view.showTrack = player->GetCheck(IDC_SHOW_TRACK);
      view.timerRunning = user.HasTimer(*player, IDT_TIMER_0);
    });
  }

  HeadlessBackend user;
  TempDir m_dir;
  std::filesystem::path m_previousDir;
};

TEST_F(PlayerFields, PresetsComeBackAtEveryShowingWhileTheRateKeepsTheLastRead) {
  PlayerView second, third;
  int intervalAfterRead = -1;
  user.Click(IDC_READ_SERIES)
      .Type(IDC_ROOT_PATH, "E:\\elsewhere\\clip")
      .Type(IDC_START_FRAME, "5")
      .Type(IDC_LAST_FRAME, "9")
      .Type(IDC_FRAME_RATE, "25")
      .Click(IDC_SHOW_TRACK)
      .Click(IDC_READ)
      .Then([&] { intervalAfterRead = user.TimerInterval(*user.Top(), IDT_TIMER_0); })
      .Key(DialogKey::Escape)
      .Click(IDC_READ_SERIES);
  LookAtPlayer(second);
  // A showing closed without READ leaves the rate as the last READ set it.
  user.Type(IDC_FRAME_RATE, "3").Key(DialogKey::Escape).Click(IDC_READ_SERIES);
  LookAtPlayer(third);
  user.Key(DialogKey::Escape).Key(DialogKey::Escape);
  RunConsole();

  EXPECT_EQ(intervalAfterRead, 1000 / 25);
  for (const PlayerView* view : {&second, &third}) {
    EXPECT_EQ(view->root, kInitialRoot);
    EXPECT_EQ(view->start, "24");
    EXPECT_EQ(view->last, "54");
    EXPECT_EQ(view->rate, "25");
    EXPECT_EQ(view->useTracks, 0);
    EXPECT_EQ(view->showTrack, 0);
    // Closing the player removed its playback timer; nothing plays until READ.
    EXPECT_FALSE(view->timerRunning);
  }
  EXPECT_EQ(g_fileReadDlg.m_frameRate, 25);
  EXPECT_TRUE(user.MessageBoxes().empty());
}

TEST_F(PlayerFields, RatesOneAndThirtyAreAccepted) {
  std::vector<int> intervals;
  for (const char* rate : {"1", "30"}) {
    user.Click(IDC_READ_SERIES)
        .Type(IDC_FRAME_RATE, rate)
        .Click(IDC_READ)
        .Then([&] { intervals.push_back(user.TimerInterval(*user.Top(), IDT_TIMER_0)); })
        .Key(DialogKey::Escape);
  }
  user.Key(DialogKey::Escape);
  RunConsole();

  EXPECT_EQ(intervals, (std::vector<int>{1000, 33}));
  EXPECT_EQ(g_fileReadDlg.m_frameRate, 30);
  EXPECT_TRUE(user.MessageBoxes().empty());
}

// A rate outside 1..30 stops READ at the rate box: the message names the range,
// the focus is on the box, the root path read before it is kept, the refused
// rate is stored, and neither frame box is read.
TEST_F(PlayerFields, RatesOutsideTheRangeAreRefused) {
  const std::vector<std::string> rates = {"0", "31", "-5"};
  std::vector<int> focus, storedRates, lastFrames, startFrames;
  std::vector<std::string> roots;
  std::vector<bool> timers;
  for (const std::string& rate : rates) {
    user.Click(IDC_READ_SERIES)
        .Type(IDC_ROOT_PATH, "E:\\typed\\" + rate)
        .Type(IDC_LAST_FRAME, "99")
        .Type(IDC_START_FRAME, "77")
        .Type(IDC_FRAME_RATE, rate)
        .Click(IDC_READ)
        .Then([&] {
          HeadlessWindow* player = user.Top();
          ASSERT_EQ(player->TemplateId(), IDD_FILEREAD);
          focus.push_back(player->FocusId());
          timers.push_back(user.HasTimer(*player, IDT_TIMER_0));
          roots.push_back(g_fileReadDlg.m_rootPath);
          storedRates.push_back(g_fileReadDlg.m_frameRate);
          lastFrames.push_back(g_fileReadDlg.m_lastFrame);
          startFrames.push_back(g_fileReadDlg.m_startFrame);
        })
        .Key(DialogKey::Escape);
  }
  user.Key(DialogKey::Escape);
  RunConsole();

  EXPECT_EQ(focus, std::vector<int>(rates.size(), IDC_FRAME_RATE));
  EXPECT_EQ(timers, std::vector<bool>(rates.size(), false));
  EXPECT_EQ(roots, (std::vector<std::string>{"E:\\typed\\0", "E:\\typed\\31", "E:\\typed\\-5"}));
  EXPECT_EQ(storedRates, (std::vector<int>{0, 31, -5}));
  EXPECT_EQ(lastFrames, std::vector<int>(rates.size(), 54));
  EXPECT_EQ(startFrames, std::vector<int>(rates.size(), 24));
  ASSERT_EQ(user.MessageBoxes().size(), rates.size());
  for (const auto& box : user.MessageBoxes()) {
    EXPECT_NE(box.text.find("between 1 and 30"), std::string::npos) << box.text;
    EXPECT_EQ(box.ownerTemplateId, IDD_FILEREAD);
  }
}

// A refused rate stays in the member and is shown as it is at the next
// showing, without a message; only pressing READ again refuses it again.
TEST_F(PlayerFields, ARefusedRateIsShownAsItIsNextTime) {
  PlayerView next;
  std::size_t boxesWhenShownAgain = 0;
  user.Click(IDC_READ_SERIES)
      .Type(IDC_FRAME_RATE, "31")
      .Click(IDC_READ)
      .Key(DialogKey::Escape)
      .Click(IDC_READ_SERIES);
  LookAtPlayer(next);
  user.Then([&] { boxesWhenShownAgain = user.MessageBoxes().size(); })
      .Click(IDC_READ)
      .Key(DialogKey::Escape)
      .Key(DialogKey::Escape);
  RunConsole();

  EXPECT_EQ(next.rate, "31");
  EXPECT_EQ(next.start, "24");
  EXPECT_EQ(next.last, "54");
  EXPECT_EQ(boxesWhenShownAgain, 1u);
  EXPECT_EQ(user.MessageBoxes().size(), 2u);
}

TEST_F(PlayerFields, LettersInLastFrameAreRefusedAfterRootAndRateWereRead) {
  int focus = 0;
  bool timer = true;
  user.Click(IDC_READ_SERIES)
      .Type(IDC_ROOT_PATH, "E:\\typed\\root")
      .Type(IDC_FRAME_RATE, "25")
      .Type(IDC_LAST_FRAME, "abc")
      .Type(IDC_START_FRAME, "77")
      .Click(IDC_READ)
      .Then([&] {
        focus = user.Top()->FocusId();
        timer = user.HasTimer(*user.Top(), IDT_TIMER_0);
      })
      .Key(DialogKey::Escape)
      .Key(DialogKey::Escape);
  RunConsole();

  EXPECT_EQ(focus, IDC_LAST_FRAME);
  EXPECT_FALSE(timer);
  EXPECT_EQ(g_fileReadDlg.m_rootPath, "E:\\typed\\root");
  EXPECT_EQ(g_fileReadDlg.m_frameRate, 25);
  EXPECT_EQ(g_fileReadDlg.m_lastFrame, 54);
  EXPECT_EQ(g_fileReadDlg.m_startFrame, 24);
  ASSERT_EQ(user.MessageBoxes().size(), 1u);
  EXPECT_NE(user.MessageBoxes()[0].text.find("integer"), std::string::npos);
  EXPECT_EQ(user.MessageBoxes()[0].text.find("between"), std::string::npos);
  EXPECT_EQ(user.MessageBoxes()[0].ownerTemplateId, IDD_FILEREAD);
}

}  // namespace
