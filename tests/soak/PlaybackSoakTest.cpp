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
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "app/Korvane.h"
#include "console/KorvaneDlg.h"
#include "image/BmpFile.h"
#include "player/FileRead.h"
#include "res/ResourceIds.h"
#include "support/TempDir.h"
#include "tracks/TrackGlobals.h"
#include "ui/core/Trace.h"
#include "ui/headless/HeadlessBackend.h"

using namespace res;
using ui::headless::HeadlessBackend;

namespace {

constexpr int kFrames = 10000;
constexpr int kWidth = 320;
constexpr int kHeight = 240;
constexpr std::size_t kRowBytes = kWidth * 3;
constexpr std::size_t kFrameBytes = kRowBytes * kHeight;
constexpr int kRate = 30;
constexpr int kPeriod = 1000 / kRate;  // the playback timer's interval
// Ticks the user watches an unreadable file fail before acting.
constexpr int kTries = 3;
// A short frame file holds only the bottom half of the picture.
constexpr int kShortRows = kHeight / 2;

enum class Kind { Good, Short, NoSignature, ShortHeader, Missing };

// What the frame name n points at. No two special names are neighbours.
Kind LayoutOf(int n) {
  if (n % 1000 == 777)
    return Kind::Missing;
  if (n % 1000 == 123)
    return Kind::NoSignature;
  if (n % 1000 == 623)
    return Kind::ShortHeader;
  if (n % 250 == 17)
    return Kind::Short;
  return Kind::Good;
}
bool Unreadable(Kind kind) {
  return kind == Kind::NoSignature || kind == Kind::ShortHeader;
}
// In even thousands the user replaces an unreadable file with a good one while
// the player retries it; in odd thousands the user presses STOP and READs on
// from the next frame.
bool MendedByUser(int n) {
  return (n / 1000) % 2 == 0;
}

// Blue tells the file (never 0 or 255, so no pixel looks like an overlay or a
// cleared buffer), green the column, red the buffer row.
constexpr std::uint8_t kShortId = 50;
std::uint8_t GoodId(int n) {
  return static_cast<std::uint8_t>(10 + (n % 4) * 10);
}

struct Bgr {
  std::uint8_t blue, green, red;
  bool operator==(const Bgr&) const = default;
};
constexpr Bgr kGreen{0, 255, 0};
constexpr Bgr kRed{0, 0, 255};

Bgr FilePixel(std::uint8_t id, int x, int y) {
  return {id, static_cast<std::uint8_t>(x), static_cast<std::uint8_t>(kHeight - 1 - y)};
}
std::vector<std::uint8_t> FramePixels(std::uint8_t id) {
  std::vector<std::uint8_t> pixels(kFrameBytes);
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      const Bgr p = FilePixel(id, x, y);
      const std::size_t o = (kHeight - 1 - y) * kRowBytes + x * 3;
      pixels[o] = p.blue;
      pixels[o + 1] = p.green;
      pixels[o + 2] = p.red;
    }
  }
  return pixels;
}
Bgr BufferAt(std::span<const std::uint8_t> frame, int x, int y) {
  const std::size_t o = (kHeight - 1 - y) * kRowBytes + static_cast<std::size_t>(x) * 3;
  return {frame[o], frame[o + 1], frame[o + 2]};
}

// Target 0 walks five rows of the picture, three columns a frame, over all 500
// frames; its squares lie wholly inside the picture and left of column 312.
// Target 1 stays in the top-right corner, its squares partly outside.
struct Position {
  int x, y;
};
Position Target0(int j) {
  return {5 + (j % 100) * 3, 20 + (j / 100) * 40};
}
Position Target1(int j) {
  return {312 + j % 10, 1 + j % 5};
}

// Picture points no overlay ever covers: the bottom one always comes from the
// file just read, the top one from the last file read in full.
constexpr Position kBottomProbe{200, 230};
constexpr Position kTopProbe{200, 5};
// A pixel of target 0's trail square at frame 1 (the trail starts there: a
// position at frame 0 does not count as a start), covered only by the markers
// of frames 0 and 1.
constexpr Position kTrailProbe{9, 19};
// Inside the marker of frame j, outside every trail square.
Position MarkerProbe(int j) {
  const Position p = Target0(j);
  return {p.x + 5, p.y - 6};
}

