// MOTChallenge ground truth in and out: a MOT-style folder (1920 × 1080 JPEG
// frames, a gt.txt with more than 50 ids that appear, vanish and return)
// imported and converted plays with every marker on its target; bad rows are
// named by FILE:LINE; the rules for positions the track file cannot hold;
// tracks2mot and mot2tracks undo each other.

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <filesystem>
#include <memory>

#include "CliTestSupport.h"
#include "base/Trace.h"
#include "image/SeriesFrames.h"
#include "mot/MotConversion.h"
#include "player/PlaybackCore.h"
#include "support/TempDir.h"
#include "tracks/TrackSet.h"

using namespace cli_test;

namespace {

using Rgb = std::array<std::uint8_t, 3>;

constexpr int kFrames = 3;
constexpr int kIds = 61;

// Where id k's 60 × 60 box stands in source frame f (1-based), or nothing:
// id 3 comes in at frame 2, id 7 is gone in frame 2 and back in frame 3,
// id 61 comes in at frame 3. The rest stand on a grid, moving right.
std::optional<std::pair<int, int>> BoxCorner(int id, int frame) {
  if ((id == 3 && frame == 1) || (id == 7 && frame == 2) || (id == 61 && frame < 3))
    return std::nullopt;
  const int k = id - 1;
  return std::pair{60 + (k % 10) * 180 + frame * 6, 40 + (k / 10) * 160};
}

class MotFolder : public ::testing::Test {
 protected:
  // img1/000001.jpg … and gt/gt.txt as the benchmark lays them out: rows
  // sorted by id, with an ignore row (conf 0) and a row of another class.
  void SetUp() override {
    std::filesystem::create_directories(m_dir.Path() / "img1");
    std::filesystem::create_directories(m_dir.Path() / "gt");
    std::string gt;
    for (int id = 1; id <= kIds; ++id) {
      for (int f = 1; f <= kFrames; ++f) {
        if (const auto corner = BoxCorner(id, f))
          gt += std::to_string(f) + "," + std::to_string(id) + "," + std::to_string(corner->first) +
                "," + std::to_string(corner->second) + ",60,60,1,1,0.83\n";
      }
    }
    gt += "2,90,0,0,300,300,0,1,1\n1 91 0 0 10 10 1 2 1\n";
    WriteText(m_dir.Path() / "gt/gt.txt", gt);
    for (int f = 1; f <= kFrames; ++f) {
      QImage picture(1920, 1080, QImage::Format_RGB888);
      picture.fill(QColor(30, 30, 30));
      QPainter painter(&picture);
      for (int id = 1; id <= kIds; ++id) {
        if (const auto corner = BoxCorner(id, f))
          painter.fillRect(corner->first, corner->second, 60, 60, QColor(230, 230, 230));
      }
      painter.end();
      char name[32];
      std::snprintf(name, sizeof name, "img1/%06d.jpg", f);
      ASSERT_TRUE(picture.save(QString::fromStdString(m_dir.File(name)), "JPEG", 90));
    }
  }

  std::string Path(const std::string& name) const { return m_dir.File(name); }

