// READ, STOP, closing and the playback timer: the tick interval a rate
// gives, how many frames a range shows, restarting, stopping, refused fields,
// a timer that cannot be had, and what a closed player keeps.

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "PlayerTestSupport.h"

using namespace res;
using namespace player_test;

using PlayerControl = PlayerTest;

// READ during a playback restarts it at the start frame with the new rate
// and a new, cleared buffer; the picture keeps the last frame until the next
// tick, which comes one whole new interval after READ.
TEST_F(PlayerControl, ReadRestartsAtTheStartFrameWithTheTruncatedIntervalOfTheNewRate) {
  WriteFrames(24, 54);
  m_user.Click(IDC_READ_SERIES)
      .Click(IDC_READ)
      .Wait(300)
      .Type(IDC_START_FRAME, "40")
      .Type(IDC_LAST_FRAME, "54");  // the playback has left 27 in this box
  for (const auto& [r, i] :
       std::vector<std::pair<int, int>>{{1, 1000}, {3, 333}, {7, 142}, {30, 33}, {6, 166}}) {
    const int rate = r, interval = i;
    m_user.Type(IDC_FRAME_RATE, std::to_string(rate)).Click(IDC_READ).Then([&, rate, interval] {
      EXPECT_EQ(m_user.TimerInterval(*Player(), IDT_TIMER_0), interval) << "rate " << rate;
      EXPECT_EQ(g_fileReadDlg.m_curFrame, 40);
      EXPECT_EQ(DifferentPixels(Buffer(), kBlack), 0);
      EXPECT_TRUE(SurfaceShows(Picture(), FramePixels(26)));
    });
  }
  const auto shown = [&](int frame) {
    return [&, frame] { EXPECT_EQ(m_fileLines.back(), Line(frame)); };
  };
  m_user.Wait(165)
      .Then(shown(26))
      .Wait(1)
      .Then([&] { EXPECT_TRUE(Shows(FramePixels(40))); })
      .Wait(165)
      .Then(shown(40))
      .Wait(1)
      .Then(shown(41));
  RunConsole();
}

TEST_F(PlayerControl, OneFrameWhenStartIsAtOrBeyondLastAndReadAfterAnEndGoesOneFurther) {
  WriteFrames(25, 31);
  struct Range {
    const char* start;
    const char* last;  // nullptr: the box as the playback before left it
    int shown;
    int next;  // m_curFrame afterwards
  };
  const std::vector<Range> ranges = {{"30", "25", 30, 31},    {"27", "27", 27, 28},
                                     {"26", "29", 29, 30},    {"26", nullptr, 30, 31},
                                     {"26", nullptr, 31, 32}, {"26", nullptr, 31, 32}};
  m_user.Click(IDC_READ_SERIES);
  for (const Range& range : ranges) {
    m_user.Type(IDC_START_FRAME, range.start);
    if (range.last != nullptr)
      m_user.Type(IDC_LAST_FRAME, range.last);
    m_user.Click(IDC_READ).Wait(1000).Then([&, range] {
      SCOPED_TRACE(::testing::Message() << "from " << range.start << " to " << range.shown);
      EXPECT_FALSE(Playing());
      EXPECT_EQ(g_fileReadDlg.m_curFrame, range.next);
      EXPECT_EQ(Box(), std::to_string(range.shown + 1));
      EXPECT_TRUE(Shows(FramePixels(range.shown)));
      EXPECT_EQ(m_fileLines.back(), Line(range.shown));
    });
  }
  RunConsole();
  // The last READ starts at 26 and ends at the missing frame 32.
  EXPECT_EQ(m_fileLines.size(), 1u + 1u + 4u + 5u + 6u + 6u);
}

TEST_F(PlayerControl, ARefusedRateLeavesThePlaybackRunningWithTheRootPathReadBeforeIt) {
  WriteFrames(24, 54);
  const std::string other = m_folder.File("other");  // other pictures, same numbers
  for (int frame = 24; frame <= 54; ++frame)
    WriteBmpFile(FrameName(other, frame).c_str(), FramePixels(frame + 100), kWidth, kHeight);
  m_user.Click(IDC_READ_SERIES).Click(IDC_READ).Wait(200);
  for (const char* rate : {"0", "31"}) {
    m_user.Type(IDC_ROOT_PATH, other)
        .Type(IDC_FRAME_RATE, rate)
        .Type(IDC_START_FRAME, "50")
        .Click(IDC_READ)
        .Then([&] {
          EXPECT_EQ(Player()->FocusId(), IDC_FRAME_RATE);
          EXPECT_EQ(g_fileReadDlg.m_rootPath, other);
          EXPECT_EQ(g_fileReadDlg.m_startFrame, 24) << "fields after the rate are not read";
          EXPECT_EQ(m_user.TimerInterval(*Player(), IDT_TIMER_0), 100);
        })
        .Wait(100)
        .Then([&] {
          const int shown = g_fileReadDlg.m_curFrame - 1;
          EXPECT_EQ(m_fileLines.back(), Line(shown, other));
          EXPECT_TRUE(Shows(FramePixels(shown + 100)));
        });
  }
  RunConsole();
  EXPECT_EQ(g_fileReadDlg.m_curFrame, 28);
  EXPECT_EQ(m_user.MessageBoxes().size(), 2u);
}

