// Every command that reads a file, given each kind of file it cannot use in
// each place it takes one: it fails at once (no wait on a FIFO, no endless
// read of a device) with status 1 and a message naming the file, the kind of
// fault in the same words everywhere and the system's reason. Empty and
// garbage files get an answer that says what is wrong with them.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QImage>
#include <QImageWriter>
#include <algorithm>
#include <filesystem>
#include <functional>
#include <random>

#include "CliTestSupport.h"
#include "base/InputFile.h"
#include "image/SeriesFrames.h"
#include "support/VideoFiles.h"

using namespace cli_test;

namespace {

class HostileInput : public SampleSeriesTest {
 protected:
  void SetUp() override {
    SampleSeriesTest::SetUp();
    WriteText(m_dir.File("path.txt"), "10 0 0\n");
    WriteText(m_dir.File("gt.txt"), "1,1,10,10,5,5\n");
    WriteText(m_dir.File("hyp.txt"), "0,1,5,5\n");
  }

  // How a command answers a file it cannot use: a failure (the line on err),
  // a line of its report (out), or a frame it skips (err, "; not shown").
  enum class Answer { Failure, Report, Skipped };
  // Where a command takes a file: the arguments with "@" in its place (the
  // file's series root in place of a frame file, when `root`), how the fault
  // is answered, the kinds of fault that do not apply there, and whether the
  // message is the line alone or goes on after it.
  struct Place {
    Args args;
    Answer answer = Answer::Failure;
    std::vector<std::string> skip = {};
    bool exact = true;
    std::string ending = "_0000.bmp";  // of the file's name
    bool root = false;

    Args For(const std::string& file) const {
      return With(args, root ? file.substr(0, file.size() - ending.size()) : file);
    }
  };
  std::vector<Place> Places() const {
    const std::string path = m_dir.File("path.txt");
    const std::string gt = m_dir.File("gt.txt");
    const std::string hyp = m_dir.File("hyp.txt");
    const std::string out = m_dir.File("out");
    // Files read up to their own bound (MOT rows, hypotheses: 256 MiB, a
    // geometry: its own words) are not made too large here; frame files
    // are read only as far as a frame goes.
    const std::vector<std::string> ownBound{"too large"};
    const Answer failure = Answer::Failure;
    return {
        {{"check", Root(), "0", "0", "--tracks", "@"}},
        {{"score", "@", path, "0", "5"}},
        {{"score", Tracks(), "@", "0", "5"}},
        {{"near", "@", "1", "1", "10", "5"}},
        // The frame file: check names the file as ROOT_0000.bmp.
        {.args = {"check", "@", "0", "0"},
         .answer = Answer::Report,
         .skip = ownBound,
         .root = true},
        {.args = {"render", "@", "0", "0", out},
         .answer = Answer::Skipped,
         .skip = ownBound,
         .root = true},
        {{"render", Root(), "0", "0", out, "--markers", "--tracks", "@"}},
        {{"render", Root(), "0", "0", out, "--hypotheses", "@"}, failure, ownBound},
        {{"mot2tracks", "@", out}, failure, ownBound},
        {{"mot2tracks", gt, out, "--geometry", "@"}, failure, ownBound},
        {{"tracks2mot", "@", out}},
        {{"tracks2mot", Tracks(), out, "--geometry", "@"}, failure, ownBound},
        {{"evaluate", "@", hyp, "--threshold", "5"}},
        {{"evaluate", Tracks(), "@", "--threshold", "5"}, failure, ownBound},
        {{"evaluate", Tracks(), gt, "--threshold", "5", "--hyp-format", "mot", "--geometry", "@"},
         failure,
         ownBound},
        // The first picture of a pattern ("; no frame was written" follows);
        // a missing one is no file of the pattern at all, and the readers
        // give their own words for a read error.
        {.args = {"import", "@_%04d.bmp", out},
         .skip = {"missing", "read error", "too large"},
         .exact = false,
         .root = true},
        // A video by its name: a folder of that name is a folder of
        // pictures, and the libraries read a regular file.
        {.args = {"import", "@", out},
         .skip = {"folder", "read error", "too large"},
         .ending = ".mp4"},
    };
  }
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
      if (std::find(place.skip.begin(), place.skip.end(), kind.name) != place.skip.end())
        continue;
      const std::string file = m_dir.File("in" + std::to_string(serial++) + place.ending);
      SCOPED_TRACE(kind.name + " for " + ::testing::PrintToString(place.args));
      kind.make(file);
      const CliResult result = RunExpecting(1, place.For(file));
      const std::string line = file + ": " + kind.fault;
      const std::string said = "korvane-cli " + place.args[0] + ": " + line;
      switch (place.answer) {
        case Answer::Report:
          EXPECT_THAT(result.out, HasSubstr(line + "\n"));
          break;
        case Answer::Skipped:
          EXPECT_THAT(result.err, HasSubstr(said + "; not shown\n"));
          break;
        case Answer::Failure:
          if (place.exact)
            EXPECT_EQ(result.err, said + "\n");
          else
            EXPECT_TRUE(result.err.starts_with(said) &&
                        result.err.find('\n') + 1 == result.err.size())
                << result.err;
          EXPECT_EQ(result.out, "");
          break;
      }
    }
  }
  EXPECT_FALSE(std::filesystem::exists(m_dir.File("out"))) << "nothing is written";
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
    SCOPED_TRACE(::testing::PrintToString(place.args) + " of " + ::testing::PrintToString(c.text));
    const CliResult result = RunExpecting(c.status, place.For(file));
    const std::string said = result.out + result.err;
    if (!c.said.empty()) {
      EXPECT_THAT(said, HasSubstr(file + c.said));
    }
    EXPECT_EQ(said.find('\x1b'), std::string::npos);
  }
}