  TempDir m_dir;
};

TEST_F(MotFolder, ImportedSeriesPlaysWithEveryMarkerOnItsTarget) {
  CliResult result = RunProgram({"import", Path("img1"), Path("series/take")});
  ASSERT_EQ(result.status, 0) << result.err;
  result = RunProgram({"mot2tracks", Path("gt/gt.txt"), Path("series/truetracks.txt"), "--geometry",
                       Path("series/take.geometry"), "--classes", "1"});
  ASSERT_EQ(result.status, 0) << result.err;
  // Ids in order of first appearance: 1, 2, 4 … 51 from frame 1, then 3 and
  // 61; the first 50 are kept.
  EXPECT_EQ(result.err,
            "korvane-cli mot2tracks: warning: 11 targets (30 rows) beyond the 50 kept\n"
            "korvane-cli mot2tracks: note: 1 row with conf 0 skipped, 1 row of other classes "
            "skipped, 0 positions at (0, 0) written as (1, 0)\n");
  std::vector<int> kept = {1, 2};
  for (int id = 4; id <= 51; ++id)
    kept.push_back(id);

  const base::ScopedTraceSink quiet([](std::string_view) {});
  auto tracks = std::make_unique<CTrackSet>();
  ASSERT_TRUE(tracks->LoadTrueTracksFrom(Path("series/truetracks.txt").c_str()));
  ASSERT_EQ(tracks->m_count, 50);
  std::vector<std::uint8_t> played(320 * 240 * 3);
  char name[512];
  int markers = 0;
  for (int frame = 0; frame < kFrames; ++frame) {
    SCOPED_TRACE(frame);
    const Frame imported = ReadFrame(series::FrameFileName(Path("series/take"), frame));
    ASSERT_EQ(imported.width, 320);
    ASSERT_EQ(
        PlayFrame(name, Path("series/take"), frame, played, 320, *tracks, {false, true}).outcome,
        FrameOutcome::Shown);
    for (int t = 0; t < 50; ++t) {
      const int x = tracks->m_tracks[t].m_x[frame];
      const int y = tracks->m_tracks[t].m_y[frame];
      const auto corner = BoxCorner(kept[static_cast<std::size_t>(t)], frame + 1);
      ASSERT_EQ(x == 0 && y == 0, !corner) << "target " << t;
      if (!corner)
        continue;
      // The box centre, a sixth of the size, 30 rows down.
      EXPECT_EQ(x, (corner->first + 30 + 3) / 6) << "target " << t;
      EXPECT_EQ(y, (corner->second + 30 + 3) / 6 + 30) << "target " << t;
      // The target is under the position, and the player's marker over it.
      for (const std::uint8_t v : imported.Rgb(x, y))
        EXPECT_GT(v, 180) << "target " << t;
      const std::size_t at = (static_cast<std::size_t>(239 - y) * 320 + x) * 3;
      EXPECT_EQ((Rgb{played[at + 2], played[at + 1], played[at]}), (Rgb{255, 0, 0}));
      ++markers;
    }
  }
  EXPECT_EQ(markers, 50 * 3 - 1);  // id 7 is gone in frame 2

  // Back to MOT rows and again to a track file: the same file.
  result = RunProgram({"tracks2mot", Path("series/truetracks.txt"), Path("back.txt"), "--geometry",
                       Path("series/take.geometry")});
  ASSERT_EQ(result.status, 0) << result.err;
  result = RunProgram({"mot2tracks", Path("back.txt"), Path("again.txt"), "--geometry",
                       Path("series/take.geometry")});
  ASSERT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(ReadText(Path("again.txt")), ReadText(Path("series/truetracks.txt")));
  // The boxes go back to source pixels: frame 1, id 1, a 60 × 60 box.
  EXPECT_TRUE(ReadText(Path("back.txt")).starts_with("1,1,"));
  EXPECT_THAT(ReadText(Path("back.txt")), HasSubstr(",60,60,1,1,1\n"));
}

// What the track file leaves out is counted by cause, each count exact and
// in the right number: targets beyond the 50 kept, targets wholly outside
// frames 0 to 499 (here 13 that first appear after frame 499), and rows cut
// from targets that are kept or dropped for another cause.
TEST(MotToTracks, WhatIsLeftOutAddsUpByCause) {
  std::string gt;
  for (int id = 1; id <= 57; ++id) {
    for (int frame = 1; frame <= 3; ++frame)
      gt += std::to_string(frame) + "," + std::to_string(id) + ",10,10,4,4,1,1,1\n";
  }
  for (int id = 58; id <= 70; ++id) {
    for (int frame = 600; frame <= 601; ++frame)
      gt += std::to_string(frame) + "," + std::to_string(id) + ",10,10,4,4,1,1,1\n";
  }
  gt += "700,1,10,10,4,4,1,1,1\n701,1,10,10,4,4,1,1,1\n900,57,10,10,4,4,1,1,1\n";
  const TempDir dir;
  WriteText(dir.File("gt.txt"), gt);
  CliResult result = RunInProcess({"mot2tracks", dir.File("gt.txt"), dir.File("t.txt")});
  ASSERT_EQ(result.status, 0) << result.err;
  // 57 * 3 + 13 * 2 + 3 rows: 50 * 3 written, 7 * 3 beyond the limit, 13 * 2
  // wholly outside, 3 cut.
  EXPECT_EQ(result.err,
            "korvane-cli mot2tracks: warning: 7 targets (21 rows) beyond the 50 kept; 13 targets "
            "(26 rows) wholly outside frames 0 to 499; 3 rows of other targets outside frames 0 "
            "to 499\n");
  EXPECT_EQ(result.out, "mot2tracks: 50 targets, 3 frames, written to " + dir.File("t.txt") + "\n");

  // One of each reads in the singular.
  WriteText(dir.File("gt.txt"),
            "1,1,10,10,4,4,1,1,1\n600,2,10,10,4,4,1,1,1\n700,1,10,10,4,4,1,1,1\n"
            "2,3,10,10,4,4,0,1,1\n2,4,10,10,4,4,1,2,1\n2,5,10,10,4,4,1,1,1\n");
  result = RunInProcess(
      {"mot2tracks", dir.File("gt.txt"), dir.File("t.txt"), "--ids", "1,2", "--classes", "1"});
  ASSERT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.err,
            "korvane-cli mot2tracks: warning: 1 target (1 row) not among --ids; 1 target (1 row) "
            "wholly outside frames 0 to 499; 1 row of other targets outside frames 0 to 499; 1 id "
            "of --ids without a box\n"
            "korvane-cli mot2tracks: note: 1 row with conf 0 skipped, 1 row of other classes "
            "skipped, 0 positions at (0, 0) written as (1, 0)\n");
}

