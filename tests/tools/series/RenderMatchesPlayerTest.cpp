// render and the player play frames through one core: for the same series
// and track file, every frame render writes is what the player's picture
// shows at that tick, pixel for pixel, short pixel blocks included.

#include <gtest/gtest.h>

#include <fstream>

#include "CliTestSupport.h"
#include "player/PlayerTestSupport.h"

using namespace player_test;

namespace {

using RenderMatchesPlayer = PlayerTest;

TEST_F(RenderMatchesPlayer, EveryRenderedFrameIsWhatThePlayerShows) {
  constexpr int kFirst = 24;
  constexpr int kLast = 40;
  WriteFrames(kFirst, kLast);
  // Frame 30's pixel block is cut short: its top rows keep frame 29.
  WriteBmpFile(FrameName(m_root, 30).c_str(), FramePixels(30), kWidth, kHeight);
  std::filesystem::resize_file(FrameName(m_root, 30), 54 + 100000);
  // Two targets moving across each other, one leaving the picture's edge.
  std::ofstream tracks("truetracks.txt");
  tracks << "2 20\n";
  for (int frame = 20; frame <= 45; ++frame)
    tracks << 10 * (frame - 20) << ' ' << 100 + frame << ' ' << 300 - 6 * (frame - 20) << " 235\n";
  tracks.close();

  const TempDir output;
  const std::string outRoot = output.File("shown");
  const cli_test::CliResult rendered =
      cli_test::RunInProcess({"render", m_root, std::to_string(kFirst), std::to_string(kLast),
                              outRoot, "--trails", "--markers"});
  ASSERT_EQ(rendered.status, 0) << rendered.err;

  m_user.Click(res::IDC_READ_SERIES)
      .Type(res::IDC_START_FRAME, std::to_string(kFirst))
      .Type(res::IDC_LAST_FRAME, std::to_string(kLast))
      .Click(res::IDC_USE_TRUETRACKS)
      .Click(res::IDC_SHOW_TRACK)
      .Click(res::IDC_READ);
  int compared = 0;
  for (int frame = kFirst; frame <= kLast; ++frame) {
    m_user.Wait(100).Then([&, frame] {
      SCOPED_TRACE("frame " + std::to_string(frame));
      const cli_test::Frame written = cli_test::ReadFrame(FrameName(outRoot, frame));
      ASSERT_EQ(written.pixels.size(), kFrameBytes);
      EXPECT_TRUE(SurfaceShows(Picture(), written.pixels));
      ++compared;
    });
  }
  RunConsole();
  EXPECT_EQ(compared, kLast - kFirst + 1);
  // The overlays and the cut block are in what was compared.
  const cli_test::Frame frame30 = cli_test::ReadFrame(FrameName(outRoot, 30));
  EXPECT_EQ(PictureAt(frame30.pixels, 100, 130), kRed);
  EXPECT_EQ(PictureAt(frame30.pixels, 5, 5).blue, FramePixels(29)[OffsetOf(5, 5)]);
}

}  // namespace