// STOP with nothing playing (none started, no timer obtained, already
// stopped) and timer ids other than 1 change nothing.
TEST_F(PlayerControl, ATimerThatCannotBeHadIsReportedAndStopAndForeignIdsChangeNothing) {
  WriteFrames(24, 54);
  m_user.Click(IDC_READ_SERIES)
      .Click(IDC_STOP)
      .Then([&] { m_user.FailTimers(true); })
      .Click(IDC_READ)
      .Wait(1000)
      .Then([&] {
        ASSERT_EQ(m_user.MessageBoxes().size(), 1u);
        const auto& box = m_user.MessageBoxes()[0];
        EXPECT_EQ(box.text, "Unable to obtain timer");
        EXPECT_EQ(box.caption, "IDT_TIMER_0");
        EXPECT_EQ(box.style, 0x1000u);
        EXPECT_EQ(box.ownerTemplateId, IDD_FILEREAD);
        EXPECT_EQ(g_fileReadDlg.m_timerId, 0u);
        EXPECT_FALSE(Playing());
        // The steps before the timer stay done: a cleared buffer, the start frame.
        EXPECT_EQ(g_fileReadDlg.m_curFrame, 24);
        EXPECT_EQ(DifferentPixels(Buffer(), kBlack), 0);
        EXPECT_TRUE(m_fileLines.empty());
        EXPECT_TRUE(SurfaceShows(Picture(), {}));
        EXPECT_EQ(Box(), "54");
        m_user.FailTimers(false);
      })
      .Click(IDC_STOP)
      .Click(IDC_READ)
      .Wait(100)
      .Then([&] {
        for (const ui::UINT id : {0u, 2u, 102u, 0xFFFFFFFFu})
          g_fileReadDlg.SendMessage(ui::WM_TIMER, id);
        EXPECT_EQ(g_fileReadDlg.m_curFrame, 25);
        EXPECT_EQ(PictureUpdates(), 1);
        EXPECT_EQ(m_user.TimerInterval(*Player(), IDT_TIMER_0), 100);
      })
      .Click(IDC_STOP)
      .Wait(1000)
      .Click(IDC_STOP)
      .Then([&] {
        EXPECT_FALSE(Playing());
        EXPECT_EQ(g_fileReadDlg.m_curFrame, 25);
        EXPECT_TRUE(Shows(FramePixels(24)));
      });
  RunConsole();
  EXPECT_EQ(m_fileLines.size(), 1u);
  EXPECT_EQ(m_user.MessageBoxes().size(), 1u);
}

// Closing the player ends its playback; the player object keeps its members
// and the next showing starts from the console's presets with nothing playing.
TEST_F(PlayerControl, EveryWayOfClosingEndsThePlaybackAndTheNextShowingStartsFromThePresets) {
  const std::string other = m_folder.File("other");
  for (int frame = 25; frame <= 40; ++frame)
    WriteFrame(other, frame);
  using Backend = ui::headless::HeadlessBackend;
  const std::vector<std::pair<const char*, std::function<void(Backend&)>>> closers = {
      {"Cancel", [](Backend& user) { user.Click(ui::IDCANCEL); }},
      {"Escape", [](Backend& user) { user.Key(ui::DialogKey::Escape); }},
      {"close box", [](Backend& user) { user.CloseBox(); }}};
  std::size_t lines = 0;
  for (const auto& [name, close] : closers) {
    const char* way = name;
    m_user.Click(IDC_READ_SERIES)
        .Wait(1000)
        .Then([&, way] {
          SCOPED_TRACE(way);
          EXPECT_EQ(Player()->GetControlText(IDC_ROOT_PATH), m_root);
          EXPECT_EQ(Player()->GetControlText(IDC_START_FRAME), "24");
          EXPECT_EQ(Box(), "54");
          EXPECT_EQ(Player()->GetControlText(IDC_FRAME_RATE), lines == 0 ? "10" : "5");
          EXPECT_EQ(Player()->GetCheck(IDC_SHOW_TRACK), 0);
          EXPECT_EQ(Player()->GetCheck(IDC_USE_TRUETRACKS), 0);
          EXPECT_EQ(PictureUpdates(), 0);
          EXPECT_EQ(m_fileLines.size(), lines) << "nothing plays";
        })
        .Type(IDC_ROOT_PATH, other)
        .Type(IDC_START_FRAME, "25")
        .Type(IDC_LAST_FRAME, "40")
        .Type(IDC_FRAME_RATE, "5")
        .Click(IDC_SHOW_TRACK)
        .Click(IDC_READ)
        .Wait(400);
    close(m_user);
    m_user.Wait(2000).Then([&, way] {
      // No tick came after the window went; the members stayed.
      SCOPED_TRACE(way);
      EXPECT_EQ(Player(), nullptr);
      lines += 2;
      EXPECT_EQ(m_fileLines.size(), lines);
      EXPECT_EQ(g_fileReadDlg.m_curFrame, 27);
      EXPECT_EQ(g_fileReadDlg.m_rootPath, other);
      EXPECT_EQ(DifferentPixels(Buffer(), FramePixels(26)), 0);
    });
  }
  RunConsole(1);
  EXPECT_TRUE(m_user.MessageBoxes().empty());
}