std::string TrackFileText() {
  std::string text = "2 0\n";
  for (int j = 0; j < MAX_TRACK_FRAMES; ++j) {
    const Position a = Target0(j);
    const Position b = Target1(j);
    text += std::to_string(a.x) + " " + std::to_string(a.y) + " " + std::to_string(b.x) + " " +
            std::to_string(b.y) + "\n";
  }
  return text;
}

void ResetTracks() {
  g_trueTracks.Reset();
}

// The real files and the links that name them.
class Series {
 public:
  explicit Series(const TempDir& dir) : m_dir(dir), m_root(dir.FilePath("take")) {
    std::filesystem::create_directory(dir.FilePath("src"));
    for (int g = 0; g < 4; ++g)
      WriteBmpFile(Source(Kind::Good, g).c_str(), FramePixels(GoodId(g)), kWidth, kHeight);
    WriteBmpFile(Source(Kind::Short, 0).c_str(), FramePixels(kShortId), kWidth, kHeight);
    std::filesystem::resize_file(Source(Kind::Short, 0), BMP_PIXEL_OFFSET + kShortRows * kRowBytes);
    std::ofstream(Source(Kind::NoSignature, 0), std::ios::binary)
        << std::string("XM") + std::string(BMP_PIXEL_OFFSET + kFrameBytes - 2, '\x11');
    std::ofstream(Source(Kind::ShortHeader, 0), std::ios::binary)
        << std::string("BM") + std::string(28, '\x22');
    for (int n = 0; n < kFrames; ++n) {
      m_kinds.push_back(LayoutOf(n));
      if (m_kinds.back() != Kind::Missing)
        std::filesystem::create_symlink(Source(m_kinds.back(), n), Name(n));
    }
  }

  Kind KindOf(int n) const { return m_kinds[static_cast<std::size_t>(n)]; }
  std::string Root() const { return m_root; }
  std::string Name(int n) const {
    char number[24];
    std::snprintf(number, sizeof number, "_%04d.bmp", n);
    return m_root + number;
  }
  // Points frame name n at a good file.
  void Mend(int n) {
    std::filesystem::remove(Name(n));
    std::filesystem::create_symlink(Source(Kind::Good, n), Name(n));
    m_kinds[static_cast<std::size_t>(n)] = Kind::Good;
  }

 private:
  std::string Source(Kind kind, int n) const {
    switch (kind) {
      case Kind::Good:
        return m_dir.FilePath("src/good" + std::to_string(n % 4) + ".bmp");
      case Kind::Short:
        return m_dir.FilePath("src/short.bmp");
      case Kind::NoSignature:
        return m_dir.FilePath("src/nosignature.bmp");
      default:
        return m_dir.FilePath("src/shortheader.bmp");
    }
  }

  const TempDir& m_dir;
  std::string m_root;
  std::vector<Kind> m_kinds;
};

// What the run amounted to, counted as it went.
struct Tally {
  int reads = 0;       // READ presses
  int shown = 0;       // frames drawn
  int lastShown = -1;  // number of the last frame drawn
  int retryTicks = 0;  // ticks that found a file unreadable
  int mended = 0;      // unreadable files replaced while playing
  int skipped = 0;     // unreadable files left behind with STOP and READ
  int missing = 0;     // playbacks ended at a missing file
  int traceLines = 0;  // "filename: " lines
  std::string lastTraceLine;
  int finalUpdates = -1;
  int finalCurFrame = -1;
  std::string finalBox;
  bool finalPlaying = true;
  // Heap in use when frames 1000 and 9000 had been shown.
  std::size_t heapEarly = 0;
  std::size_t heapLate = 0;
  int problems = 0;
  std::vector<std::string> firstProblems;
};

// Plays the series to its last frame name. Each step queues the next one, so
// the script is written as the run goes; after every tick the driver checks
// what the tick did against what the frame name points at.
class SoakDriver {
 public:
  SoakDriver(HeadlessBackend& user, Series& series, Tally& tally)
      : m_user(user), m_series(series), m_tally(tally) {}

