// What the playback tick makes of the frame files' content: missing files,
// unreadable headers, short or shifted pixel blocks.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "PlayerTestSupport.h"
#include "support/TextFiles.h"

using namespace res;
using namespace player_test;
using test_files::WriteBytes;

using PlaybackFiles = PlayerTest;

TEST_F(PlaybackFiles, AMissingFileEndsThePlaybackAtItsFrame) {
  WriteFrames(24, 27);
  m_user.Click(IDC_READ_SERIES)
      .Type(IDC_START_FRAME, "60")
      .Click(IDC_READ)
      .Wait(100)
      .Then([&] {
        // At the start frame: nothing drawn, the box keeps its text.
        EXPECT_FALSE(Playing());
        EXPECT_EQ(g_fileReadDlg.m_curFrame, 60);
        EXPECT_EQ(Box(), "54");
        EXPECT_EQ(PictureUpdates(), 0);
        EXPECT_TRUE(SurfaceShows(Picture(), {}));
        EXPECT_TRUE(m_fileLines.empty());
      })
      .Type(IDC_START_FRAME, "24")
      .Click(IDC_READ)
      .Wait(1000)
      .Then([&] {
        // Mid-series: the box already shows the missing frame's number.
        EXPECT_FALSE(Playing());
        EXPECT_EQ(g_fileReadDlg.m_curFrame, 28);
        EXPECT_EQ(Box(), "28");
        EXPECT_TRUE(Shows(FramePixels(27)));
      });
  RunConsole();
  EXPECT_EQ(m_fileLines.size(), 4u);
}

TEST_F(PlaybackFiles, AnUnreadableHeaderIsRetriedAtEveryTickAndKeepsThePicture) {
  WriteFrames(24, 27);
  const std::string bad = FrameName(m_root, 26);
  const std::vector<std::uint8_t> good = test_files::ReadBytes(bad);
  struct Case {
    const char* name;
    std::size_t keep;  // bytes of the good file kept
    bool spoilSignature;
  };
  const std::vector<Case> cases = {{"wrong signature", good.size(), true},
                                   {"short file header", 10, false},
                                   {"short info header", 14 + 30, false},
                                   {"empty file", 0, false}};
  int updates = 0;
  m_user.Click(IDC_READ_SERIES);
  for (const Case& c : cases) {
    m_user
        .Then([&, c] {
          std::vector<std::uint8_t> bytes(good.begin(), good.begin() + c.keep);
          if (c.spoilSignature)
            bytes[0] = 'X';
          WriteBytes(bad, bytes);
          m_fileLines.clear();
          updates = PictureUpdates();
        })
        .Type(IDC_START_FRAME, "24")
        .Type(IDC_LAST_FRAME, "54")
        .Click(IDC_READ)
        .Wait(500)
        .Then([&, c] {
          SCOPED_TRACE(c.name);
          EXPECT_TRUE(Playing());
          EXPECT_EQ(g_fileReadDlg.m_curFrame, 26);
          EXPECT_EQ(Box(), "26");
          EXPECT_EQ(PictureUpdates(), updates + 2);
          EXPECT_TRUE(Shows(FramePixels(25)));
          EXPECT_EQ(m_fileLines,
                    (std::vector<std::string>{Line(24), Line(25), Line(26), Line(26), Line(26)}));
        })
        .Click(IDC_STOP)
        .Wait(1000)
        .Then([&, c] {
          EXPECT_FALSE(Playing()) << c.name;
          EXPECT_EQ(m_fileLines.size(), 5u) << c.name;
        });
  }
  RunConsole();
}

// The pixels are read from byte 54 whatever the headers say: after a colour
// table they show shifted, and a block one row short leaves the top row of
// the frame before.
TEST_F(PlaybackFiles, PixelsAreReadFromByte54AsFarAsTheFileGoes) {
  WriteFrame(m_root, 24);
  const std::vector<std::uint8_t> plain = test_files::ReadBytes(FrameName(m_root, 24));
  std::vector<std::uint8_t> bytes(plain.begin(), plain.begin() + 54);
  for (int i = 0; i < 1024; ++i)
    bytes.push_back(static_cast<std::uint8_t>(i * 3));
  bytes.insert(bytes.end(), plain.begin() + 54, plain.end());
  WriteBytes(FrameName(m_root, 24), bytes);
  const std::vector<std::uint8_t> shifted(bytes.begin() + 54, bytes.begin() + 54 + kFrameBytes);

  std::vector<std::uint8_t> shortFrame = FramePixels(25);
  WriteBmpFile(FrameName(m_root, 25).c_str(),
               std::span<const std::uint8_t>(shortFrame).first(kFrameBytes - kRowBytes), kWidth,
               kHeight - 1);
  std::copy(shifted.end() - kRowBytes, shifted.end(), shortFrame.end() - kRowBytes);

  m_user.Click(IDC_READ_SERIES)
      .Type(IDC_LAST_FRAME, "25")
      .Click(IDC_READ)
      .Wait(100)
      .Then([&] {
        EXPECT_TRUE(Shows(shifted));
        EXPECT_NE(DifferentPixels(shifted, FramePixels(24)), 0);
      })
      .Wait(100)
      .Then([&] {
        EXPECT_TRUE(Shows(shortFrame));
        EXPECT_FALSE(Playing());
      });
  RunConsole();
}