// A picture of noise, which no coder makes small: most of a file is its
// picture data, so a cut falls inside it.
QImage NoisePicture(int width, int height) {
  QImage image(width, height, QImage::Format_RGB888);
  std::mt19937 random(7);
  for (int y = 0; y < height; ++y) {
    uchar* row = image.scanLine(y);
    for (int x = 0; x < width * 3; ++x)
      row[x] = static_cast<uchar>(random() & 0xFF);
  }
  return image;
}

// A grey GIF of the picture (no writer for GIF comes with the image
// readers): 9-bit codes, one a pixel, the code table cleared before it would
// need a tenth bit.
void SaveGif(const QImage& picture, const std::string& path) {
  const QImage grey = picture.convertToFormat(QImage::Format_Grayscale8);
  std::string gif = "GIF89a";
  const auto word = [&](int value) {
    gif += static_cast<char>(value & 0xFF);
    gif += static_cast<char>(value >> 8);
  };
  word(grey.width());
  word(grey.height());
  gif += "\xF7";  // a global table of 256 colours
  gif += std::string(2, '\0');
  for (int i = 0; i < 256; ++i)
    gif += std::string(3, static_cast<char>(i));
  gif += ',';
  word(0), word(0), word(grey.width()), word(grey.height());
  gif += '\0';
  gif += '\x08';
  std::string data;
  std::uint32_t bits = 0;
  int held = 0;
  const auto code = [&](int value) {
    bits |= static_cast<std::uint32_t>(value) << held;
    for (held += 9; held >= 8; held -= 8, bits >>= 8)
      data += static_cast<char>(bits & 0xFF);
  };
  int sinceClear = 254;
  for (int y = 0; y < grey.height(); ++y)
    for (int x = 0; x < grey.width(); ++x) {
      if (sinceClear == 254)
        code(256), sinceClear = 0;
      code(grey.constScanLine(y)[x]);
      ++sinceClear;
    }
  code(257);
  if (held > 0)
    data += static_cast<char>(bits & 0xFF);
  for (std::size_t at = 0; at < data.size(); at += 255) {
    const std::string block = data.substr(at, 255);
    gif += static_cast<char>(block.size());
    gif += block;
  }
  gif += std::string(1, '\0') + ";";
  WriteText(path, gif);
}

void Cut(const std::string& path, double keep) {
  const auto size = std::filesystem::file_size(path);
  std::filesystem::resize_file(path, static_cast<std::uintmax_t>(static_cast<double>(size) * keep));
}

