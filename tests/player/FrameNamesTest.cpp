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

using namespace res;
using namespace player_test;

using FrameNames = PlayerTest;

// Frame numbers outside the track arrays, with "Use TrueTracks" ticked: no
// marker may be read from beyond them, and the highest number ends the
// playback after its frame instead of overflowing.
TEST_F(FrameNames, NumbersOutsideFourDigitsFormTheirNamesAndTheHighestEndsThePlayback) {
  struct Case {
    int start, last;
    std::vector<std::string> names;  // file name endings, one per frame shown
    const char* box;
  };
  const std::vector<Case> cases = {
      {-1, -1, {"_-001.bmp"}, "0"},
      {10000, 10000, {"_10000.bmp"}, "10001"},
      {INT_MAX - 1, INT_MAX, {"_2147483646.bmp", "_2147483647.bmp"}, "2147483647"}};
  g_trueTracks.m_count = 1;
  g_trueTracks.m_tracks[0].SetPoint(100, 100, 0);
  g_trueTracks.m_tracks[0].SetPoint(100, 100, 499);
  m_user.Click(IDC_READ_SERIES).Click(IDC_USE_TRUETRACKS);
  for (const Case& c : cases) {
    for (const int frame : {c.start, c.last})
      WriteFrame(m_root, frame);
    m_user.Type(IDC_START_FRAME, std::to_string(c.start))
        .Type(IDC_LAST_FRAME, std::to_string(c.last))
        .Then([&] { m_fileLines.clear(); })
        .Click(IDC_READ)
        .Wait(1000)
        .Then([&, c] {
          SCOPED_TRACE(c.start);
          EXPECT_FALSE(Playing());
          EXPECT_EQ(Box(), c.box);
          EXPECT_EQ(g_fileReadDlg.m_curFrame, c.last == INT_MAX ? INT_MAX : c.last + 1);
          EXPECT_TRUE(Shows(FramePixels(c.last)));
          std::vector<std::string> lines;
          for (const std::string& name : c.names)
            lines.push_back("filename: " + m_root + name + "\n");
          EXPECT_EQ(m_fileLines, lines);
        });
  }
  RunConsole();
}

// A name too long for the name buffer (460 characters with its zero; a cut
// name would name an existing file) and a folder are no frame files: the
// playback ends at them as at a missing file, without a message box.
TEST_F(FrameNames, ATooLongNameOrAFolderEndsThePlaybackLikeAMissingFile) {
  const std::string folder = m_folder.File(std::string(200, 'd'));
  std::filesystem::create_directory(folder);
  const std::string fits = folder + "/" + std::string(450 - folder.size() - 1, 'f');
  const std::string tooLong = fits + "x";
  ASSERT_EQ(FrameName(tooLong, 24).size(), 460u);
  WriteFrame(fits, 24);
  WriteFrame(tooLong, 24);
  WriteBmpFile(FrameName(tooLong, 24).substr(0, 459).c_str(), FramePixels(24), kWidth, kHeight);
  WriteFrame(m_root, 24);
  std::filesystem::create_directory(FrameName(m_root, 25));

  m_user.Click(IDC_READ_SERIES)
      .Type(IDC_ROOT_PATH, tooLong)
      .Click(IDC_READ)
      .Wait(100)
      .Then([&] {
        EXPECT_FALSE(Playing());
        EXPECT_EQ(g_fileReadDlg.m_curFrame, 24);
        EXPECT_LT(std::strlen(g_fileReadDlg.m_fileName), sizeof g_fileReadDlg.m_fileName);
        EXPECT_EQ(PictureUpdates(), 0);
      })
      .Type(IDC_ROOT_PATH, m_root)
      .Click(IDC_READ)
      .Wait(500)
      .Then([&] {
        EXPECT_FALSE(Playing());
        EXPECT_EQ(g_fileReadDlg.m_curFrame, 25);
        EXPECT_TRUE(Shows(FramePixels(24)));
      })
      .Type(IDC_ROOT_PATH, fits)
      .Click(IDC_READ)
      .Wait(100)
      .Then([&] { EXPECT_TRUE(Shows(FramePixels(24))); });
  RunConsole();
  EXPECT_EQ(m_fileLines, (std::vector<std::string>{Line(24), Line(24, fits)}));
  EXPECT_TRUE(m_user.MessageBoxes().empty());
}

// Opening a named pipe for reading waits for a writer, so the tick, and with
// it the whole program, would hang; the child process is ended by an alarm if
// that happens.
TEST_F(FrameNames, APipeNamedLikeAFrameFileDoesNotHangThePlayer) {
  ASSERT_EQ(::mkfifo(FrameName(m_root, 24).c_str(), 0600), 0);
  EXPECT_EXIT(
      {
        ::alarm(5);
        m_user.Click(IDC_READ_SERIES).Click(IDC_READ).Wait(500);
        RunConsole();
        std::_Exit(g_fileReadDlg.m_curFrame == 24 && m_user.MessageBoxes().empty() ? 0 : 1);
      },
      ::testing::ExitedWithCode(0), "");
}
