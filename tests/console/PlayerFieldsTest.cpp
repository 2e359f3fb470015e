// The player's fields as the console hands them over and READ takes them
// back: the presets at every showing, the rate that survives between
// showings, and the validation that stops READ at the first bad field.

#include <vector>

#include "ConsoleTestSupport.h"

using namespace res;
using ui::DialogKey;
using ui::headless::HeadlessWindow;

namespace {

// What one showing of the player looked like, copied out of the script.
struct PlayerView {
  std::string root, start, last, rate, consoleBox;
  int useTracks = -1;
  int showTrack = -1;
  int owner = 0;
  bool timerRunning = true;
  auto operator<=>(const PlayerView&) const = default;
};

class PlayerFields : public ConsoleTest {
 protected:
  // Queues a step that copies the open player's fields into view.
  void LookAtPlayer(PlayerView& view) {
    user.Then([this, &view] {
      HeadlessWindow* player = user.Top();
      ASSERT_EQ(player->TemplateId(), IDD_FILEREAD);
      view = {player->GetControlText(IDC_ROOT_PATH),  player->GetControlText(IDC_START_FRAME),
              player->GetControlText(IDC_LAST_FRAME), player->GetControlText(IDC_FRAME_RATE),
              Box(IDD_KORVANE_DIALOG, IDC_ROOT_PATH), player->GetCheck(IDC_USE_TRUETRACKS),
              player->GetCheck(IDC_SHOW_TRACK),       player->Owner()->TemplateId(),
              user.HasTimer(*player, IDT_TIMER_0)};
    });
  }
};

// The first showing has the console's presets, rate 10 and both boxes
// unticked. After READ with other values and Cancel during playback, and
// after a showing closed without READ, the presets come back, the rate is the
// one READ took, and nothing plays.
TEST_F(PlayerFields, PresetsComeBackAtEveryShowingWhileTheRateKeepsTheLastRead) {
  PlayerView first, second, third;
  int intervalAfterRead = -1;
  user.Click(IDC_READ_SERIES);
  LookAtPlayer(first);
  user.Type(IDC_ROOT_PATH, "E:\\elsewhere\\clip")
      .Type(IDC_START_FRAME, "5")
      .Type(IDC_LAST_FRAME, "9")
      .Type(IDC_FRAME_RATE, "25")
      .Click(IDC_SHOW_TRACK)
      .Click(IDC_READ)
      .Then([&] { intervalAfterRead = user.TimerInterval(*user.Top(), IDT_TIMER_0); })
      .Key(DialogKey::Escape)
      .Click(IDC_READ_SERIES);
  LookAtPlayer(second);
  user.Type(IDC_FRAME_RATE, "3").Key(DialogKey::Escape).Click(IDC_READ_SERIES);
  LookAtPlayer(third);
  user.Key(DialogKey::Escape).Key(DialogKey::Escape);
  RunConsole();

  // The player has no parent of its own: the running console owns it.
  const PlayerView presets{kInitialRoot, "24", "54", "10", "", 0, 0, IDD_KORVANE_DIALOG, false};
  EXPECT_EQ(first, presets);
  PlayerView later = presets;
  later.rate = "25";
  EXPECT_EQ(second, later);
  EXPECT_EQ(third, later);
  EXPECT_EQ(intervalAfterRead, 1000 / 25);
  EXPECT_EQ(g_fileReadDlg.m_frameRate, 25);
  EXPECT_TRUE(user.MessageBoxes().empty());
}

// Rates 1 and 30 start playback. READ stops at the first bad field with its
// message and the focus there: a rate outside 1..30 (stored all the same), or
// letters in Last frame; the fields read before it are kept, those after it
// are not read. A refused rate is shown as it is at the next showing, without
// a message.
TEST_F(PlayerFields, ReadStopsAtTheFirstBadField) {
  const std::string range = "Please enter an integer between 1 and 30.";
  struct Case {
    std::string rate, last;
    int interval;  // -1: refused
    int focus;
    std::string message;
  };
  const std::vector<Case> cases = {
      {"1", "99", 1000, IDC_READ, ""},
      {"0", "99", -1, IDC_FRAME_RATE, range},
      {"31", "99", -1, IDC_FRAME_RATE, range},
      {"-5", "99", -1, IDC_FRAME_RATE, range},
      {"25", "abc", -1, IDC_LAST_FRAME, "Please enter an integer."},
      {"30", "99", 33, IDC_READ, ""},
  };
  std::string shownRate = "10";
  std::size_t refusals = 0;
  for (const Case& c : cases) {
    const bool refused = c.interval < 0;
    user.Click(IDC_READ_SERIES)
        .Then([&, c, shownRate, refusals] {
          EXPECT_EQ(user.Top()->GetControlText(IDC_FRAME_RATE), shownRate) << "before " << c.rate;
          EXPECT_EQ(user.MessageBoxes().size(), refusals);
        })
        .Type(IDC_ROOT_PATH, "E:\\typed\\" + c.rate)
        .Type(IDC_LAST_FRAME, c.last)
        .Type(IDC_START_FRAME, "77")
        .Type(IDC_FRAME_RATE, c.rate)
        .Click(IDC_READ)
        .Then([&, c, refused, refusals] {
          HeadlessWindow* player = user.Top();
          EXPECT_EQ(user.TimerInterval(*player, IDT_TIMER_0), c.interval) << c.rate;
          EXPECT_EQ(player->FocusId(), c.focus) << c.rate;
          EXPECT_EQ(g_fileReadDlg.m_rootPath, "E:\\typed\\" + c.rate);
          EXPECT_EQ(g_fileReadDlg.m_frameRate, std::stoi(c.rate));
          EXPECT_EQ(g_fileReadDlg.m_lastFrame, refused ? 54 : 99) << c.rate;
          EXPECT_EQ(g_fileReadDlg.m_startFrame, refused ? 24 : 77) << c.rate;
          ASSERT_EQ(user.MessageBoxes().size(), refusals + (refused ? 1 : 0)) << c.rate;
          if (refused) {
            EXPECT_EQ(user.MessageBoxes().back().text, c.message);
            EXPECT_EQ(user.MessageBoxes().back().caption, "Korvane");
            EXPECT_EQ(user.MessageBoxes().back().ownerTemplateId, IDD_FILEREAD);
          }
        })
        .Key(DialogKey::Escape);
    shownRate = c.rate;
    refusals += refused ? 1 : 0;
  }
  user.Key(DialogKey::Escape);
  RunConsole();
  EXPECT_EQ(user.MessageBoxes().size(), 4u);
}

}  // namespace