// Import sources that hold less than they claim: pictures cut short (whose
// readers would fill the rest in grey or black and succeed), sizes beyond the
// decoded-size bound declared in a few bytes, and a video whose decoding
// breaks off. Each fails (exit 1) naming the file and the cause; the frames
// before the fault are kept and named. Whole files with extra bytes after the
// picture are not refused.
TEST(HostileImport, SourcesThatHoldLessThanTheyClaimFailNamingTheFile) {
  const TempDir dir;
  struct Case {
    std::string name;  // the folder of pictures, or the video file
    std::function<void(const std::string&)> make;
    int status;
    std::string said;  // on standard error, after the source's name
    int kept;          // frame files left
  };
  // Three pictures of a folder, the last one changed by `spoil`.
  const auto pictures = [](const char* format, std::function<void(const std::string&)> spoil) {
    return [format, spoil](const std::string& folder) {
      std::filesystem::create_directories(folder);
      const QImage picture = NoisePicture(64, 48);
      for (int i = 1; i <= 3; ++i) {
        const std::string path = folder + "/p" + std::to_string(i) + "." + format;
        if (std::string_view(format) == "gif")
          SaveGif(picture, path);
        else
          ASSERT_TRUE(picture.save(QString::fromStdString(path), format));
        if (i == 3)
          spoil(path);
      }
    };
  };
  const auto cutTo = [](double keep) { return [keep](const std::string& f) { Cut(f, keep); }; };
  const auto progressive = [](const std::string& f) {
    // The coded data in several scans, then cut.
    QImageWriter writer(QString::fromStdString(f), "jpeg");
    writer.setProgressiveScanWrite(true);
    ASSERT_TRUE(writer.write(NoisePicture(64, 48)));
    writer.device()->close();
    Cut(f, 1.0 / 3);
  };
  const auto appended = [](const std::string& f) { WriteText(f, ReadText(f) + "trailing bytes"); };
  const std::string limit = " is more than the 67108864 pixels (8192 x 8192) decoded at most";
  const std::vector<Case> cases = {
      {"jpeg-third", pictures("jpg", cutTo(1.0 / 3)), 1,
       "/p3.jpg: the file ends inside the picture data (cut short: no end-of-image marker)", 2},
      {"progressive-third", pictures("jpg", progressive), 1,
       "/p3.jpg: the file ends inside the picture data (cut short", 2},
      {"bmp-half", pictures("bmp", cutTo(0.5)), 1, "/p3.bmp: the file holds 4635 of the 9270 bytes",
       2},
      {"gif-half", pictures("gif", cutTo(0.5)), 1,
       "/p3.gif: the file ends inside the picture data (cut short)", 2},
      {"jpeg-appended", pictures("jpg", appended), 0, "", 3},
      {"bmp-appended", pictures("bmp", appended), 0, "", 3},
      {"bmp-9000",
       [](const std::string& folder) {
         // 54 bytes of headers for a 24-bit picture of 9000 x 9000.
         std::filesystem::create_directories(folder);
         std::string header(54, '\0');
         const auto put = [&](std::size_t at, std::uint32_t value) {
           for (int i = 0; i < 4; ++i)
             header[at + static_cast<std::size_t>(i)] = static_cast<char>(value >> (8 * i));
         };
         header[0] = 'B', header[1] = 'M';
         put(2, 54), put(10, 54), put(14, 40), put(18, 9000), put(22, 9000), put(26, 1 | 24 << 16);
         WriteText(folder + "/p1.bmp", header);
       },
       1, "/p1.bmp: a picture of 9000 x 9000 pixels" + limit, 0},
      {"broken.mp4",
       [](const std::string& f) {
         // Garbage over the middle of a video of 12 frames of noise.
         std::vector<std::uint8_t> pixels(64 * 48 * 3);
         ASSERT_EQ(test_video::WriteVideo(f, 64, 48, 10, 12,
                                          [&](int i) {
                                            std::mt19937 random(static_cast<unsigned>(i));
                                            for (std::uint8_t& byte : pixels)
                                              byte = static_cast<std::uint8_t>(random() & 0xFF);
                                            return pixels;
                                          }),
                   std::nullopt);
         std::string bytes = ReadText(f);
         for (std::size_t i = bytes.size() / 2; i < bytes.size() / 2 + 2000; ++i)
           bytes[i] = static_cast<char>(i * 37 % 251);
         WriteText(f, bytes);
       },
       1, ": decoding: Invalid data found when processing input, after frame ", -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string source = dir.File(c.name);
    c.make(source);
    const std::string out = dir.File("out-" + c.name);
    const CliResult result = RunExpecting(c.status, {"import", source, out + "/take"});
    if (!c.said.empty()) {
      EXPECT_THAT(result.err, HasSubstr(source + c.said));
    }
    const std::vector<std::string> files =
        std::filesystem::exists(out) ? FilesIn(std::filesystem::path(out)) : Args{};
    const int kept = static_cast<int>(files.size()) - (files.empty() ? 0 : 1);
    if (c.kept >= 0) {
      EXPECT_EQ(kept, c.kept);
    } else {
      // As many frames kept as the message says.
      EXPECT_GT(kept, 0);
      EXPECT_LT(kept, 12);
      EXPECT_THAT(result.err, HasSubstr("after frame " + std::to_string(kept) + ";"));
    }
  }
}

}  // namespace