  void Start() {
    m_user.Click(IDC_READ_SERIES)
        .Type(IDC_ROOT_PATH, m_series.Root())
        .Type(IDC_FRAME_RATE, std::to_string(kRate))
        .Click(IDC_USE_TRUETRACKS)
        .Click(IDC_SHOW_TRACK);
    Read(0);
  }

 private:
  ui::headless::HeadlessWindow* Player() const { return m_user.FindWindow(IDD_FILEREAD); }
  bool Playing() const { return Player() != nullptr && m_user.HasTimer(*Player(), IDT_TIMER_0); }
  int Updates() const {
    return Player() != nullptr ? Player()->Control(IDC_PICTURE)->surfaceUpdates : -1;
  }

  void Problem(int frame, const std::string& what) {
    if (m_tally.firstProblems.size() < 10)
      m_tally.firstProblems.push_back("frame " + std::to_string(frame) + ": " + what);
    ++m_tally.problems;
  }
  // After such a problem the script no longer knows where the player stands.
  void Abandon(int frame, const std::string& what) {
    Problem(frame, what);
    Finish();
  }

  // The user types where to start, puts the last frame back (a playback
  // leaves its next frame number in that box) and presses READ.
  void Read(int from) {
    m_user.Type(IDC_START_FRAME, std::to_string(from))
        .Type(IDC_LAST_FRAME, std::to_string(kFrames - 1))
        .Click(IDC_READ)
        .Then([this, from] {
          ++m_tally.reads;
          m_top.reset();  // a fresh buffer holds nothing known yet
          if (!Playing() || g_fileReadDlg.m_curFrame != from)
            return Abandon(from, "READ did not start the playback there");
          Tick();
        });
  }

  void Tick() {
    const int frame = g_fileReadDlg.m_curFrame;
    if (++m_ticks > kFrames + 100)
      return Abandon(frame, "the playback does not end");
    const int updates = Updates();
    const int lines = m_tally.traceLines;
    m_user.Wait(kPeriod).Then([this, frame, updates, lines] { AfterTick(frame, updates, lines); });
  }

