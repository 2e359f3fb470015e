// Closing the player during a playback and showing it again: the window and
// its timer go, the player object keeps its members, and the next showing
// starts from the console's presets with nothing playing.

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "PlayerTestSupport.h"
#include "player/FileRead.h"
#include "res/ResourceIds.h"

using namespace res;
using namespace player_test;

namespace {

struct CloseWay {
  const char* name;
  std::function<void(ui::headless::HeadlessBackend&)> close;
};

class PlayerLifecycle : public PlayerTest, public ::testing::WithParamInterface<CloseWay> {};

}  // namespace

TEST_P(PlayerLifecycle, ClosingDuringPlaybackEndsItAndTheNextShowingStartsFromThePresets) {
  const std::string other = m_folder.FilePath("other");
  for (int frame = 25; frame <= 40; ++frame)
    WriteFrame(other, frame);

  m_user.Click(IDC_READ_SERIES)
      .Type(IDC_ROOT_PATH, other)
      .Type(IDC_START_FRAME, "25")
      .Type(IDC_LAST_FRAME, "40")
      .Type(IDC_FRAME_RATE, "5")
      .Click(IDC_SHOW_TRACK)
      .Click(IDC_READ)
      .Wait(400)
      .Then([&] { EXPECT_EQ(g_fileReadDlg.m_curFrame, 27); });
  GetParam().close(m_user);
  m_user.Then([&] { EXPECT_EQ(Player(), nullptr); })
      .Wait(2000)
      .Then([&] {
        // No tick came after the window went; the members stayed.
        EXPECT_EQ(FileNameLines().size(), 2u);
        EXPECT_EQ(g_fileReadDlg.m_curFrame, 27);
        EXPECT_EQ(g_fileReadDlg.m_timerId, IDT_TIMER_0);
        EXPECT_EQ(g_fileReadDlg.m_frameRate, 5);
        EXPECT_EQ(g_fileReadDlg.m_rootPath, other);
        EXPECT_EQ(DifferentPixels(Buffer(), FramePixels(26)), 0);
      })
      .Click(IDC_READ_SERIES)
      .Then([&] {
        ASSERT_NE(Player(), nullptr);
        EXPECT_EQ(Player()->GetControlText(IDC_ROOT_PATH), m_root);
        EXPECT_EQ(Player()->GetControlText(IDC_START_FRAME), "24");
        EXPECT_EQ(Player()->GetControlText(IDC_LAST_FRAME), "54");
        EXPECT_EQ(Player()->GetControlText(IDC_FRAME_RATE), "5");
        EXPECT_EQ(Player()->GetCheck(IDC_SHOW_TRACK), 0);
        EXPECT_EQ(Player()->GetCheck(IDC_USE_TRUETRACKS), 0);
      })
      .Wait(2000)
      .Then([&] {
        EXPECT_FALSE(m_user.HasTimer(*Player(), IDT_TIMER_0));
        EXPECT_EQ(FileNameLines().size(), 2u);
        EXPECT_EQ(PictureUpdates(), 0);
        EXPECT_TRUE(SurfaceUntouched(Picture()));
      })
      .Key(ui::DialogKey::Escape)
      .Key(ui::DialogKey::Escape);
  RunConsole();
  EXPECT_TRUE(m_user.MessageBoxes().empty());
}

INSTANTIATE_TEST_SUITE_P(
    EveryWayOut, PlayerLifecycle,
    ::testing::Values(CloseWay{"CancelButton", [](auto& user) { user.Click(ui::IDCANCEL); }},
                      CloseWay{"EscapeKey", [](auto& user) { user.Key(ui::DialogKey::Escape); }},
                      CloseWay{"CloseBox", [](auto& user) { user.CloseBox(); }}),
    [](const ::testing::TestParamInfo<CloseWay>& info) { return std::string(info.param.name); });
