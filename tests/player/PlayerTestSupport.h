#pragma once
// Helpers for the player tests: frame files whose pixels tell which frame and
// which pixel they are, pixel look-ups in bottom-up buffers and surfaces, and
// a fixture that runs each test in a fresh folder with the program's globals
// as they are at start-up, the "filename: " trace lines collected and a
// scripted user.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

#include "app/Korvane.h"
#include "base/Trace.h"
#include "console/KorvaneDlg.h"
#include "image/BmpFile.h"
#include "image/SeriesFrames.h"
#include "player/FileRead.h"
#include "res/ResourceIds.h"
#include "support/TempDir.h"
#include "tracks/TrackGlobals.h"
#include "ui/headless/HeadlessBackend.h"

namespace player_test {

inline constexpr int kWidth = 320;
inline constexpr int kHeight = 240;
inline constexpr int kRowBytes = kWidth * 3;
inline constexpr std::size_t kFrameBytes = static_cast<std::size_t>(kRowBytes) * kHeight;
inline constexpr std::uint8_t kFaceGrey = 0xF0;  // a picture control nothing was drawn into
inline const std::vector<std::uint8_t> kBlack(kFrameBytes, 0);

struct Bgr {
  std::uint8_t blue, green, red;
  bool operator==(const Bgr&) const = default;
};
inline constexpr Bgr kGreen{0, 255, 0};
inline constexpr Bgr kRed{0, 0, 255};

// What frame file `frame` holds: blue tells the frame (never 0, so nothing
// looks like an overlay or a cleared buffer), green the column, red the row.
inline std::vector<std::uint8_t> FramePixels(int frame, int width = kWidth, int height = kHeight) {
  std::vector<std::uint8_t> pixels(static_cast<std::size_t>(width) * height * 3);
  for (std::size_t i = 0; i < pixels.size(); i += 3) {
    pixels[i] = static_cast<std::uint8_t>(static_cast<unsigned>(frame) % 251u + 1u);
    pixels[i + 1] = static_cast<std::uint8_t>(i / 3 % static_cast<std::size_t>(width));
    pixels[i + 2] = static_cast<std::uint8_t>(i / 3 / static_cast<std::size_t>(width));
  }
  return pixels;
}

// Byte offset and colour of picture column x, row y (from the top).
inline std::size_t OffsetOf(int x, int y, int width = kWidth, int height = kHeight) {
  return (static_cast<std::size_t>(height - 1 - y) * width + static_cast<std::size_t>(x)) * 3;
}
inline Bgr PictureAt(std::span<const std::uint8_t> frame, int x, int y) {
  const std::size_t o = OffsetOf(x, y);
  return {frame[o], frame[o + 1], frame[o + 2]};
}

inline int DifferentPixels(std::span<const std::uint8_t> a, std::span<const std::uint8_t> b) {
  int count = a.size() == b.size() ? 0 : -1;
  for (std::size_t i = 0; count >= 0 && i + 2 < a.size(); i += 3)
    count += a[i] != b[i] || a[i + 1] != b[i + 1] || a[i + 2] != b[i + 2];
  return count;
}

// The surface shows `frame` 1:1 at its top-left corner (bottom row lowest,
// red-green-blue) and the face grey everywhere else; an empty frame checks
// that nothing was drawn.
inline ::testing::AssertionResult SurfaceShows(const ui::Surface& surface,
                                               std::span<const std::uint8_t> frame,
                                               int width = kWidth, int height = kHeight) {
  for (int y = 0; y < surface.Height(); ++y) {
    for (int x = 0; x < surface.Width(); ++x) {
      const std::uint8_t* shown = surface.Pixel(x, y);
      const bool inside = !frame.empty() && x < width && y < height;
      const std::uint8_t* pixel = inside ? &frame[OffsetOf(x, y, width, height)] : nullptr;
      const Bgr want =
          inside ? Bgr{pixel[0], pixel[1], pixel[2]} : Bgr{kFaceGrey, kFaceGrey, kFaceGrey};
      if (Bgr{shown[2], shown[1], shown[0]} != want)
        return ::testing::AssertionFailure() << "surface pixel (" << x << ", " << y << ") differs";
    }
  }
  return ::testing::AssertionSuccess();
}

inline std::string FrameName(const std::string& root, int frame) {
  return series::FrameFileName(root, frame);
}
inline void WriteFrame(const std::string& root, int frame) {
  WriteBmpFile(FrameName(root, frame).c_str(), FramePixels(frame), kWidth, kHeight);
}

class PlayerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::current_path(m_folder.Path());  // the track file is looked for here
    std::snprintf(g_rootPath, sizeof g_rootPath, "%s", m_root.c_str());
    CFileRead& player = g_fileReadDlg;
    player.m_fileName[0] = '\0';
    player.m_curFrame = player.m_frameBytes = player.m_lastFrame = player.m_startFrame = 0;
    player.m_frame.reset();
    player.m_timerId = 0;
    player.m_rootPath.clear();
    player.m_frameRate = 10;
    g_trueTracks.Reset();
  }
  void TearDown() override {
    std::snprintf(g_rootPath, sizeof g_rootPath, "%s", m_previousRootPath.c_str());
    g_trueTracks.Reset();
    std::filesystem::current_path(m_previousDir);
  }

  // The trace line a tick writes for frame `frame` of `root`.
  std::string Line(int frame, const std::string& root = {}) const {
    return "filename: " + FrameName(root.empty() ? m_root : root, frame) + "\n";
  }
  void WriteFrames(int first, int last) const {
    for (int frame = first; frame <= last; ++frame)
      WriteFrame(m_root, frame);
  }

  // Closes the player and the console (by Escape, unless the script already
  // closed the player) and runs the console through the script.
  void RunConsole(int escapes = 2) {
    for (int i = 0; i < escapes; ++i)
      m_user.Key(ui::DialogKey::Escape);
    theApp.InitInstance();
    EXPECT_FALSE(m_user.ScriptExhausted());
    EXPECT_TRUE(m_user.ScriptErrors().empty());
    EXPECT_EQ(m_user.Top(), nullptr);
  }

  ui::headless::HeadlessWindow* Player() const { return m_user.FindWindow(res::IDD_FILEREAD); }
  std::string Box() const { return Player()->GetControlText(res::IDC_LAST_FRAME); }
  bool Playing() const { return m_user.HasTimer(*Player(), res::IDT_TIMER_0); }
  const ui::Surface& Picture() const { return Player()->Control(res::IDC_PICTURE)->surface; }
  int PictureUpdates() const { return Player()->Control(res::IDC_PICTURE)->surfaceUpdates; }
  std::span<const std::uint8_t> Buffer() const {
    const CFileRead& player = g_fileReadDlg;
    return {player.m_frame.get(), player.m_frame ? std::size_t(player.m_frameBytes) : 0};
  }
  // The frame buffer and the picture both hold exactly `pixels`.
  ::testing::AssertionResult Shows(std::span<const std::uint8_t> pixels) const {
    if (const int diff = DifferentPixels(Buffer(), pixels); diff != 0)
      return ::testing::AssertionFailure() << diff << " pixels of the buffer differ";
    return SurfaceShows(Picture(), pixels);
  }

  const std::filesystem::path m_previousDir = std::filesystem::current_path();
  const std::string m_previousRootPath = g_rootPath;
  TempDir m_folder;
  const std::string m_root = m_folder.File("take");  // the series the console hands over
  ui::headless::HeadlessBackend m_user;
  std::vector<std::string> m_fileLines;
  base::ScopedTraceSink m_sink{[this](std::string_view text) {
    if (text.starts_with("filename: "))
      m_fileLines.emplace_back(text);
  }};
};

}  // namespace player_test