// A bad row fails the command naming FILE:LINE, and no track file appears.
TEST(MotToTracks, BadRowsAreNamedByFileAndLine) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"1,1,10,10,-5,10,1,1,1", "the box has a negative size"},
      {"1,1,nan,10,5,10", "the left 'nan' is not a finite number"},
      {"1,1,10,inf,5,10", "the top 'inf' is not a finite number"},
      {"1,99999999999,10,10,5,5", "the id '99999999999' is not an integer from"},
      {"1.5,2,10,10,5,5", "the frame '1.5' is not an integer"},
      {"1,2,3", "a row needs at least 6 fields"},
      {"1,,2,3,4,5", "an empty field before a comma"},
      {"1,2,3,4,5,6,", "an empty field after the last comma"},
      {"1,2,3,4,5,6,1,x", "the class 'x' is not an integer"},
      {"1,5,0,0,1,1", "id 5 has a second box in frame 1 (the first is on line 1)"},
  };
  const TempDir dir;
  for (const auto& [line, message] : cases) {
    SCOPED_TRACE(line);
    WriteText(dir.File("gt.txt"), "1,5,0,0,1,1\n\n" + line + "\n");
    const CliResult result = RunExpecting(1, {"mot2tracks", dir.File("gt.txt"), dir.File("t.txt")});
    EXPECT_THAT(result.err, HasSubstr("mot2tracks: " + dir.File("gt.txt") + ":3: " + message));
    EXPECT_FALSE(std::filesystem::exists(dir.File("t.txt")));
  }
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"mot2tracks", dir.File("none.txt"), dir.File("t.txt")},
        {"mot2tracks", dir.File("gt.txt"), dir.File("t.txt"), "--geometry", dir.File("gt.txt")},
        {"tracks2mot", dir.File("none.txt"), dir.File("t.txt")},
        {"mot2tracks", dir.File("gt.txt"), dir.File("gt.txt")}}) {
    EXPECT_EQ(RunInProcess(args).status, 1) << args[1];
    EXPECT_FALSE(std::filesystem::exists(dir.File("t.txt")));
  }
}

// What the track file cannot hold as it stands: a position at (0, 0) would
// read as absent and becomes (1, 0); coordinates beyond ±999 are clamped,
// since above 999 a row disables its target; frames outside 0 to 499 are
// dropped. Each is counted.
TEST(MotToTracks, PositionsTheTrackFileCannotHoldAreChangedAndCounted) {
  // frame, id, left, top, width, height
  const std::vector<cli::MotRow> rows = {
      {2, 1, -0.25, -0.2, 0.5, 0.4},  // centre (0, 0)
      {3, 1, 5000, -3000, 2, 2},      // far outside
      {4, 1, 999.1, 0, 1, 1},         // (999.6, 0.5) rounds to 1000, which would disable
      {2, 2, 9.5, 19.5, 1, 1},        // centre (10, 20): halves round up
      {500, 2, 1, 1, 1, 1},           // past the last frame
      {-1, 2, 1, 1, 1, 1},            // before the first
  };
  std::string text;
  cli::MotCounts counts;
  ASSERT_EQ(cli::MotToTrackText(rows, {}, "gt", text, counts), std::nullopt);
  EXPECT_EQ(text, "2 2\n1 0\n10 20\n999 -999\n0 0\n999 1\n0 0\n");
  EXPECT_EQ(counts.movedPositions, 1);
  EXPECT_EQ(counts.clampedPositions, 3);
  EXPECT_EQ(counts.outsideFrameRows, 2);
  // The ids asked for, in their order, absent ones included and counted.
  cli::MotSelection selection;
  selection.ids = {2, 7};
  ASSERT_EQ(cli::MotToTrackText(rows, selection, "gt", text, counts), std::nullopt);
  EXPECT_EQ(text, "2 2\n10 20\n0 0\n");
  EXPECT_EQ(counts.emptyTargets, 1);
  EXPECT_EQ(counts.droppedTargets, 1);
}

// Without a geometry, tracks2mot's boxes are centred on the positions as
// they stand, and mot2tracks reads them back to the same file; disabling
// rows are not positions.
TEST(TracksToMot, RoundTripWithoutGeometry) {
  const TempDir dir;
  WriteText(dir.File("t.txt"), "2 4\n1 0\n10 20\n0 0\n11 21\n-5 7\n0 0\n");
  ASSERT_EQ(
      RunInProcess({"tracks2mot", dir.File("t.txt"), dir.File("m.txt"), "--box", "4,6"}).status, 0);
  EXPECT_EQ(ReadText(dir.File("m.txt")),
            "4,1,-1,-3,4,6,1,1,1\n4,2,8,17,4,6,1,1,1\n5,2,9,18,4,6,1,1,1\n"
            "6,1,-7,4,4,6,1,1,1\n");
  ASSERT_EQ(RunInProcess({"mot2tracks", dir.File("m.txt"), dir.File("back.txt")}).status, 0);
  EXPECT_EQ(ReadText(dir.File("back.txt")), ReadText(dir.File("t.txt")));
  WriteText(dir.File("d.txt"), "1 4\n5 5\n1000 3\n6 6\n");
  ASSERT_EQ(RunInProcess({"tracks2mot", dir.File("d.txt"), dir.File("m.txt")}).status, 0);
  EXPECT_EQ(ReadText(dir.File("m.txt")), "4,1,0,0,10,10,1,1,1\n");
}

}  // namespace