  void AfterTick(int frame, int updates, int lines) {
    const Kind kind = m_series.KindOf(frame);
    const bool drawn = Updates() == updates + 1;
    const bool traced = m_tally.traceLines == lines + 1 &&
                        m_tally.lastTraceLine == "filename: " + m_series.Name(frame) + "\n";
    const int current = g_fileReadDlg.m_curFrame;
    if (kind == Kind::Missing) {
      if (Updates() != updates || m_tally.traceLines != lines || Playing() || current != frame)
        return Abandon(frame, "a missing file did not end the playback quietly");
      ++m_tally.missing;
      return Read(frame + 1);
    }
    if (Unreadable(kind)) {
      if (Updates() != updates || !traced || !Playing() || current != frame)
        return Abandon(frame, "an unreadable file was not retried");
      ++m_tally.retryTicks;
      if (++m_tries < kTries)
        return Tick();
      m_tries = 0;
      if (MendedByUser(frame)) {
        m_series.Mend(frame);
        ++m_tally.mended;
        return Tick();
      }
      m_user.Click(IDC_STOP).Then([this, frame] {
        if (Playing())
          return Abandon(frame, "STOP left the timer running");
        ++m_tally.skipped;
        Read(frame + 1);
      });
      return;
    }
    if (!drawn || !traced || current != frame + 1)
      return Abandon(frame, "the frame was not shown");
    ++m_tally.shown;
    m_tally.lastShown = frame;
    if (Player()->GetControlText(IDC_LAST_FRAME) != std::to_string(frame + 1))
      Problem(frame, "the Last frame box reads " + Player()->GetControlText(IDC_LAST_FRAME));
    CheckPicture(frame, kind);
    if (frame == 1000 || frame == 9000) {
      // Small blocks come from the arena, large ones (a frame buffer) are
      // mapped on their own.
      const struct mallinfo2 heap = ::mallinfo2();
      (frame == 1000 ? m_tally.heapEarly : m_tally.heapLate) = heap.uordblks + heap.hblkhd;
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

  void Expect(int frame, const char* what, std::span<const std::uint8_t> buffer, Position p,
              std::optional<Bgr> want) {
    const Bgr got = BufferAt(buffer, p.x, p.y);
    if (want && got != *want)
      Problem(frame, std::string(what) + " pixel is " + std::to_string(got.blue) + "," +
                         std::to_string(got.green) + "," + std::to_string(got.red));
    // The picture control shows the buffer 1:1, red-green-blue, top row first.
    const std::uint8_t* shown = Player()->Control(IDC_PICTURE)->surface.Pixel(p.x, p.y);
    if (shown == nullptr || shown[0] != got.red || shown[1] != got.green || shown[2] != got.blue)
      Problem(frame, std::string(what) + " pixel differs on the picture control");
  }

  void CheckPicture(int frame, Kind kind) {
    const std::span<const std::uint8_t> buffer(g_fileReadDlg.m_frame.get(), kFrameBytes);
    const std::uint8_t id = kind == Kind::Short ? kShortId : GoodId(frame);
    const std::optional<std::uint8_t> top = kind == Kind::Short ? m_top : id;
    // A short file fills the bottom rows; the top rows keep the last full one.
    auto fileAt = [&](Position p) -> std::optional<Bgr> {
      if (p.y >= kHeight - kShortRows)
        return FilePixel(id, p.x, p.y);
      if (!top)
        return std::nullopt;
      return FilePixel(*top, p.x, p.y);
    };
    const int j = frame % MAX_TRACK_FRAMES;
    Expect(frame, "bottom", buffer, kBottomProbe, FilePixel(id, kBottomProbe.x, kBottomProbe.y));
    Expect(frame, "top", buffer, kTopProbe, fileAt(kTopProbe));
    // The whole trail is painted in every frame, inside the arrays or not.
    Expect(frame, "trail", buffer, kTrailProbe, frame < 2 ? kRed : kGreen);
    // Past the arrays no marker is painted, least of all a wrapped one.
    Expect(frame, "marker", buffer, MarkerProbe(j),
           frame < MAX_TRACK_FRAMES ? std::optional<Bgr>(kRed) : fileAt(MarkerProbe(j)));
    if (kind == Kind::Good)
      m_top = id;

    if (frame % 50 == 0)
      CountRed(frame, buffer);
    // Past the arrays every frame drawn from the same full file is the same
    // picture: the file and the trails, nothing else.
    if (kind == Kind::Good && frame >= MAX_TRACK_FRAMES && frame % 5 == 0) {
      std::vector<std::uint8_t>& reference = m_reference[frame % 4];
      if (reference.empty())
        reference.assign(buffer.begin(), buffer.end());
      else if (!std::equal(buffer.begin(), buffer.end(), reference.begin()))
        Problem(frame, "the picture differs from the same file's picture earlier");
    }
  }

  // Target 0's marker is the only red left of column 312: 100 pixels inside
  // the arrays, none past them; past them target 1 has none either.
  void CountRed(int frame, std::span<const std::uint8_t> buffer) {
    int left = 0;
    int corner = 0;
    for (int y = 0; y < kHeight; ++y) {
      for (int x = 0; x < kWidth; ++x) {
        if (BufferAt(buffer, x, y) == kRed)
          ++(x < 312 ? left : corner);
      }
    }
    const bool inside = frame < MAX_TRACK_FRAMES;
    if (left != (inside ? 100 : 0) || (!inside && corner != 0))
      Problem(frame, std::to_string(left) + " + " + std::to_string(corner) + " red pixels");
  }

  void Finish() {
    m_user
        .Then([this] {
          m_tally.finalUpdates = Updates();
          m_tally.finalCurFrame = g_fileReadDlg.m_curFrame;
          m_tally.finalBox = Player() ? Player()->GetControlText(IDC_LAST_FRAME) : "";
          m_tally.finalPlaying = Playing();
        })
        .Key(ui::DialogKey::Escape)
        .Key(ui::DialogKey::Escape);
  }

  HeadlessBackend& m_user;
  Series& m_series;
  Tally& m_tally;
  std::optional<std::uint8_t> m_top;  // file id of the buffer's top rows
  std::vector<std::uint8_t> m_reference[4];
  int m_ticks = 0;
  int m_tries = 0;
};

// Runs in a folder of its own, the current directory while it runs so the
// track file is found there, with the player and the track set as they are at
// start-up and the debug trace counted.
class PlaybackSoak : public ::testing::Test {
 protected:
  void SetUp() override {
    char cwd[4096] = {};
    ASSERT_NE(::getcwd(cwd, sizeof cwd), nullptr);
    m_previousDir = cwd;
    ASSERT_EQ(::chdir(m_folder.Path().c_str()), 0);
    m_previousRootPath = g_rootPath;
    CFileRead& player = g_fileReadDlg;
    player.m_curFrame = 0;
    player.m_frame.reset();
    player.m_frameBytes = 0;
    player.m_timerId = 0;
    player.m_frameRate = 10;
    ResetTracks();
    std::ofstream(m_folder.FilePath("truetracks.txt"), std::ios::binary) << TrackFileText();
    m_sink.emplace([this](std::string_view text) {
      if (text.starts_with("filename: ")) {
        ++m_tally.traceLines;
        m_tally.lastTraceLine = text;
      }
    });
  }
  void TearDown() override {
    m_sink.reset();
    std::snprintf(g_rootPath, sizeof g_rootPath, "%s", m_previousRootPath.c_str());
    ResetTracks();
    EXPECT_EQ(::chdir(m_previousDir.c_str()), 0);
  }

  TempDir m_folder;
  Series m_series{m_folder};
  HeadlessBackend m_user;
  Tally m_tally;

 private:
  std::string m_previousDir;
  std::string m_previousRootPath;
  std::optional<ui::ScopedTraceSink> m_sink;
};

}  // namespace

TEST_F(PlaybackSoak, TenThousandFrameNamesPlayToTheLastThroughGapsAndBadFiles) {
  SoakDriver driver(m_user, m_series, m_tally);
  driver.Start();
  theApp.InitInstance();
  EXPECT_FALSE(m_user.ScriptExhausted());
  EXPECT_TRUE(m_user.ScriptErrors().empty());
  EXPECT_EQ(m_user.Top(), nullptr);

  int missing = 0;
  int unreadable = 0;
  int leftBehind = 0;
  for (int n = 0; n < kFrames; ++n) {
    missing += LayoutOf(n) == Kind::Missing;
    unreadable += Unreadable(LayoutOf(n));
    leftBehind += Unreadable(LayoutOf(n)) && !MendedByUser(n);
  }
  const int shown = kFrames - missing - leftBehind;

  EXPECT_EQ(m_tally.problems, 0) << ::testing::PrintToString(m_tally.firstProblems);
  EXPECT_EQ(m_tally.shown, shown);
  EXPECT_EQ(m_tally.lastShown, kFrames - 1);
  EXPECT_EQ(m_tally.missing, missing);
  EXPECT_EQ(m_tally.mended, unreadable - leftBehind);
  EXPECT_EQ(m_tally.skipped, leftBehind);
  EXPECT_EQ(m_tally.reads, 1 + missing + leftBehind);
  EXPECT_EQ(m_tally.retryTicks, kTries * unreadable);
  // One trace line per file opened: every frame shown and every retry.
  EXPECT_EQ(m_tally.traceLines, shown + kTries * unreadable);
  EXPECT_EQ(m_tally.lastTraceLine, "filename: " + m_series.Name(kFrames - 1) + "\n");
  EXPECT_EQ(m_tally.finalUpdates, shown);
  EXPECT_EQ(m_tally.finalCurFrame, kFrames);
  EXPECT_EQ(m_tally.finalBox, std::to_string(kFrames));
  EXPECT_FALSE(m_tally.finalPlaying);
  // A long run must not pile up memory that is only given back at the end:
  // 8000 frames in, the heap holds no more than at frame 1000, give or take
  // the script's own queue. (The sanitizers' and valgrind's allocators keep
  // their own books, so this only tells in the normal build.)
  EXPECT_LT(m_tally.heapLate, m_tally.heapEarly + 4 * 1024);
}
