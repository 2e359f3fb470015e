// Text inputs with hostile or merely unusual bytes, in every command that
// reads them: bytes that would drive a terminal are quoted escaped, a UTF-8
// byte order mark at the start of a file is read past, and a geometry that
// maps a track file's positions to rows no reader takes is refused, or the
// rows it leaves out are counted.

#include <gtest/gtest.h>

#include <climits>

#include "CliTestSupport.h"

using namespace cli_test;
using namespace std::string_literals;

namespace {

class HostileText : public SampleSeriesTest {
 protected:
  void SetUp() override {
    SampleSeriesTest::SetUp();
    WriteText(m_dir.File("gt.txt"), "1,1,10,10,5,5\n2,1,12,10,5,5\n");
    WriteText(m_dir.File("path.txt"), "10 60 70\n");
    WriteText(m_dir.File("s.geometry"), kGeometry);
  }

  // A 640 x 480 source fitted into the frame, as import records it.
  static constexpr const char* kGeometry =
      "source 640 480\ncrop 0 0 640 480\nscaled 320 240\nscale 0.5 0.5\noffset 0 0\n"
      "first_frame 0\nfirst_source 1\n";

  std::string Out() const { return m_dir.File("out.txt"); }
  std::string Gt() const { return m_dir.File("gt.txt"); }
};

// Whether text holds a byte below space other than a line end, or DEL and
// above: what would reach a terminal as a control.
bool HoldsControlBytes(const std::string& text) {
  return std::any_of(text.begin(), text.end(), [](char c) {
    const auto byte = static_cast<unsigned char>(c);
    return (byte < 0x20 && byte != '\n') || byte >= 0x7f;
  });
}

TEST_F(HostileText, BytesQuotedFromAnInputNeverReachTheTerminalRaw) {
  const std::string mot = "1,1,\x1b[31m,10,5,5\n";
  const std::string geometry = "source 1 1\n\x1b]0;title\x07 1\n";
  struct Case {
    Args args;  // "@" where the file goes
    std::string text;
    std::string quoted;  // how the bad field shows in the message
  };
  const std::vector<Case> cases = {
      {{"mot2tracks", "@", Out()}, mot, "'\\x1B[31m'"},
      {{"evaluate", Tracks(), "@", "--threshold", "5", "--hyp-format", "mot"}, mot, "'\\x1B[31m'"},
      {{"evaluate", Tracks(), "@", "--threshold", "5"}, "0,\x07,5,5\n", "id '\\x07'"},
      {{"evaluate", Tracks(), "@", "--threshold", "5"}, "\x1b[2J,1,5,5\n", "frame '\\x1B[2J'"},
      {{"render", Root(), "0", "0", m_dir.File("o"), "--hypotheses", "@"},
       "0,1,\x1b[5m,5\n",
       "'\\x1B[5m'"},
      {{"mot2tracks", Gt(), Out(), "--geometry", "@"}, geometry, "'\\x1B]0;title\\x07'"},
      {{"tracks2mot", Tracks(), Out(), "--geometry", "@"}, geometry, "'\\x1B]0;title\\x07'"},
      {{"evaluate", Tracks(), Gt(), "--threshold", "5", "--hyp-format", "mot", "--geometry", "@"},
       geometry,
       "'\\x1B]0;title\\x07'"},
      {{"check", Root(), "0", "0", "--tracks", "@"}, "\x1b[2J\x07\n", "'\\x1B[2J\\x07'"},
  };
  int serial = 0;
  for (const Case& c : cases) {
    const std::string file = m_dir.File("bad" + std::to_string(serial++));
    WriteText(file, c.text);
    SCOPED_TRACE(::testing::PrintToString(c.args));
    const CliResult result = RunExpecting(1, With(c.args, file));
    EXPECT_FALSE(HoldsControlBytes(result.out + result.err)) << result.out << result.err;
    EXPECT_THAT(result.out + result.err, HasSubstr(c.quoted));
  }
}

// The same file with a byte order mark in front gives the same answer and
// the same output, in every command and every layout.
TEST_F(HostileText, AByteOrderMarkAtTheStartOfAFileIsReadPast) {
  const std::string tracks = ReadText(Tracks());
  struct Case {
    Args args;  // "@" where the file goes
    std::string text;
    int status = 0;
  };
  const std::string path = m_dir.File("path.txt");
  const std::vector<Case> cases = {
      {{"mot2tracks", "@", Out()}, "1,1,10,10,5,5\n# a comment\n2 1 12 10 5 5\n"},
      // Files in the wrong layout are named as such all the same.
      {{"evaluate", Tracks(), "@", "--threshold", "5"}, "600,1,19,56,10,10\n", 1},
      {{"tracks2mot", "@", Out()}, "1,1,19,56,10,10\n", 1},
      {{"mot2tracks", Gt(), Out(), "--geometry", "@"}, kGeometry},
      {{"evaluate", Tracks(), "@", "--threshold", "5"}, "1,1,24,61\n2,1,28,62\n"},
      {{"evaluate", Tracks(), "@", "--threshold", "5", "--hyp-format", "mot"}, "1,1,19,56,10,10\n"},
      {{"evaluate", "@", Gt(), "--threshold", "5", "--hyp-format", "mot"}, tracks},
      {{"score", "@", path, "0", "20"}, tracks},
      {{"score", Tracks(), "@", "0", "20"}, "10 60 70\n"},
      {{"near", "@", "1", "1", "25", "5"}, tracks},
      {{"check", Root(), "0", "0", "--tracks", "@"}, tracks},
      {{"tracks2mot", "@", Out()}, tracks},
  };
  int serial = 0;
  for (const Case& c : cases) {
    const std::string file = m_dir.File("text" + std::to_string(serial++));
    SCOPED_TRACE(::testing::PrintToString(c.args));
    WriteText(file, c.text);
    const CliResult plain = RunInProcess(With(c.args, file));
    const std::string plainOut = ReadText(Out());
    WriteText(file, "\xEF\xBB\xBF" + c.text);
    const CliResult marked = RunInProcess(With(c.args, file));
    EXPECT_EQ(plain.status, c.status) << plain.err;
    EXPECT_EQ(marked.status, plain.status);
    EXPECT_EQ(marked.out, plain.out);
    EXPECT_EQ(marked.err, plain.err);
    EXPECT_EQ(ReadText(Out()), plainOut);
    std::filesystem::remove(Out());
  }
}

// tracks2mot maps frame positions back through the geometry: a scale so
// small that dividing by it overflows gives no number, a source number
// beyond int no frame. Boxes that are not numbers, or no row at all, fail
// the command with nothing written; rows left out are counted.
TEST_F(HostileText, AGeometryThatPlacesNoUsableRowIsRefusedOrCounted) {
  const CliResult all = RunInProcess({"tracks2mot", Tracks(), Out()});
  ASSERT_EQ(all.status, 0);
  ASSERT_EQ(all.out.substr(0, all.out.find(" rows")), "tracks2mot: 178");
  // The geometry with some lines replaced, and tracks2mot through it into
  // NAME.txt.
  const auto withGeometry = [&](const std::string& name,
                                const std::vector<std::pair<std::string, std::string>>& lines) {
    std::string text = kGeometry;
    for (const auto& [from, to] : lines)
      text.replace(text.find(from), from.size(), to);
    WriteText(m_dir.File(name), text);
    return RunInProcess(
        {"tracks2mot", Tracks(), m_dir.File(name + ".txt"), "--geometry", m_dir.File(name)});
  };

  const CliResult tiny = withGeometry("tiny.geometry", {{"scale 0.5 0.5", "scale 1e-310 1e-310"}});
  EXPECT_EQ(tiny.status, 1);
  EXPECT_EQ(tiny.err, "korvane-cli tracks2mot: 178 of the 178 positions of " + Tracks() +
                          " through " + m_dir.File("tiny.geometry") +
                          " map to boxes that are not finite numbers (the scale is too small); "
                          "nothing is written\n");
  EXPECT_FALSE(std::filesystem::exists(m_dir.File("tiny.geometry.txt")));

  // Frames 21 on pass the last source number an int holds.
  const CliResult late = withGeometry(
      "late.geometry", {{"first_source 1", "first_source " + std::to_string(INT_MAX - 20)}});
  EXPECT_EQ(late.status, 0);
  const std::string written = ReadText(m_dir.File("late.geometry.txt"));
  const auto rows = static_cast<int>(std::count(written.begin(), written.end(), '\n'));
  EXPECT_GT(rows, 0);
  EXPECT_LT(rows, 178);
  EXPECT_EQ(late.out, "tracks2mot: " + std::to_string(rows) + " rows of 4 targets, written to " +
                          m_dir.File("late.geometry.txt") + "\n");
  EXPECT_EQ(late.err, "korvane-cli tracks2mot: warning: " + std::to_string(178 - rows) +
                          " of the 178 positions of " + Tracks() + " through " +
                          m_dir.File("late.geometry") +
                          " map to source frame numbers beyond int (first_frame, first_source) "
                          "and are left out\n");
  EXPECT_EQ(written.find("\n-"), std::string::npos) << "no number wrapped round";

  const CliResult none = withGeometry(
      "none.geometry", {{"first_frame 0", "first_frame -5"},
                        {"first_source 1", "first_source " + std::to_string(INT_MAX)}});
  EXPECT_EQ(none.status, 1);
  EXPECT_EQ(none.err, "korvane-cli tracks2mot: all of the 178 positions of " + Tracks() +
                          " through " + m_dir.File("none.geometry") +
                          " map to source frame numbers beyond int (first_frame, first_source); "
                          "nothing is written\n");
  EXPECT_FALSE(std::filesystem::exists(m_dir.File("none.geometry.txt")));
}

}  // namespace
