// READ, STOP and the playback timer: the tick interval a rate gives, how many
// frames a range shows, restarting, stopping, refused fields and a timer that
// cannot be had.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "PlayerTestSupport.h"
#include "player/FileRead.h"
#include "res/ResourceIds.h"

using namespace res;
using namespace player_test;

using PlayerControl = PlayerTest;

TEST_F(PlayerControl, TheRateGivesTheTruncatedTickInterval) {
  WriteFrames(m_root, 24, 54);
  const std::vector<std::pair<int, int>> rates = {{1, 1000}, {3, 333},  {6, 166},
                                                  {7, 142},  {10, 100}, {30, 33}};
  m_user.Click(IDC_READ_SERIES);
  for (const auto& entry : rates) {
    const int rate = entry.first;
    const int interval = entry.second;
    m_user.Type(IDC_FRAME_RATE, std::to_string(rate))
        .Type(IDC_LAST_FRAME, "54")
        .Click(IDC_READ)
        .Then([&, rate, interval] {
          EXPECT_EQ(g_fileReadDlg.m_frameRate, rate);
          EXPECT_EQ(m_user.TimerInterval(*Player(), IDT_TIMER_0), interval) << "rate " << rate;
        })
        .Click(IDC_STOP);
  }
  // At rate 6 the first tick comes 166 ms after READ, the next 166 ms later.
  std::size_t ticks = 0;
  m_user.Type(IDC_FRAME_RATE, "6")
      .Click(IDC_READ)
      .Wait(165)
      .Then([&] { ticks = FileNameLines().size(); })
      .Wait(1)
      .Then([&] { EXPECT_EQ(FileNameLines().size(), ticks + 1); })
      .Wait(165)
      .Then([&] { EXPECT_EQ(FileNameLines().size(), ticks + 1); })
      .Wait(1)
      .Then([&] { EXPECT_EQ(FileNameLines().size(), ticks + 2); })
      .Key(ui::DialogKey::Escape)
      .Key(ui::DialogKey::Escape);
  RunConsole();
  EXPECT_EQ(ticks, 0u);
}

TEST_F(PlayerControl, OneFrameWhenStartIsAtOrBeyondLast) {
  WriteFrames(m_root, 25, 31);
  struct Range {
    const char* start;
    const char* last;
    int shown;
  };
  const std::vector<Range> ranges = {{"30", "25", 30}, {"27", "27", 27}};
  m_user.Click(IDC_READ_SERIES);
  for (const Range& range : ranges) {
    m_user.Type(IDC_START_FRAME, range.start)
        .Type(IDC_LAST_FRAME, range.last)
        .Click(IDC_READ)
        .Wait(1000)
        .Then([&, range] {
          EXPECT_FALSE(m_user.HasTimer(*Player(), IDT_TIMER_0));
          EXPECT_EQ(Player()->GetControlText(IDC_LAST_FRAME), std::to_string(range.shown + 1));
          EXPECT_TRUE(SurfaceShows(Picture(), FramePixels(range.shown)));
        });
  }
  m_user.Key(ui::DialogKey::Escape).Key(ui::DialogKey::Escape);
  RunConsole();
  EXPECT_EQ(FileNameLines(),
            (std::vector<std::string>{"filename: " + FrameName(m_root, 30) + "\n",
                                      "filename: " + FrameName(m_root, 27) + "\n"}));
}

