// What the playback tick makes of the frame files' content: missing files,
// unreadable headers, short or shifted pixel blocks.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "PlayerTestSupport.h"
#include "image/BmpFile.h"
#include "player/FileRead.h"
#include "res/ResourceIds.h"

using namespace res;
using namespace player_test;

namespace {

std::vector<std::uint8_t> FileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace

using PlaybackFiles = PlayerTest;

TEST_F(PlaybackFiles, AMissingStartFileEndsAtOnceAndDrawsNothing) {
  WriteFrames(m_root, 24, 54);
  m_user.Click(IDC_READ_SERIES)
      .Type(IDC_START_FRAME, "60")
      .Click(IDC_READ)
      .Wait(100)
      .Then([&] {
        EXPECT_FALSE(m_user.HasTimer(*Player(), IDT_TIMER_0));
        EXPECT_EQ(g_fileReadDlg.m_curFrame, 60);
        EXPECT_EQ(Player()->GetControlText(IDC_LAST_FRAME), "54");
        EXPECT_EQ(PictureUpdates(), 0);
        EXPECT_TRUE(SurfaceUntouched(Picture()));
      })
      .Key(ui::DialogKey::Escape)
      .Key(ui::DialogKey::Escape);
  RunConsole();
  EXPECT_TRUE(FileNameLines().empty());
}

TEST_F(PlaybackFiles, AMissingFileMidSeriesEndsThePlaybackThere) {
  WriteFrames(m_root, 24, 27);
  m_user.Click(IDC_READ_SERIES)
      .Click(IDC_READ)
      .Wait(1000)
      .Then([&] {
        EXPECT_FALSE(m_user.HasTimer(*Player(), IDT_TIMER_0));
        EXPECT_EQ(g_fileReadDlg.m_curFrame, 28);
        EXPECT_EQ(Player()->GetControlText(IDC_LAST_FRAME), "28");
        EXPECT_TRUE(SurfaceShows(Picture(), FramePixels(27)));
      })
      .Key(ui::DialogKey::Escape)
      .Key(ui::DialogKey::Escape);
  RunConsole();
  EXPECT_EQ(FileNameLines().size(), 4u);
}

// A frame file whose headers cannot be read, made from a good one.
struct BadHeader {
  const char* name;
  std::size_t keep;  // bytes of the good file kept
  bool spoilSignature;
};

class PlaybackBadHeader : public PlayerTest, public ::testing::WithParamInterface<BadHeader> {};

TEST_P(PlaybackBadHeader, TheTickRetriesTheSameFileAndKeepsThePicture) {
  WriteFrames(m_root, 24, 27);
  const std::string bad = FrameName(m_root, 26);
  std::vector<std::uint8_t> bytes = FileBytes(bad);
  bytes.resize(GetParam().keep);
  if (GetParam().spoilSignature)
    bytes[0] = 'X';
  WriteBytes(bad, bytes);

  m_user.Click(IDC_READ_SERIES)
      .Click(IDC_SHOW_TRACK)
      .Click(IDC_READ)
      .Wait(200)
      .Wait(300)
      .Then([&] {
        EXPECT_TRUE(m_user.HasTimer(*Player(), IDT_TIMER_0));
        EXPECT_EQ(g_fileReadDlg.m_curFrame, 26);
        EXPECT_EQ(Player()->GetControlText(IDC_LAST_FRAME), "26");
        EXPECT_EQ(PictureUpdates(), 2);
        EXPECT_EQ(DifferentPixels(Buffer(), FramePixels(25)), 0);
        EXPECT_TRUE(SurfaceShows(Picture(), FramePixels(25)));
      })
      .Click(IDC_STOP)
      .Wait(1000)
      .Then([&] {
        EXPECT_FALSE(m_user.HasTimer(*Player(), IDT_TIMER_0));
        EXPECT_EQ(g_fileReadDlg.m_curFrame, 26);
      })
      .Key(ui::DialogKey::Escape)
      .Key(ui::DialogKey::Escape);
  RunConsole();

  const std::string line26 = "filename: " + bad + "\n";
  EXPECT_EQ(FileNameLines(), (std::vector<std::string>{"filename: " + FrameName(m_root, 24) + "\n",
                                                       "filename: " + FrameName(m_root, 25) + "\n",
                                                       line26, line26, line26}));
}

INSTANTIATE_TEST_SUITE_P(UnreadableHeaders, PlaybackBadHeader,
                         ::testing::Values(BadHeader{"WrongSignature", 54 + kFrameBytes, true},
                                           BadHeader{"ShortFileHeader", 10, false},
                                           BadHeader{"ShortInfoHeader", 14 + 30, false},
                                           BadHeader{"EmptyFile", 0, false}),
                         [](const ::testing::TestParamInfo<BadHeader>& info) {
                           return std::string(info.param.name);
                         });

TEST_F(PlaybackFiles, APixelBlockOneRowShortKeepsThePreviousTopRow) {
  WriteFrame(m_root, 24);
  const std::vector<std::uint8_t> full = FramePixels(25);
  WriteBmpFile(FrameName(m_root, 25).c_str(),
               std::span<const std::uint8_t>(full).first(kFrameBytes - kRowBytes), kWidth,
               kHeight - 1);
  ASSERT_EQ(std::filesystem::file_size(FrameName(m_root, 25)), 54 + kFrameBytes - kRowBytes);

  m_user.Click(IDC_READ_SERIES)
      .Type(IDC_LAST_FRAME, "25")
      .Click(IDC_READ)
      .Wait(200)
      .Then([&] {
        const auto buffer = Buffer();
        const std::vector<std::uint8_t> previous = FramePixels(24);
        std::vector<std::uint8_t> expected = full;
        std::copy(previous.end() - kRowBytes, previous.end(), expected.end() - kRowBytes);
        EXPECT_EQ(DifferentPixels(buffer, expected), 0);
        EXPECT_TRUE(SurfaceShows(Picture(), expected));
        // The top row of the picture is frame 24's, the row below frame 25's.
        EXPECT_EQ(Picture().Pixel(0, 0)[2], FramePixels(24)[0]);
        EXPECT_EQ(Picture().Pixel(0, 1)[2], FramePixels(25)[0]);
        EXPECT_FALSE(m_user.HasTimer(*Player(), IDT_TIMER_0));
      })
      .Key(ui::DialogKey::Escape)
      .Key(ui::DialogKey::Escape);
  RunConsole();
}

TEST_F(PlaybackFiles, PixelsAfterAColourTableAreShownShifted) {
  // A file whose pixels start at byte 54 + 1024, after a colour table.
  WriteFrame(m_root, 24);
  const std::vector<std::uint8_t> plain = FileBytes(FrameName(m_root, 24));
  std::vector<std::uint8_t> bytes(plain.begin(), plain.begin() + 54);
  for (int i = 0; i < 1024; ++i)
    bytes.push_back(static_cast<std::uint8_t>(i * 3));
  bytes.insert(bytes.end(), plain.begin() + 54, plain.end());
  WriteBytes(FrameName(m_root, 24), bytes);

  m_user.Click(IDC_READ_SERIES)
      .Type(IDC_LAST_FRAME, "24")
      .Click(IDC_READ)
      .Wait(100)
      .Then([&] {
        const std::vector<std::uint8_t> expected(bytes.begin() + 54,
                                                 bytes.begin() + 54 + kFrameBytes);
        EXPECT_EQ(DifferentPixels(Buffer(), expected), 0);
        EXPECT_NE(DifferentPixels(Buffer(), FramePixels(24)), 0);
        EXPECT_TRUE(SurfaceShows(Picture(), expected));
      })
      .Key(ui::DialogKey::Escape)
      .Key(ui::DialogKey::Escape);
  RunConsole();
}
