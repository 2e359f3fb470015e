#include "PlayerTestSupport.h"

#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>

#include "app/Korvane.h"
#include "console/KorvaneDlg.h"
#include "image/BmpFile.h"
#include "player/FileRead.h"
#include "res/ResourceIds.h"
#include "tracks/TrackGlobals.h"

namespace player_test {

std::vector<std::uint8_t> FramePixels(int frame) {
  std::vector<std::uint8_t> pixels(kFrameBytes);
  const auto blue = static_cast<std::uint8_t>(static_cast<unsigned>(frame) % 251u + 1u);
  for (int row = 0; row < kHeight; ++row) {
    for (int column = 0; column < kWidth; ++column) {
      std::uint8_t* pixel = &pixels[static_cast<std::size_t>(row) * kRowBytes + column * 3];
      pixel[0] = blue;
      pixel[1] = static_cast<std::uint8_t>(column);
      pixel[2] = static_cast<std::uint8_t>(row);
    }
  }
  return pixels;
}

std::size_t OffsetOf(int x, int y) {
  return static_cast<std::size_t>(kHeight - 1 - y) * kRowBytes + static_cast<std::size_t>(x) * 3;
}

Bgr PictureAt(std::span<const std::uint8_t> frame, int x, int y) {
  const std::size_t o = OffsetOf(x, y);
  return {frame[o], frame[o + 1], frame[o + 2]};
}

int DifferentPixels(std::span<const std::uint8_t> a, std::span<const std::uint8_t> b) {
  if (a.size() != b.size())
    return -1;
  int count = 0;
  for (std::size_t i = 0; i + 2 < a.size(); i += 3) {
    if (a[i] != b[i] || a[i + 1] != b[i + 1] || a[i + 2] != b[i + 2])
      ++count;
  }
  return count;
}

::testing::AssertionResult SurfaceShows(const ui::Surface& surface,
                                        std::span<const std::uint8_t> frame) {
  if (frame.size() != kFrameBytes)
    return ::testing::AssertionFailure() << "frame of " << frame.size() << " bytes";
  if (surface.Width() < kWidth || surface.Height() < kHeight) {
    return ::testing::AssertionFailure()
           << "surface of " << surface.Width() << " x " << surface.Height();
  }
  for (int y = 0; y < surface.Height(); ++y) {
    for (int x = 0; x < surface.Width(); ++x) {
      const std::uint8_t* shown = surface.Pixel(x, y);
      std::uint8_t want[3] = {kFaceGrey, kFaceGrey, kFaceGrey};
      if (x < kWidth && y < kHeight) {
        const Bgr pixel = PictureAt(frame, x, y);
        want[0] = pixel.red;
        want[1] = pixel.green;
        want[2] = pixel.blue;
      }
      if (std::memcmp(shown, want, 3) != 0) {
        return ::testing::AssertionFailure()
               << "surface pixel (" << x << ", " << y << ") is " << int(shown[0]) << ","
               << int(shown[1]) << "," << int(shown[2]) << " instead of " << int(want[0]) << ","
               << int(want[1]) << "," << int(want[2]);
      }
    }
  }
  return ::testing::AssertionSuccess();
}

::testing::AssertionResult SurfaceUntouched(const ui::Surface& surface) {
  for (std::size_t i = 0; i < surface.Bytes().size(); ++i) {
    // Row padding is not part of the picture.
    const int column = static_cast<int>(i % static_cast<std::size_t>(surface.Stride())) / 3;
    if (column < surface.Width() && surface.Bytes()[i] != kFaceGrey)
      return ::testing::AssertionFailure() << "surface byte " << i << " has been drawn";
  }
  return ::testing::AssertionSuccess();
}

void ResetTracks() {
  g_trueTracks.Reset();
}

void PlayerTest::SetUp() {
  char cwd[4096] = {};
  ASSERT_NE(::getcwd(cwd, sizeof cwd), nullptr);
  m_previousDir = cwd;
  ASSERT_EQ(::chdir(m_folder.Path().c_str()), 0);
  m_root = m_folder.FilePath("take");

  // The console hands g_rootPath to the player; the tests' series live here.
  m_previousRootPath = g_rootPath;
  ASSERT_LT(m_root.size(), sizeof g_rootPath);
  std::snprintf(g_rootPath, sizeof g_rootPath, "%s", m_root.c_str());

  CFileRead& player = g_fileReadDlg;
  player.m_fileName[0] = '\0';
  player.m_curFrame = 0;
  player.m_frame.reset();
  player.m_frameBytes = 0;
  player.m_timerId = 0;
  player.m_rootPath.clear();
  player.m_frameRate = 10;
  player.m_lastFrame = 0;
  player.m_startFrame = 0;
  ResetTracks();

  m_sink.emplace([this](std::string_view text) { m_trace.emplace_back(text); });
}

void PlayerTest::TearDown() {
  m_sink.reset();
  std::snprintf(g_rootPath, sizeof g_rootPath, "%s", m_previousRootPath.c_str());
  ResetTracks();
  EXPECT_EQ(::chdir(m_previousDir.c_str()), 0);
}

void PlayerTest::WriteFrame(const std::string& root, int frame) const {
  WriteFrame(root, frame, FramePixels(frame));
}

void PlayerTest::WriteFrame(const std::string& root, int frame,
                            std::span<const std::uint8_t> pixels) const {
  WriteBmpFile(FrameName(root, frame).c_str(), pixels, kWidth, kHeight);
}

void PlayerTest::WriteFrames(const std::string& root, int first, int last) const {
  for (int frame = first; frame <= last; ++frame)
    WriteFrame(root, frame);
}

void PlayerTest::WriteBytes(const std::string& path, std::span<const std::uint8_t> bytes) const {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
}

void PlayerTest::WriteTrackFile(std::string_view text) const {
  std::ofstream out(m_folder.FilePath("truetracks.txt"), std::ios::binary | std::ios::trunc);
  out.write(text.data(), static_cast<std::streamsize>(text.size()));
}

std::string PlayerTest::FrameName(const std::string& root, int frame) {
  char number[24];
  std::snprintf(number, sizeof number, "_%04d.bmp", frame);
  return root + number;
}

std::vector<std::string> PlayerTest::FileNameLines() const {
  std::vector<std::string> lines;
  for (const std::string& line : m_trace) {
    if (line.starts_with("filename: "))
      lines.push_back(line);
  }
  return lines;
}

void PlayerTest::RunConsole() {
  theApp.InitInstance();
  EXPECT_FALSE(m_user.ScriptExhausted());
  EXPECT_TRUE(m_user.ScriptErrors().empty());
  EXPECT_EQ(m_user.Top(), nullptr);
}

ui::headless::HeadlessWindow* PlayerTest::Player() const {
  return m_user.FindWindow(res::IDD_FILEREAD);
}

const ui::Surface& PlayerTest::Picture() const {
  static const ui::Surface none;
  const ui::headless::HeadlessWindow* player = Player();
  if (player == nullptr) {
    ADD_FAILURE() << "the player is not shown";
    return none;
  }
  return player->Control(res::IDC_PICTURE)->surface;
}

int PlayerTest::PictureUpdates() const {
  const ui::headless::HeadlessWindow* player = Player();
  return player != nullptr ? player->Control(res::IDC_PICTURE)->surfaceUpdates : -1;
}

std::span<const std::uint8_t> PlayerTest::Buffer() const {
  const CFileRead& player = g_fileReadDlg;
  if (!player.m_frame)
    return {};
  return {player.m_frame.get(), static_cast<std::size_t>(player.m_frameBytes)};
}

}  // namespace player_test