TEST_F(PlayerControl, ReadAfterAFullRunPlaysOneFrameFurther) {
  WriteFrames(m_root, 24, 27);
  m_user.Click(IDC_READ_SERIES)
      .Type(IDC_LAST_FRAME, "26")
      .Click(IDC_READ)
      .Wait(1000)
      .Then([&] {
        EXPECT_EQ(Player()->GetControlText(IDC_LAST_FRAME), "27");
        EXPECT_EQ(FileNameLines().size(), 3u);
      })
      .Click(IDC_READ)
      .Wait(1000)
      .Then([&] {
        EXPECT_EQ(g_fileReadDlg.m_lastFrame, 27);
        EXPECT_EQ(Player()->GetControlText(IDC_LAST_FRAME), "28");
        EXPECT_TRUE(SurfaceShows(Picture(), FramePixels(27)));
      })
      // The next READ reaches a frame that has no file and ends there.
      .Click(IDC_READ)
      .Wait(1000)
      .Then([&] {
        EXPECT_EQ(g_fileReadDlg.m_curFrame, 28);
        EXPECT_EQ(Player()->GetControlText(IDC_LAST_FRAME), "28");
        EXPECT_FALSE(m_user.HasTimer(*Player(), IDT_TIMER_0));
      })
      .Key(ui::DialogKey::Escape)
      .Key(ui::DialogKey::Escape);
  RunConsole();
  EXPECT_EQ(FileNameLines().size(), 3u + 4u + 4u);
}

TEST_F(PlayerControl, ReadDuringPlaybackRestartsWithTheNewRateAndAClearedBuffer) {
  WriteFrames(m_root, 24, 54);
  m_user.Click(IDC_READ_SERIES)
      .Click(IDC_READ)
      .Wait(300)
      .Then([&] { EXPECT_EQ(g_fileReadDlg.m_curFrame, 27); })
      .Type(IDC_FRAME_RATE, "5")
      .Type(IDC_START_FRAME, "40")
      .Type(IDC_LAST_FRAME, "54")
      .Click(IDC_READ)
      .Then([&] {
        EXPECT_EQ(g_fileReadDlg.m_curFrame, 40);
        EXPECT_EQ(m_user.TimerInterval(*Player(), IDT_TIMER_0), 200);
        EXPECT_EQ(DifferentPixels(Buffer(), std::vector<std::uint8_t>(kFrameBytes, 0)), 0);
        // The picture keeps the last frame shown until the next tick.
        EXPECT_TRUE(SurfaceShows(Picture(), FramePixels(26)));
      })
      .Wait(199)
      .Then([&] { EXPECT_EQ(g_fileReadDlg.m_curFrame, 40); })
      .Wait(1)
      .Then([&] {
        EXPECT_EQ(g_fileReadDlg.m_curFrame, 41);
        EXPECT_TRUE(SurfaceShows(Picture(), FramePixels(40)));
      })
      .Key(ui::DialogKey::Escape)
      .Key(ui::DialogKey::Escape);
  RunConsole();
  const auto lines = FileNameLines();
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[3], "filename: " + FrameName(m_root, 40) + "\n");
}

TEST_F(PlayerControl, StopWhenIdleAndForeignTimerIdsDoNothing) {
  WriteFrames(m_root, 24, 54);
  m_user.Click(IDC_READ_SERIES)
      .Click(IDC_STOP)
      .Then([&] {
        EXPECT_FALSE(m_user.HasTimer(*Player(), IDT_TIMER_0));
        EXPECT_EQ(g_fileReadDlg.m_curFrame, 0);
        EXPECT_EQ(Player()->GetControlText(IDC_LAST_FRAME), "54");
        EXPECT_TRUE(m_user.MessageBoxes().empty());
      })
      .Click(IDC_READ)
      .Wait(100)
      .Then([&] {
        for (const ui::UINT id : {0u, 2u, 102u, 0xFFFFFFFFu})
          g_fileReadDlg.SendMessage(ui::WM_TIMER, id);
        EXPECT_EQ(g_fileReadDlg.m_curFrame, 25);
        EXPECT_EQ(FileNameLines().size(), 1u);
        EXPECT_EQ(PictureUpdates(), 1);
        EXPECT_EQ(m_user.TimerInterval(*Player(), IDT_TIMER_0), 100);
      })
      .Click(IDC_STOP)
      .Wait(1000)
      .Then([&] {
        // Stopped: the next frame number, the buffer and the picture stay.
        EXPECT_FALSE(m_user.HasTimer(*Player(), IDT_TIMER_0));
        EXPECT_EQ(g_fileReadDlg.m_curFrame, 25);
        EXPECT_EQ(DifferentPixels(Buffer(), FramePixels(24)), 0);
        EXPECT_TRUE(SurfaceShows(Picture(), FramePixels(24)));
      })
      .Click(IDC_STOP)
      .Then([&] { EXPECT_EQ(g_fileReadDlg.m_curFrame, 25); })
      .Key(ui::DialogKey::Escape)
      .Key(ui::DialogKey::Escape);
  RunConsole();
  EXPECT_EQ(FileNameLines().size(), 1u);
}

