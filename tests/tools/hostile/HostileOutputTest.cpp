// Where the commands write, named in hostile ways: an output that is one of
// the inputs under another name (a hard link, a symbolic link, a bind mount)
// is refused with the input untouched; empty roots are usage errors; every
// name the system takes is written, whatever the temporary suffix; and a
// command that fails takes away the folders it made.

#include <gtest/gtest.h>
#include <sys/mount.h>
#include <unistd.h>

#include <QImage>
#include <cstring>
#include <filesystem>

#include "CliTestSupport.h"
#include "image/SeriesFrames.h"

using namespace cli_test;

namespace {

class HostileOutput : public SampleSeriesTest {
 protected:
  void SetUp() override {
    SampleSeriesTest::SetUp();
    ASSERT_EQ(RunInProcess({"import", m_series.Path().string(), m_dir.File("s")}).status, 0);
    WriteText(m_dir.File("gt.txt"), "1,1,10,10,5,5\n");
    WriteText(m_dir.File("hyp.txt"), "0,1,5,5\n");
  }
};

// A hard link of the input is the input: each command that writes is given
// one as its output, and refuses it.
TEST_F(HostileOutput, AnOutputThatIsAnInputByAnotherNameIsRefused) {
  const std::string geometry = m_dir.File("s.geometry");
  struct Case {
    std::string input;  // the file linked as the output
    std::string output;
    Args args;
    std::string why;  // after "refuses to write OUTPUT"
  };
  const std::string gt = m_dir.File("gt.txt");
  const std::string hyp = m_dir.File("hyp.txt");
  const std::string out = m_dir.File("out");
  const std::string linkedGeometry = m_dir.File("linked.geometry");
  const std::string video = m_dir.File("v.mkv");
  const std::string frameOut = series::FrameFileName(out, 2);
  const std::string over = " over its input";
  const std::string read = ": it is one of the files read";
  const std::vector<Case> cases = {
      // The geometry read is no place for the track file made through it.
      {geometry, geometry, {"mot2tracks", gt, geometry, "--geometry", geometry}, over},
      {geometry, linkedGeometry, {"mot2tracks", gt, linkedGeometry, "--geometry", geometry}, over},
      {geometry,
       linkedGeometry,
       {"tracks2mot", Tracks(), linkedGeometry, "--geometry", geometry},
       over},
      {Tracks(), m_dir.File("t.txt"), {"tracks2mot", Tracks(), m_dir.File("t.txt")}, over},
      {hyp, video, {"render", Root(), "0", "5", "--video", video, "--hypotheses", hyp}, read},
      {FrameFile(3), video, {"render", Root(), "0", "5", "--video", video}, read},
      {Tracks(),
       frameOut,
       {"render", Root(), "0", "5", out, "--markers", "--tracks", Tracks()},
       read},
      {FrameFile(2), frameOut, {"render", Root(), "0", "5", out}, read},
      {FrameFile(4),
       m_dir.File("i_0000.bmp"),
       {"import", m_series.File("take9_%04d.bmp"), m_dir.File("i"), "--first", "4"},
       ": it is one of the sources"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.args));
    const std::string before = ReadText(c.input);
    if (c.output != c.input)
      std::filesystem::create_hard_link(c.input, c.output);
    const CliResult result = RunExpecting(1, c.args);
    EXPECT_EQ(result.err,
              "korvane-cli " + c.args[0] + ": refuses to write " + c.output + c.why + "\n");
    EXPECT_EQ(ReadText(c.input), before);
    EXPECT_EQ(std::filesystem::hard_link_count(c.input), c.output != c.input ? 2u : 1u)
        << "the link is not replaced either";
    if (c.output != c.input)
      std::filesystem::remove(c.output);
  }
}

// The output folder is the input folder under another name: a symbolic link
// of it, and (where the test may mount) a bind mount of it. import --crop
// and render would otherwise replace the frames they read.
TEST_F(HostileOutput, AnOutputFolderThatIsTheInputFolderIsRefused) {
  const std::string frame = ReadText(FrameFile(0));
  const auto refused = [&](const std::filesystem::path& alias) {
    const std::string outRoot = (alias / "take9").string();
    const CliResult import =
        RunExpecting(1, {"import", m_series.Path().string(), outRoot, "--crop", "0,0,100,100"});
    EXPECT_EQ(import.err, "korvane-cli import: refuses to write " +
                              series::FrameFileName(outRoot, 0) + ": it is one of the sources\n");
    const CliResult render = RunExpecting(1, {"render", Root(), "0", "5", outRoot, "--trails"});
    EXPECT_THAT(render.err, HasSubstr("is the series being read"));
    EXPECT_EQ(ReadText(FrameFile(0)), frame);
    EXPECT_EQ(FilesIn(m_series.Path()).size(), 62u);
  };
  const std::filesystem::path link = m_dir.Path() / "link";
  std::filesystem::create_directory_symlink(m_series.Path(), link);
  refused(link);

  const std::filesystem::path mounted = m_dir.Path() / "mounted";
  std::filesystem::create_directory(mounted);
  if (::mount(m_series.Path().c_str(), mounted.c_str(), nullptr, MS_BIND, nullptr) != 0)
    GTEST_SKIP() << "no bind mount here: " << std::strerror(errno);
  // Taken away on every way out, before the folders are removed.
  const struct Unmount {
    const std::filesystem::path& at;
    ~Unmount() { ::umount2(at.c_str(), MNT_DETACH); }
  } unmount{mounted};
  refused(mounted);
}

