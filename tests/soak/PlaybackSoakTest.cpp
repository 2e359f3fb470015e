// A long headless playback: frame numbers 0 to 9999, far past the 500 frames
// the track arrays hold, over a series with missing, unreadable and short
// frame files here and there, with trails and markers switched on. The user
// starts the playback again after each end, as the command-line companion
// does. Run under the sanitizers or valgrind, this is where leaks and stray
// accesses of a long run show.
//
// The series costs little disk: a handful of real frame files, and one
// symbolic link per frame name pointing at one of them.

#include <gtest/gtest.h>
#include <malloc.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "player/PlayerTestSupport.h"

using namespace res;
using namespace player_test;

namespace {

constexpr int kFrames = 10000;
constexpr int kPeriod = 1000 / 30;       // the playback timer's interval at rate 30
constexpr int kTries = 3;                // ticks the user watches an unreadable file fail
constexpr int kShortRows = kHeight / 2;  // a short file holds the bottom half only

enum Kind { kGood0, kGood1, kGood2, kGood3, kShort, kNoSignature, kShortHeader, kMissing };

// What frame name n points at. No two special names are neighbours.
Kind LayoutOf(int n) {
  if (n % 1000 == 777)
    return kMissing;
  if (n % 1000 == 123)
    return kNoSignature;
  if (n % 1000 == 623)
    return kShortHeader;
  return n % 250 == 17 ? kShort : static_cast<Kind>(n % 4);
}
bool Unreadable(Kind kind) {
  return kind == kNoSignature || kind == kShortHeader;
}
// In even thousands the user replaces an unreadable file with a good one while
// the player retries it; in odd thousands the user presses STOP and READs on
// from the next frame.
bool MendedByUser(int n) {
  return (n / 1000) % 2 == 0;
}

// Target 0 walks five rows of the picture, three columns a frame, over all 500
// frames; its squares lie wholly inside the picture and left of column 312.
// Target 1 stays in the top-right corner, its squares partly outside.
std::array<int, 2> Target0(int j) {
  return {5 + (j % 100) * 3, 20 + (j / 100) * 40};
}
std::array<int, 2> Target1(int j) {
  return {312 + j % 10, 1 + j % 5};
}

class PlaybackSoak : public PlayerTest {
 protected:
  void SetUp() override {
    PlayerTest::SetUp();
    std::filesystem::create_directory(m_folder.File("src"));
    for (int kind = kGood0; kind <= kShort; ++kind) {
      m_pixels[kind] = FramePixels(kind);
      WriteBmpFile(Source(kind).c_str(), m_pixels[kind], kWidth, kHeight);
    }
    std::filesystem::resize_file(Source(kShort), BMP_PIXEL_OFFSET + kShortRows * kRowBytes);
    std::ofstream(Source(kNoSignature), std::ios::binary)
        << "XM" + std::string(BMP_PIXEL_OFFSET + kFrameBytes - 2, '\x11');
    std::ofstream(Source(kShortHeader), std::ios::binary) << "BM" + std::string(28, '\x22');
    for (int n = 0; n < kFrames; ++n) {
      m_kinds.push_back(LayoutOf(n));
      if (m_kinds.back() != kMissing)
        std::filesystem::create_symlink(Source(m_kinds.back()), FrameName(m_root, n));
    }
    std::ofstream track("truetracks.txt");
    track << "2 0\n";
    for (int j = 0; j < MAX_TRACK_FRAMES; ++j) {
      track << Target0(j)[0] << ' ' << Target0(j)[1] << ' ' << Target1(j)[0] << ' ' << Target1(j)[1]
            << '\n';
    }
  }

  std::string Source(int kind) const {
    return m_folder.File("src/" + std::to_string(kind) + ".bmp");
  }

  void Problem(int frame, const std::string& what) {
    if (++m_problems <= 10)
      ADD_FAILURE() << "frame " << frame << ": " << what;
  }
  // After such a problem the script no longer knows where the player stands.
  void Abandon(int frame, const std::string& what) {
    Problem(frame, what);
    Finish();
  }
  void Finish() {
    m_user.Then([this] { m_finalBox = Box(); })
        .Key(ui::DialogKey::Escape)
        .Key(ui::DialogKey::Escape);
  }

  // The user types where to start, puts the last frame back (a playback
  // leaves its next frame number in that box) and presses READ.
  void Read(int from) {
    m_user.Type(IDC_START_FRAME, std::to_string(from))
        .Type(IDC_LAST_FRAME, std::to_string(kFrames - 1))
        .Click(IDC_READ)
        .Then([this, from] {
          std::fill(m_expected.begin(), m_expected.end(), std::uint8_t{0});  // a cleared buffer
          if (!Playing() || g_fileReadDlg.m_curFrame != from)
            return Abandon(from, "READ did not start the playback there");
          Tick();
        });
  }

  // Each tick queues the check of what it did, which queues the next step.
  void Tick() {
    const int frame = g_fileReadDlg.m_curFrame;
    if (++m_ticks > kFrames + 100)
      return Abandon(frame, "the playback does not end");
    const int updates = PictureUpdates();
    m_fileLines.clear();  // keeps the heap flat over the run
    m_user.Wait(kPeriod).Then([this, frame, updates] { AfterTick(frame, updates); });
  }

