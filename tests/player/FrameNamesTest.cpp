// The names the playback tick forms and what they lead to: frame numbers
// below zero, above four digits and at the top of the range, names too long
// for the player's name buffer, and names of things that are not files.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "PlayerTestSupport.h"
#include "app/Korvane.h"
#include "image/BmpFile.h"
#include "player/FileRead.h"
#include "res/ResourceIds.h"
#include "tracks/TrackGlobals.h"

using namespace res;
using namespace player_test;

using FrameNames = PlayerTest;

TEST_F(FrameNames, FrameNumbersBelowZeroAndAboveFourDigitsFormTheirNames) {
  const std::vector<std::uint8_t> minusOne = FramePixels(-1);
  const std::vector<std::uint8_t> tenThousand = FramePixels(10000);
  WriteBmpFile((m_root + "_-001.bmp").c_str(), minusOne, kWidth, kHeight);
  WriteBmpFile((m_root + "_10000.bmp").c_str(), tenThousand, kWidth, kHeight);

  m_user.Click(IDC_READ_SERIES)
      .Type(IDC_START_FRAME, "-1")
      .Type(IDC_LAST_FRAME, "-1")
      .Click(IDC_READ)
      .Wait(100)
      .Then([&] {
        EXPECT_EQ(Player()->GetControlText(IDC_LAST_FRAME), "0");
        EXPECT_TRUE(SurfaceShows(Picture(), minusOne));
      })
      .Type(IDC_START_FRAME, "10000")
      .Type(IDC_LAST_FRAME, "10000")
      .Click(IDC_READ)
      .Wait(100)
      .Then([&] {
        EXPECT_EQ(Player()->GetControlText(IDC_LAST_FRAME), "10001");
        EXPECT_TRUE(SurfaceShows(Picture(), tenThousand));
      })
      .Key(ui::DialogKey::Escape)
      .Key(ui::DialogKey::Escape);
  RunConsole();
  EXPECT_EQ(FileNameLines(), (std::vector<std::string>{"filename: " + m_root + "_-001.bmp\n",
                                                       "filename: " + m_root + "_10000.bmp\n"}));
}

TEST_F(FrameNames, TheHighestFrameNumberEndsThePlaybackWithoutOverflow) {
  WriteFrame(m_root, INT_MAX - 1);
  WriteFrame(m_root, INT_MAX);
  // A track with positions at the first and the last frame of its arrays: a
  // frame number beyond them must not reach either.
  g_trueTracks.m_count = 1;
  g_trueTracks.m_tracks[0].SetPoint(100, 100, 0);
  g_trueTracks.m_tracks[0].SetPoint(100, 100, 499);
  m_user.Click(IDC_READ_SERIES)
      .Type(IDC_START_FRAME, std::to_string(INT_MAX - 1))
      .Type(IDC_LAST_FRAME, std::to_string(INT_MAX))
      .Click(IDC_USE_TRUETRACKS)
      .Click(IDC_READ)
      .Wait(100)
      .Then([&] {
        EXPECT_EQ(Player()->GetControlText(IDC_LAST_FRAME), "2147483647");
        EXPECT_TRUE(m_user.HasTimer(*Player(), IDT_TIMER_0));
      })
      .Wait(100)
      .Then([&] {
        EXPECT_FALSE(m_user.HasTimer(*Player(), IDT_TIMER_0));
        EXPECT_EQ(g_fileReadDlg.m_curFrame, INT_MAX);
        EXPECT_TRUE(SurfaceShows(Picture(), FramePixels(INT_MAX)));
      })
      .Wait(1000)
      .Key(ui::DialogKey::Escape)
      .Key(ui::DialogKey::Escape);
  RunConsole();
  EXPECT_EQ(FileNameLines().size(), 2u);
  EXPECT_EQ(FileNameLines().back(), "filename: " + m_root + "_2147483647.bmp\n");
}

