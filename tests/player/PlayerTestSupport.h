#pragma once
// Helpers for the player tests: frame files whose pixels tell which frame and
// which pixel they are, a fixture that runs every test in a fresh folder with
// the program's globals put back to their start-up state, and comparisons of
// the frame buffer and the picture control's surface.

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "support/TempDir.h"
#include "ui/core/Surface.h"
#include "ui/core/Trace.h"
#include "ui/headless/HeadlessBackend.h"

namespace player_test {

inline constexpr int kWidth = 320;
inline constexpr int kHeight = 240;
inline constexpr int kRowBytes = kWidth * 3;
inline constexpr std::size_t kFrameBytes = static_cast<std::size_t>(kRowBytes) * kHeight;
// The face colour a picture control shows before anything is drawn.
inline constexpr std::uint8_t kFaceGrey = 0xF0;

// The frame buffer that frame file number `frame` holds: blue tells the frame
// (never 0, so no pixel looks like an overlay or a cleared buffer), green the
// column and red the buffer row (never 255).
std::vector<std::uint8_t> FramePixels(int frame);

// A colour as the frame buffer holds it.
struct Bgr {
  std::uint8_t blue;
  std::uint8_t green;
  std::uint8_t red;
  bool operator==(const Bgr&) const = default;
};
inline constexpr Bgr kGreen{0, 255, 0};
inline constexpr Bgr kRed{0, 0, 255};

// The pixel at picture column x and picture row y (counted from the top) of a
// bottom-up 320-pixel-wide buffer.
Bgr PictureAt(std::span<const std::uint8_t> frame, int x, int y);
// Byte offset of that pixel.
std::size_t OffsetOf(int x, int y);

// Number of pixels in which two frame buffers differ.
int DifferentPixels(std::span<const std::uint8_t> a, std::span<const std::uint8_t> b);

// Checks that the surface shows `frame` 1:1 at its top-left corner (bottom
// row lowest, red-green-blue) and keeps the face grey everywhere else.
::testing::AssertionResult SurfaceShows(const ui::Surface& surface,
                                        std::span<const std::uint8_t> frame);
// Checks that nothing has been drawn into the surface.
::testing::AssertionResult SurfaceUntouched(const ui::Surface& surface);

// Runs each test in a fresh folder (the current directory while it runs, so
// the track file is found there), with the player, the track set and the
// console's root path as they are at start-up, the debug trace captured and a
// scripted user installed.
class PlayerTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Writes frame file `frame` of the series `root` holding FramePixels(frame).
  void WriteFrame(const std::string& root, int frame) const;
  // Writes frame file `frame` of `root` holding the given 320 x 240 pixels.
  void WriteFrame(const std::string& root, int frame, std::span<const std::uint8_t> pixels) const;
  void WriteFrames(const std::string& root, int first, int last) const;
  // Writes raw bytes to a file of this folder.
  void WriteBytes(const std::string& path, std::span<const std::uint8_t> bytes) const;
  void WriteTrackFile(std::string_view text) const;

  // The name playback forms for frame `frame` of `root`.
  static std::string FrameName(const std::string& root, int frame);
  // The "filename: " trace lines seen so far, each with its line end.
  std::vector<std::string> FileNameLines() const;

  // Runs the console until the script ends it, then checks the script ran
  // through without errors.
  void RunConsole();

  // The shown player window (nullptr when not shown), its picture surface
  // and how often it has been drawn into.
  ui::headless::HeadlessWindow* Player() const;
  const ui::Surface& Picture() const;
  int PictureUpdates() const;
  std::span<const std::uint8_t> Buffer() const;

  TempDir m_folder;
  std::string m_root;  // series "take" in the test folder
  ui::headless::HeadlessBackend m_user;
  std::vector<std::string> m_trace;

 private:
  std::string m_previousDir;
  std::string m_previousRootPath;
  std::optional<ui::ScopedTraceSink> m_sink;
};

// Clears the whole track set back to its start-up state: no track in use,
// every track enabled, first and end frame 0, every position (0, 0).
void ResetTracks();

}  // namespace player_test
