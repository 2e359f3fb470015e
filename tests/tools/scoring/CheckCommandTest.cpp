// korvane-cli check: frame files as the player reads them and the track file
// as the loader reads it.

#include <gtest/gtest.h>

#include <algorithm>

#include "CliTestSupport.h"
#include "base/Trace.h"
#include "tracks/TrackFileScan.h"
#include "tracks/TrackSet.h"

using namespace cli_test;

namespace {

using CheckCommand = SampleSeriesTest;

// The sample series is well, with a note for its disabled target; then each
// fault of a frame file is reported, and without a track file in the current
// folder none is checked.
TEST_F(CheckCommand, EachFaultOfAFrameFileIsReported) {
  {
    const InFolder inSeries(m_series.Path());
    const CliResult result = RunInProcess({"check", Root(), "0", "60"});
    EXPECT_EQ(result.status, 0) << result.out;
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(result.out,
              "frames 0 to 60: 61 checked, 61 fine, 0 missing, 0 unreadable, 0 bad signature, "
              "0 short header, 0 short pixel block\n"
              "truetracks.txt: note: target 3 is disabled at frame 20 (row 1000 1000)\n"
              "truetracks.txt: 4 targets, rows for frames 0 to 60, 1 disabled, 0 problems\n");
  }
  std::filesystem::remove(FrameFile(2));
  WriteText(FrameFile(3), "BM0123456789");               // 12 bytes: short file header
  WriteText(FrameFile(4), std::string(60, 'X'));         // no "BM"
  WriteText(FrameFile(5), "BM" + std::string(40, '0'));  // 42 bytes: short information header
  WriteText(FrameFile(6), ReadText(FrameFile(6)).substr(0, 54 + 1000));
  std::filesystem::create_directory(FrameFile(61));  // a folder is no frame file

  const InFolder elsewhere(m_dir.Path());
  const CliResult result = RunExpecting(1, {"check", Root(), "1", "61"});
  EXPECT_EQ(result.out, FrameFile(2) + ": missing\n" + FrameFile(3) +
                            ": short header (12 of 54 bytes)\n" + FrameFile(4) +
                            ": bad signature (not \"BM\")\n" + FrameFile(5) +
                            ": short header (42 of 54 bytes)\n" + FrameFile(6) +
                            ": short pixel block (1000 of 230400 bytes)\n" + FrameFile(61) +
                            ": not a regular file (a folder)\n"
                            "frames 1 to 61: 61 checked, 55 fine, 1 missing, 1 unreadable, "
                            "1 bad signature, 2 short header, 1 short pixel block\n"
                            "truetracks.txt: not in the current folder; no track file checked\n");
}

// What the loader drops or stops at is a problem (status 1); disabled targets
// and a last frame with rows for only some targets are notes (status 0).
// The scan reads as the loader does: the targets it counts, the ones it finds
// disabled and where the rows end agree with what the loader keeps.
TEST_F(CheckCommand, TrackFileProblemsAreReportedAsTheLoaderReads) {
  using namespace std::string_literals;
  const auto rows = [](int count, const std::string& row) {
    std::string text;
    for (int i = 0; i < count; ++i)
      text += row;
    return text;
  };
  struct Case {
    std::string text;
    int status;
    std::vector<std::string> lines;  // lines of the report, after the file name
  };
  const std::vector<Case> cases = {
      {"51 0\n" + rows(51, "1 1\n"), 1, {"51 targets: only the first 50 are loaded"}},
      {"1 0\n" + rows(502, "5 5\n"),
       1,
       {"rows from frame 500 on are past frame 499 and are not loaded"}},
      // Exactly frames 0 to 499 are all loaded.
      {"1 0\n" + rows(500, "5 5\n"), 0, {"1 targets, rows for frames 0 to 499, 0 disabled"}},
      {"1 5\n1 2\n3 x\n4 5\n",
       1,
       {"line 3: 'x' is not an integer; the loader stops reading there",
        "1 targets, rows for frames 5 to 5"}},
      {"2 1\n1 2  3 4\n5\n", 1, {"the last row holds a single number and is dropped"}},
      {"1 -2\n1 1\n2 2\n3 3\n",
       1,
       {"rows of frames -2 to -1 lie before frame 0 and are not loaded"}},
      {"2 0\n1 1  1000 1\n1 1\n",
       0,
       {"note: target 1 is disabled at frame 0 (row 1000 1)\n",
        "note: frame 1 has rows for 1 of 2 targets\n",
        "2 targets, rows for frames 0 to 1, 1 disabled, 0 problems\n"}},
      {"0 0\n", 1, {"target count 0: the file describes no targets"}},
      {"", 1, {"no target count and first frame: the file describes no targets"}},
      {"1 0\n99999999999 1\n2 -99999999999\n",
       1,
       {"line 2: a number beyond the range of int; the loader reads the nearest int (2 such "
        "numbers)"}},
      // The loader reads characters, not words: "10-20" is the row 10 -20,
      // "12abc" a number and then an item that is not one.
      {"1 1\n10-20\n30 30\n", 0, {"1 targets, rows for frames 1 to 2, 0 disabled, 0 problems"}},
      {"1 1\n10 12abc\n", 1, {"line 2: 'abc' is not", "1 targets, rows for frames 1 to 1"}},
      {"1 1\n5 5\n6\0 6\n"s, 1, {"line 3: '\\x00' is not an integer"}},
      // Rows before frame 0 are not applied: they disable nothing.
      {"1 -1\n1000 1000\n5 5\n",
       1,
       {"rows of frame -1 lie before", "1 targets, rows for frames -1 to 0, 0 disabled"}},
      {"1 -2147483648\n1 1\n",
       1,
       {"rows of frame -2147483648 lie before frame 0 and are not loaded",
        "1 targets, rows for frames -2147483648 to -2147483648"}},
      {"1 2147483647\n1 1\n", 1, {"rows from frame 2147483647 on are past frame 499"}},
  };
  const std::string tracks = m_dir.File("t.txt");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text.substr(0, 40));
    WriteText(tracks, c.text);
    const CliResult result =
        RunExpecting(c.status, {"check", Root(), "0", "0", "--tracks", tracks});
    for (const std::string& line : c.lines)
      EXPECT_THAT(result.out, HasSubstr(tracks + ": " + line));

    const TrackFileReport report = ScanTrackText(c.text);
    CTrackSet loaded;
    const base::ScopedTraceSink quiet([](std::string_view) {});
    ASSERT_TRUE(loaded.LoadTrueTracksFrom(tracks.c_str()));
    EXPECT_EQ(std::clamp(report.targets, 0, 50), loaded.m_count);
    int disabled = 0;
    loaded.ForEachEnabledTrack([&disabled](int, const CTrack&) { --disabled; });
    EXPECT_EQ(report.disabledTargets, disabled + loaded.m_count);
  }
}

}  // namespace