TEST_F(PlayerControl, ARefusedRateLeavesThePlaybackRunningWithTheRootPathReadBeforeIt) {
  WriteFrames(m_root, 24, 54);
  const std::string other = m_folder.FilePath("other");
  // The other series holds different pictures under the same numbers.
  for (int frame = 24; frame <= 54; ++frame) {
    WriteFrame(other, frame, FramePixels(frame + 100));
  }
  int refusals = 0;
  m_user.Click(IDC_READ_SERIES).Click(IDC_READ).Wait(200);
  for (const char* rate : {"0", "31"}) {
    m_user.Type(IDC_ROOT_PATH, other)
        .Type(IDC_FRAME_RATE, rate)
        .Type(IDC_START_FRAME, "50")
        .Click(IDC_READ)
        .Then([&, rate] {
          ++refusals;
          EXPECT_EQ(m_user.MessageBoxes().size(), static_cast<std::size_t>(refusals));
          EXPECT_EQ(Player()->FocusId(), IDC_FRAME_RATE);
          EXPECT_EQ(g_fileReadDlg.m_frameRate, std::stoi(rate)) << "stored before the range test";
          EXPECT_EQ(g_fileReadDlg.m_rootPath, other);
          EXPECT_EQ(g_fileReadDlg.m_startFrame, 24) << "fields after the rate are not read";
          EXPECT_EQ(m_user.TimerInterval(*Player(), IDT_TIMER_0), 100);
        })
        .Wait(100)
        .Then([&] {
          const int shown = g_fileReadDlg.m_curFrame - 1;
          EXPECT_EQ(FileNameLines().back(), "filename: " + FrameName(other, shown) + "\n");
          EXPECT_TRUE(SurfaceShows(Picture(), FramePixels(shown + 100)));
        });
  }
  m_user.Key(ui::DialogKey::Escape).Key(ui::DialogKey::Escape);
  RunConsole();
  EXPECT_EQ(g_fileReadDlg.m_curFrame, 28);
  for (const auto& box : m_user.MessageBoxes())
    EXPECT_FALSE(box.text.empty());
}

TEST_F(PlayerControl, ATimerThatCannotBeHadIsReportedAndNothingPlays) {
  WriteFrames(m_root, 24, 54);
  m_user.Click(IDC_READ_SERIES)
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
        EXPECT_FALSE(m_user.HasTimer(*Player(), IDT_TIMER_0));
        // The steps before the timer stay done.
        EXPECT_EQ(g_fileReadDlg.m_curFrame, 24);
        EXPECT_EQ(g_fileReadDlg.m_frameBytes, static_cast<int>(kFrameBytes));
        EXPECT_EQ(DifferentPixels(Buffer(), std::vector<std::uint8_t>(kFrameBytes, 0)), 0);
        EXPECT_TRUE(FileNameLines().empty());
        EXPECT_TRUE(SurfaceUntouched(Picture()));
      })
      .Click(IDC_STOP)
      .Then([&] {
        m_user.FailTimers(false);
        EXPECT_EQ(m_user.MessageBoxes().size(), 1u);
      })
      .Click(IDC_READ)
      .Wait(100)
      .Then([&] {
        EXPECT_EQ(g_fileReadDlg.m_timerId, IDT_TIMER_0);
        EXPECT_TRUE(SurfaceShows(Picture(), FramePixels(24)));
      })
      .Key(ui::DialogKey::Escape)
      .Key(ui::DialogKey::Escape);
  RunConsole();
}