TEST_F(FrameNames, ANameLongerThanTheNameBufferEndsThePlaybackLikeAMissingFile) {
  // Roots whose frame names take exactly 459 characters (the most the name
  // buffer holds with its terminating zero) and 460; both files exist.
  const std::string folder = m_folder.FilePath(std::string(200, 'd'));
  std::filesystem::create_directory(folder);
  const std::string fits = folder + "/" + std::string(450 - folder.size() - 1, 'f');
  const std::string tooLong = fits + "x";
  ASSERT_EQ(FrameName(fits, 24).size(), 459u);
  ASSERT_EQ(FrameName(tooLong, 24).size(), 460u);
  WriteFrame(fits, 24);
  WriteFrame(tooLong, 24);
  // A name cut to fit the buffer would name this file.
  const std::string cut = FrameName(tooLong, 24).substr(0, 459);
  WriteBmpFile(cut.c_str(), FramePixels(24), kWidth, kHeight);
  ASSERT_TRUE(std::filesystem::exists(FrameName(tooLong, 24)));
  ASSERT_TRUE(std::filesystem::exists(cut));

  const auto endsUnread = [&] {
    EXPECT_FALSE(m_user.HasTimer(*Player(), IDT_TIMER_0));
    EXPECT_EQ(g_fileReadDlg.m_curFrame, 24);
    EXPECT_LT(std::strlen(g_fileReadDlg.m_fileName), sizeof g_fileReadDlg.m_fileName);
    EXPECT_EQ(PictureUpdates(), 0);
    EXPECT_TRUE(SurfaceUntouched(Picture()));
  };
  m_user.Click(IDC_READ_SERIES)
      .Type(IDC_ROOT_PATH, std::string(500, 'r'))
      .Click(IDC_READ)
      .Wait(100)
      .Then(endsUnread)
      .Type(IDC_ROOT_PATH, tooLong)
      .Click(IDC_READ)
      .Wait(100)
      .Then(endsUnread)
      .Type(IDC_ROOT_PATH, fits)
      .Type(IDC_LAST_FRAME, "24")
      .Click(IDC_READ)
      .Wait(100)
      .Then([&] {
        EXPECT_EQ(std::string(g_fileReadDlg.m_fileName), FrameName(fits, 24));
        EXPECT_TRUE(SurfaceShows(Picture(), FramePixels(24)));
      })
      .Key(ui::DialogKey::Escape)
      .Key(ui::DialogKey::Escape);
  RunConsole();
  EXPECT_EQ(FileNameLines(), (std::vector<std::string>{"filename: " + FrameName(fits, 24) + "\n"}));
}

// A folder is not a frame file: the playback ends at it as at a missing file,
// without a message. The file object opens folders for reading today, the
// pixel read then fails with EISDIR, and every tick shows a message box while
// the timer keeps running.
TEST_F(FrameNames, AFolderNamedLikeAFrameFileEndsThePlaybackLikeAMissingFile) {
  WriteFrame(m_root, 24);
  std::filesystem::create_directory(FrameName(m_root, 25));
  m_user.Click(IDC_READ_SERIES)
      .Click(IDC_READ)
      .Wait(500)
      .Then([&] {
        EXPECT_FALSE(m_user.HasTimer(*Player(), IDT_TIMER_0));
        EXPECT_EQ(g_fileReadDlg.m_curFrame, 25);
        EXPECT_TRUE(SurfaceShows(Picture(), FramePixels(24)));
      })
      .Key(ui::DialogKey::Escape)
      .Key(ui::DialogKey::Escape);
  RunConsole();
  EXPECT_TRUE(m_user.MessageBoxes().empty());
  EXPECT_EQ(FileNameLines().size(), 1u);
}

// A named pipe is not a frame file either: opening one for reading waits for
// a writer, so the tick, and with it the whole program, would hang. The child
// process below is ended by an alarm if that happens.
TEST_F(FrameNames, APipeNamedLikeAFrameFileDoesNotHangThePlayer) {
  ASSERT_EQ(::mkfifo(FrameName(m_root, 24).c_str(), 0600), 0);
  EXPECT_EXIT(
      {
        ::alarm(5);
        m_user.Click(IDC_READ_SERIES)
            .Click(IDC_READ)
            .Wait(500)
            .Key(ui::DialogKey::Escape)
            .Key(ui::DialogKey::Escape);
        theApp.InitInstance();
        std::_Exit(g_fileReadDlg.m_curFrame == 24 && m_user.MessageBoxes().empty() ? 0 : 1);
      },
      ::testing::ExitedWithCode(0), "");
}
