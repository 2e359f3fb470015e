// Every command that reads a file, given each kind of file it cannot use in
// each place it takes one: it fails at once (no wait on a FIFO, no endless
// read of a device) with status 1 and a message naming the file, the kind of
// fault and the system's reason. Empty and garbage files get an answer that
// says what is wrong with them.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <functional>

#include "CliTestSupport.h"
#include "base/InputFile.h"
#include "image/SeriesFrames.h"
#include "support/TempDir.h"

using namespace cli_test;

namespace {

class HostileInput : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(RunInProcess({"sample", m_series.Path().string()}).status, 0);
    WriteText(m_dir.File("path.txt"), "10 0 0\n");
  }

  // Where a command takes a file: the arguments with the file in its place,
  // and whether a fault of it is a failure (on err) or a line of the report.
  struct Place {
    std::string name;
    std::function<std::vector<std::string>(const std::string&)> args;
    bool reported = false;
  };
  std::vector<Place> Places() const {
    const std::string tracks = m_series.File("truetracks.txt");
    const std::string path = m_dir.File("path.txt");
    const std::string root = m_series.File("take9");
    return {
        {"check",
         [=](const std::string& f) { return Args{"check", root, "0", "0", "--tracks", f}; }},
        {"score",
         [=](const std::string& f) {
           return Args{"score", f, path, "0", "5"};
         }},
        {"score",
         [=](const std::string& f) {
           return Args{"score", tracks, f, "0", "5"};
         }},
        {"near", [=](const std::string& f) { return Args{"near", f, "1", "1", "10", "5"}; }},
        // The frame file: check names the file as ROOT_0000.bmp.
        {"check",
         [=](const std::string& f) {
           return Args{"check", f.substr(0, f.size() - 9), "0", "0"};
         },
         true},
    };
  }
  using Args = std::vector<std::string>;

  TempDir m_series;
  TempDir m_dir;
};

TEST_F(HostileInput, AFileThatCannotBeUsedIsNamedWithItsFault) {
  const auto link = [](const char* target) {
    return [target](const std::string& f) { std::filesystem::create_symlink(target, f); };
  };
  struct Kind {
    std::string name;
    std::function<void(const std::string&)> make;
    std::string fault;
  };
  const std::vector<Kind> kinds = {
      {"missing", [](const std::string&) {}, "missing"},
      {"folder", [](const std::string& f) { std::filesystem::create_directory(f); },
       "not a regular file (a folder)"},
      {"FIFO", [](const std::string& f) { ASSERT_EQ(::mkfifo(f.c_str(), 0600), 0); },
       "not a regular file (a FIFO)"},
      {"device", link("/dev/zero"), "not a regular file (a character device)"},
      {"read error", link("/proc/self/mem"), "read error (Input/output error)"},
      {"too large",
       [](const std::string& f) {
         WriteText(f, "1 0\n");
         std::filesystem::resize_file(f, base::kMaxTextFileBytes + 1);
       },
       "larger than 16777216 bytes; not read"},
      {"permission denied",
       [](const std::string& f) {
         WriteText(f, "1 0\n1 1\n");
         ::chmod(f.c_str(), 0);
       },
       "permission denied"},
  };
  int serial = 0;
  for (const Kind& kind : kinds) {
    // The owner of every permission is not refused any.
    if (kind.name == "permission denied" && ::geteuid() == 0)
      continue;
    for (const Place& place : Places()) {
      // A frame file is read only as far as a frame goes.
      if (kind.name == "too large" && place.reported)
        continue;
      const std::string file =
          series::FrameFileName(m_dir.File("in" + std::to_string(serial++)), 0);
      SCOPED_TRACE(kind.name + " for " + ::testing::PrintToString(place.args("FILE")));
      kind.make(file);
      const CliResult result = RunInProcess(place.args(file));
      EXPECT_EQ(result.status, 1);
      const std::string line = file + ": " + kind.fault + "\n";
      if (place.reported) {
        EXPECT_NE(result.out.find(line), std::string::npos) << result.out;
      } else {
        EXPECT_EQ(result.err, "korvane-cli " + place.name + ": " + line);
        EXPECT_EQ(result.out, "");
      }
    }
  }
}

// Empty and garbage files are read, and what is wrong with them said: a
// track file without targets is a warning for score and near, a problem for
// check; a measured path of garbage is a bad line; a frame file of either is
// a short header. Bytes that would drive the terminal are never echoed.
TEST_F(HostileInput, EmptyAndGarbageFilesAreAnsweredPlainly) {
  using namespace std::string_literals;
  const std::string garbage = "\x1b[2J\x07\x00 rm -rf\n"s;
  struct Case {
    std::string text;
    std::size_t place;  // index into Places()
    int status;
    std::string said;  // after the file's name, on either stream
  };
  const std::string noTargets =
      ": no targets (the file does not begin with a target count above 0 and a first frame)\n";
  const std::vector<Case> cases = {
      {"", 0, 1, ": no target count and first frame: the file describes no targets\n"},
      {garbage, 0, 1, ": line 1: '\\x1B[2J\\x07\\x00' is not an integer"},
      {"", 1, 0, noTargets},
      {garbage, 1, 0, noTargets},
      {"", 2, 0, ""},
      {garbage, 2, 1, ":1: expected three integers 'frame x y'\n"},
      {"", 3, 0, noTargets},
      {garbage, 3, 0, noTargets},
      {"", 4, 1, ": short header (0 of 54 bytes)\n"},
      {garbage, 4, 1, ": bad signature (not \"BM\")\n"},
  };
  int serial = 0;
  for (const Case& c : cases) {
    const Place place = Places()[c.place];
    const std::string file = series::FrameFileName(m_dir.File("in" + std::to_string(serial++)), 0);
    WriteText(file, c.text);
    SCOPED_TRACE(::testing::PrintToString(place.args(c.text)));
    const CliResult result = RunInProcess(place.args(file));
    EXPECT_EQ(result.status, c.status);
    const std::string said = result.out + result.err;
    if (!c.said.empty()) {
      EXPECT_NE(said.find(file + c.said), std::string::npos) << said;
    }
    EXPECT_EQ(said.find('\x1b'), std::string::npos);
  }
}

}  // namespace
