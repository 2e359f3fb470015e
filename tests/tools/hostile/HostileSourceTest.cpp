// import's sources named in every way the system takes: names that are not
// UTF-8 and percent signs in a pattern's folder are read; a pattern that
// meets a file that is no regular file among its numbers says so instead of
// ending the series there without a word.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "CliTestSupport.h"
#include "image/SeriesFrames.h"

using namespace cli_test;

namespace {

class HostileSource : public SampleSeriesTest {
 protected:
  // Sample frame `frame` (a 320 x 240 picture) copied to path.
  void Picture(const std::filesystem::path& path, int frame) const {
    std::filesystem::create_directories(path.parent_path());
    std::filesystem::copy_file(FrameFile(frame), path);
  }
  // The pixels the import wrote for its frame `frame` equal sample frame
  // `source`'s: a 320 x 240 picture is taken as it is.
  void ExpectFrame(const std::string& outRoot, int frame, int source) const {
    EXPECT_TRUE(ReadFrame(series::FrameFileName(outRoot, frame)).pixels ==
                ReadFrame(FrameFile(source)).pixels)
        << outRoot << " frame " << frame;
  }
};

TEST_F(HostileSource, EveryNameTheSystemTakesIsRead) {
  const std::filesystem::path dir = m_dir.Path();
  // Names that are not UTF-8, in a folder and by a pattern.
  Picture(dir / "latin" / "a\xE9t\xE9_1.bmp", 3);
  Picture(dir / "latin" / "\xFF\xFE_2.bmp", 5);
  const CliResult folder = RunExpecting(0, {"import", (dir / "latin").string(), m_dir.File("f")});
  ExpectFrame(m_dir.File("f"), 0, 3);
  ExpectFrame(m_dir.File("f"), 1, 5);
  Picture(dir / "\xFF" /
              "\xFF"
              "1.bmp",
          7);
  Picture(dir / "\xFF" /
              "\xFF"
              "2.bmp",
          8);
  const CliResult pattern =
      RunExpecting(0, {"import", (dir / "\xFF" / "\xFF%d.bmp").string(), m_dir.File("p")});
  ExpectFrame(m_dir.File("p"), 0, 7);
  ExpectFrame(m_dir.File("p"), 1, 8);

  // "%%" is a percent sign in the folder as in the name.
  Picture(dir / "100%" / "x%_1.bmp", 9);
  Picture(dir / "100%" / "x%_2.bmp", 10);
  const CliResult percent =
      RunExpecting(0, {"import", m_dir.File("100%%/x%%_%d.bmp"), m_dir.File("c")});
  EXPECT_EQ(percent.out, "import: wrote 2 frames, " + m_dir.File("c_0000.bmp") + " to " +
                             m_dir.File("c_0001.bmp") + ", and " + m_dir.File("c.geometry") + "\n");
  ExpectFrame(m_dir.File("c"), 1, 10);
  // A conversion is still no part of a folder.
  const CliResult inFolder =
      RunExpecting(2, {"import", m_dir.File("%d/x_%d.bmp"), m_dir.File("d")});
  EXPECT_THAT(inFolder.err, HasSubstr("must be in the file name, not in a folder"));
}

TEST_F(HostileSource, APatternThatMeetsAFileThatIsNoRegularFileSaysSo) {
  struct Kind {
    std::string name;
    std::function<void(const std::string&)> make;
    std::string fault;
  };
  const std::vector<Kind> kinds = {
      {"FIFO", [](const std::string& f) { ASSERT_EQ(::mkfifo(f.c_str(), 0600), 0); },
       "not a regular file (a FIFO)"},
      {"folder", [](const std::string& f) { std::filesystem::create_directory(f); },
       "not a regular file (a folder)"},
      {"device", [](const std::string& f) { std::filesystem::create_symlink("/dev/null", f); },
       "not a regular file (a character device)"},
  };
  for (const Kind& kind : kinds) {
    SCOPED_TRACE(kind.name);
    const TempDir source;
    const TempDir output;
    for (int number = 0; number < 6; ++number) {
      if (number != 3)
        Picture(source.Path() / test_files::NumberedName("f", number, ".bmp"), number);
    }
    const std::string third = source.File("f3.bmp");
    kind.make(third);
    // Before, the series ended at the FIFO, three frames written, status 0.
    const CliResult result =
        RunExpecting(1, {"import", source.File("f%d.bmp"), output.File("out")});
    EXPECT_EQ(result.err, "korvane-cli import: " + third + ": " + kind.fault + "\n");
    EXPECT_TRUE(FilesIn(output.Path()).empty());
  }
}

}  // namespace