  void AfterTick(int frame, int updates) {
    const Kind kind = m_kinds[static_cast<std::size_t>(frame)];
    const bool opened = m_fileLines == std::vector<std::string>{Line(frame)};
    const bool drawn = PictureUpdates() == updates + 1;
    const int next = g_fileReadDlg.m_curFrame;
    if (kind == kMissing) {
      if (drawn || !m_fileLines.empty() || Playing() || next != frame)
        return Abandon(frame, "a missing file did not end the playback quietly");
      return Read(frame + 1);
    }
    if (Unreadable(kind)) {
      if (drawn || !opened || !Playing() || next != frame)
        return Abandon(frame, "an unreadable file was not retried");
      if (++m_tries < kTries)
        return Tick();
      m_tries = 0;
      if (MendedByUser(frame)) {
        m_kinds[static_cast<std::size_t>(frame)] = static_cast<Kind>(frame % 4);
        std::filesystem::remove(FrameName(m_root, frame));
        std::filesystem::create_symlink(Source(frame % 4), FrameName(m_root, frame));
        return Tick();
      }
      m_user.Click(IDC_STOP).Then([this, frame] {
        if (Playing())
          return Abandon(frame, "STOP left the timer running");
        Read(frame + 1);
      });
      return;
    }
    if (!drawn || !opened || next != frame + 1 || Box() != std::to_string(frame + 1))
      return Abandon(frame, "the frame was not shown");
    ++m_shown;
    CheckPicture(frame, kind);
    if (frame == 1000 || frame == 9000) {
      // Small blocks come from the arena, large ones (a frame buffer) are
      // mapped on their own.
      const struct mallinfo2 heap = ::mallinfo2();
      (frame == 1000 ? m_heapEarly : m_heapLate) = heap.uordblks + heap.hblkhd;
    }
    if (frame == kFrames - 1) {
      if (Playing())
        Problem(frame, "the playback goes on after the last frame");
      return Finish();
    }
    if (!Playing())
      return Abandon(frame, "the playback ended early");
    Tick();
  }

  // The buffer holds the file as far as it went over what it held before,
  // then the whole trail in every frame, then the marker while the frame lies
  // inside the arrays; the picture control shows the buffer.
  void CheckPicture(int frame, Kind kind) {
    const std::size_t fileBytes = kind == kShort ? kShortRows * kRowBytes : kFrameBytes;
    std::copy_n(m_pixels[kind].begin(), fileBytes, m_expected.begin());
    const auto buffer = Buffer();
    const bool inArrays = frame < MAX_TRACK_FRAMES;
    const auto [x, y] = Target0(frame % MAX_TRACK_FRAMES);
    const auto expect = [&](const char* what, int px, int py, Bgr want) {
      if (PictureAt(buffer, px, py) != want)
        Problem(frame, std::string(what) + " pixel is wrong");
    };
    // Points no overlay covers, and target 0's square at frame 1 (a position
    // at frame 0 starts no trail), covered by the markers of frames 0 and 1.
    expect("bottom", 200, 230, PictureAt(m_expected, 200, 230));
    expect("top", 200, 5, PictureAt(m_expected, 200, 5));
    expect("trail", 9, 19, frame < 2 ? kRed : kGreen);
    expect("marker", x + 5, y - 6, inArrays ? kRed : PictureAt(m_expected, x + 5, y - 6));
    if (frame % 50 == 0 || kind == kShort) {
      // Every pixel is a file's, a trail's or a marker's (a short file leaves
      // the last frame's overlays in the top rows). In a full frame target 0's
      // marker is the only red left of column 312; past the arrays there is
      // no red at all.
      int left = 0, corner = 0, stray = 0;
      for (int py = 0; py < kHeight; ++py) {
        for (int px = 0; px < kWidth; ++px) {
          const Bgr got = PictureAt(buffer, px, py);
          if (got == kRed)
            ++(px < 312 ? left : corner);
          else if (got != kGreen && got != PictureAt(m_expected, px, py))
            ++stray;
        }
      }
      const bool red =
          kind == kShort || (left == (inArrays ? 100 : 0) && (inArrays || corner == 0));
      if (stray != 0 || !red)
        Problem(frame, std::to_string(stray) + " stray, " + std::to_string(left) + " + " +
                           std::to_string(corner) + " red pixels");
      if (!SurfaceShows(Picture(), buffer))
        Problem(frame, "the picture control does not show the buffer");
    }
  }

  std::array<std::vector<std::uint8_t>, kShort + 1> m_pixels;
  std::vector<std::uint8_t> m_expected = std::vector<std::uint8_t>(kFrameBytes);
  std::vector<Kind> m_kinds;
  int m_ticks = 0, m_tries = 0, m_problems = 0, m_shown = 0;
  std::string m_finalBox;
  std::size_t m_heapEarly = 0, m_heapLate = 0;
};

}  // namespace

TEST_F(PlaybackSoak, TenThousandFrameNamesPlayToTheLastThroughGapsAndBadFiles) {
  m_user.Click(IDC_READ_SERIES)
      .Type(IDC_FRAME_RATE, "30")
      .Click(IDC_USE_TRUETRACKS)
      .Click(IDC_SHOW_TRACK);
  Read(0);
  RunConsole(0);

  // Every frame name was visited in order: all shown but the missing files
  // and the unreadable ones the user left behind.
  int shown = 0;
  for (int n = 0; n < kFrames; ++n)
    shown += LayoutOf(n) != kMissing && (!Unreadable(LayoutOf(n)) || MendedByUser(n));
  EXPECT_EQ(m_problems, 0);
  EXPECT_EQ(m_shown, shown);
  EXPECT_EQ(g_fileReadDlg.m_curFrame, kFrames);
  EXPECT_EQ(m_finalBox, std::to_string(kFrames));
  // A long run must not pile up memory that is only given back at the end:
  // 8000 frames in, the heap holds no more than at frame 1000, give or take
  // the script's own queue. (The sanitizers' and valgrind's allocators keep
  // their own books, so this only tells in the normal build.)
  EXPECT_LT(m_heapLate, m_heapEarly + 4 * 1024);
}