// "" or a root that ends in a folder would name "_0000.bmp" and ".geometry"
// in the current folder: a usage error, nothing written.
TEST_F(HostileOutput, EmptyRootsAndNamesAreUsageErrors) {
  const TempDir cwd;
  const InFolder in(cwd.Path());
  const std::string pictures = m_series.Path().string();
  const std::vector<Args> cases = {
      {"import", pictures, ""},
      {"import", pictures, "out/"},
      {"import", "", "out"},
      {"render", Root(), "0", "5", ""},
      {"render", Root(), "0", "5", "out/"},
      {"render", "", "0", "5", "out"},
      {"render", Root(), "0", "5", "--video", ""},
      {"render", Root(), "0", "5", "out", "--markers", "--tracks", ""},
      {"check", "", "0", "5"},
      {"check", m_series.Path().string() + "/", "0", "5"},
      {"sample", ""},
      {"mot2tracks", m_dir.File("gt.txt"), ""},
      {"mot2tracks", m_dir.File("gt.txt"), "out", "--geometry", ""},
      {"tracks2mot", Tracks(), ""},
      {"evaluate", Tracks(), "", "--threshold", "5"},
      {"score", "", Tracks(), "0", "5"},
  };
  for (const Args& args : cases)
    ExpectUsageError(args);
  EXPECT_TRUE(FilesIn(cwd.Path()).empty());
}

// A name of the longest length a file name may have is written: the
// temporary file beside it is named within the limit too.
TEST_F(HostileOutput, TheLongestLegalNameIsWritten) {
  // 246 bytes and "_0000.bmp": a 255-byte frame name; ".geometry" is shorter.
  const std::string root = m_dir.File(std::string(246, 'r'));
  const CliResult import = RunExpecting(0, {"import", m_series.File("take9_%04d.bmp"), root});
  EXPECT_EQ(ReadText(series::FrameFileName(root, 60)), ReadText(FrameFile(60)));
  const std::string rendered = m_dir.File(std::string(246, 'u'));
  const CliResult render = RunExpecting(0, {"render", Root(), "0", "1", rendered});
  EXPECT_EQ(ReadText(series::FrameFileName(rendered, 1)), ReadText(FrameFile(1)));
  const std::string out = m_dir.File(std::string(255, 't'));
  const CliResult mot = RunExpecting(0, {"mot2tracks", m_dir.File("gt.txt"), out});
  EXPECT_EQ(ReadText(out), "1 1\n13 13\n");
  for (const std::string& name : FilesIn(m_dir.Path()))
    EXPECT_EQ(name.find(".tmp-"), std::string::npos) << name;
}

// A run that fails before its first file is whole leaves no folder it made:
// a first picture that does not decode, a disk that takes no frame.
TEST_F(HostileOutput, AFailedRunLeavesNoFolderItMade) {
  const TempDir cwd;
  // Its header gives a size; its pixels are cut off.
  ASSERT_TRUE(
      QImage(40, 30, QImage::Format_RGB888).save(QString::fromStdString(cwd.File("bad_1.png"))));
  WriteText(cwd.File("bad_1.png"), ReadText(cwd.File("bad_1.png")).substr(0, 60));
  const CliResult undecodable =
      RunExpecting(1, {"import", cwd.File("bad_%d.png"), cwd.File("made/deep/out")});
  // A frame is larger than 100000 bytes, a geometry file far smaller.
  const CliResult sample = RunProgramOnFullDisk({"sample", "made/sample"}, cwd.Path(), 100000);
  EXPECT_EQ(sample.status, 1);
  EXPECT_THAT(sample.err, HasSubstr("File too large"));
  const CliResult import = RunProgramOnFullDisk(
      {"import", m_series.File("take9_%04d.bmp"), "made/import/out"}, cwd.Path(), 100000);
  EXPECT_EQ(import.status, 1);
  EXPECT_THAT(import.err, HasSubstr("File too large; no frame was written"));
  const CliResult render =
      RunProgramOnFullDisk({"render", Root(), "0", "3", "made/render/out"}, cwd.Path(), 100000);
  EXPECT_EQ(render.status, 1);
  const std::string video = m_dir.File("v.mkv");
  ASSERT_EQ(RunInProcess({"render", Root(), "0", "3", "--video", video}).status, 0);
  const CliResult fromVideo =
      RunProgramOnFullDisk({"import", video, "made/video/out"}, cwd.Path(), 100000);
  EXPECT_EQ(fromVideo.status, 1);
  EXPECT_THAT(fromVideo.err, HasSubstr("File too large; no frame was written"));
  EXPECT_EQ(FilesIn(cwd.Path()), std::vector<std::string>{"bad_1.png"});
}

}  // namespace
