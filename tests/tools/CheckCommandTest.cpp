// korvane-cli check: frame files as the player reads them and the track file
// as the loader reads it.

#include <gtest/gtest.h>

#include "CliTestSupport.h"
#include "support/TempDir.h"

using namespace cli_test;

namespace {

class CheckCommand : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(RunInProcess({"sample", m_dir.Path().string()}).status, 0); }
  std::string Root() const { return m_dir.FilePath("take9"); }
  std::string Name(int frame) const {
    char number[16];
    std::snprintf(number, sizeof number, "_%04d.bmp", frame);
    return Root() + number;
  }
  TempDir m_dir;
  TempDir m_other;
};

TEST_F(CheckCommand, TheSampleSeriesIsWellWithANoteForTheDisabledTarget) {
  const InFolder inSeries(m_dir.Path());
  const CliResult result = RunInProcess({"check", Root(), "0", "60"});
  EXPECT_EQ(result.status, 0) << result.out;
  EXPECT_EQ(result.err, "");
  EXPECT_EQ(result.out,
            "frames 0 to 60: 61 checked, 61 fine, 0 missing, 0 bad signature, 0 short header, "
            "0 short pixel block\n"
            "truetracks.txt: note: target 3 is disabled at frame 20 (row 1000 1000)\n"
            "truetracks.txt: 4 targets, rows for frames 0 to 60, 1 disabled, 0 problems\n");
}

TEST_F(CheckCommand, EachFaultOfAFrameFileIsReported) {
  std::filesystem::remove(Name(2));
  WriteText(Name(3), "BM0123456789");               // 12 bytes: short file header
  WriteText(Name(4), std::string(60, 'X'));         // no "BM"
  WriteText(Name(5), "BM" + std::string(40, '0'));  // 42 bytes: short information header
  WriteText(Name(6), ReadText(Name(6)).substr(0, 54 + 1000));
  std::filesystem::create_directory(Name(61));  // a folder is no frame file

  const InFolder elsewhere(m_other.Path());
  const CliResult result = RunInProcess({"check", Root(), "1", "61"});
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.out, Name(2) + ": missing\n" + Name(3) + ": short header (12 of 54 bytes)\n" +
                            Name(4) + ": bad signature (not \"BM\")\n" + Name(5) +
                            ": short header (42 of 54 bytes)\n" + Name(6) +
                            ": short pixel block (1000 of 230400 bytes)\n" + Name(61) +
                            ": missing\n"
                            "frames 1 to 61: 61 checked, 55 fine, 2 missing, 1 bad signature, "
                            "2 short header, 1 short pixel block\n"
                            "truetracks.txt: not in the current folder; no track file checked\n");
}

TEST_F(CheckCommand, TrackFileProblemsAreReported) {
  const std::string tracks = m_other.FilePath("t.txt");
  const auto check = [&](const std::string& text) {
    WriteText(tracks, text);
    return RunInProcess({"check", Root(), "0", "0", "--tracks", tracks});
  };
  std::string rows51;
  for (int i = 0; i < 51; ++i)
    rows51 += "1 1\n";
  CliResult result = check("51 0\n" + rows51);
  EXPECT_EQ(result.status, 1);
  EXPECT_NE(result.out.find(tracks + ": 51 targets: only the first 50 are loaded\n"),
            std::string::npos)
      << result.out;

  std::string rows502;
  for (int i = 0; i < 502; ++i)
    rows502 += "5 5\n";
  result = check("1 0\n" + rows502);
  EXPECT_EQ(result.status, 1);
  EXPECT_NE(result.out.find(tracks + ": rows from frame 500 on are past frame 499 and are not "
                                     "loaded\n"),
            std::string::npos)
      << result.out;
  // Exactly frames 0 to 499 are all loaded.
  rows502.resize(500 * 4);
  EXPECT_EQ(check("1 0\n" + rows502).status, 0);

  result = check("1 5\n1 2\n3 x\n4 5\n");
  EXPECT_NE(result.out.find(tracks + ": line 3: 'x' is not an integer; the loader stops reading "
                                     "there\n"),
            std::string::npos)
      << result.out;
  EXPECT_NE(result.out.find("rows for frames 5 to 5"), std::string::npos);

  result = check("2 1\n1 2  3 4\n5\n");
  EXPECT_NE(result.out.find(tracks + ": the last row holds a single number and is dropped\n"),
            std::string::npos);

  result = check("1 -2\n1 1\n2 2\n3 3\n");
  EXPECT_NE(result.out.find(tracks + ": rows of frames -2 to -1 lie before frame 0 and are not "
                                     "loaded\n"),
            std::string::npos)
      << result.out;

  result = check("2 0\n1 1  1000 1\n1 1\n");
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.out.substr(result.out.find('\n') + 1),
            tracks + ": note: target 1 is disabled at frame 0 (row 1000 1)\n" + tracks +
                ": note: frame 1 has rows for 1 of 2 targets\n" + tracks +
                ": 2 targets, rows for frames 0 to 1, 1 disabled, 0 problems\n");

  result = check("0 0\n");
  EXPECT_EQ(result.status, 1);
  EXPECT_NE(result.out.find("target count 0: the file describes no targets"), std::string::npos);
  result = check("");
  EXPECT_EQ(result.status, 1);
  result = check("1 0\n99999999999 1\n");
  EXPECT_NE(result.out.find("99999999999 is out of range; the loader reads it as 2147483647"),
            std::string::npos);
}

TEST_F(CheckCommand, UsageErrorsAndAMissingTrackFile) {
  const std::vector<std::vector<std::string>> cases = {
      {"check"},
      {"check", Root(), "0"},
      {"check", Root(), "5", "4"},
      {"check", Root(), "-1", "4"},
      {"check", Root(), "0", "100000"},
      // Counting one past the last frame would overflow: refused, not looped.
      {"check", Root(), "2147483647", "2147483647"},
      {"check", Root(), "0", "4", "--tracks"},
      {"check", Root(), "0", "4", "--markers"},
  };
  for (const auto& args : cases) {
    const CliResult result = RunInProcess(args);
    EXPECT_EQ(result.status, 2);
    EXPECT_NE(result.err.find("usage: korvane-cli check ROOT FIRST LAST [--tracks FILE]\n"),
              std::string::npos);
  }
  const std::string none = m_other.FilePath("none.txt");
  const CliResult result = RunProgram({"check", Root(), "0", "4", "--tracks", none});
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.err, "korvane-cli check: " + none + ": cannot be opened\n");
  EXPECT_EQ(result.out, "");
}

}  // namespace
