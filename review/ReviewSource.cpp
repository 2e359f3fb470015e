#include "review/ReviewSource.h"

#include <filesystem>
#include <sstream>

#include "base/FileStatus.h"
#include "base/InputFile.h"
#include "base/NumberText.h"
#include "import/ImageDecode.h"
#include "import/ImportShared.h"
#include "import/ImportSource.h"

namespace review {
namespace {

// The most frames one review reads from a picture pattern.
constexpr int kMaxPatternFrames = 1000000;

std::optional<double> RateBeside(const std::filesystem::path& pictureFolder) {
  const std::filesystem::path info =
      std::filesystem::absolute(pictureFolder).lexically_normal().parent_path() / "seqinfo.ini";
  std::string text;
  if (base::ReadWholeFile(info.string(), std::size_t{1} << 16, text))
    return std::nullopt;
  return SeqinfoFrameRate(text);
}

std::optional<std::string> OpenVideo(const std::string& source, double scale,
                                     ReviewSource& opened) {
  auto video = std::make_unique<VideoFileSource>();
  if (auto problem = video->Open(source))
    return problem;
  const video::VideoInfo& info = video->Info();
  const auto [width, height] = ScaledSize(info.width, info.height, scale);
  if (!video->Scale(width, height))
    return source + ": cannot scale the video to " + std::to_string(width) + " x " +
           std::to_string(height) + " pixels";
  opened.video = true;
  opened.firstNumber = 1;
  if (info.declaredFrames > 0 && info.declaredFrames < INT32_MAX)
    opened.count = static_cast<int>(info.declaredFrames);
  opened.sourceWidth = info.width;
  opened.sourceHeight = info.height;
  if (info.rateNumerator > 0 && info.rateDenominator > 0)
    opened.rate = static_cast<double>(info.rateNumerator) / info.rateDenominator;
  opened.files = {source};
  opened.frames = std::move(video);
  return std::nullopt;
}

}  // namespace

std::optional<double> SeqinfoFrameRate(const std::string& text) {
  std::istringstream lines(text);
  for (std::string line; std::getline(lines, line);) {
    const std::size_t equals = line.find('=');
    if (equals == std::string::npos)
      continue;
    std::string key = line.substr(0, equals);
    std::erase_if(key, [](char c) { return c == ' ' || c == '\t'; });
    if (key != "frameRate")
      continue;
    std::string value = line.substr(equals + 1);
    std::erase_if(value, [](char c) { return c == ' ' || c == '\t' || c == '\r'; });
    const std::optional<double> rate = base::ParseDouble(value);
    if (rate && *rate > 0.0 && *rate <= 1000.0)
      return rate;
    return std::nullopt;
  }
  return std::nullopt;
}

std::optional<std::string> OpenReviewSource(const std::string& source, double scale,
                                            ReviewSource& opened) {
  opened = ReviewSource{};
  if (cli::IsVideoSource(source))
    return OpenVideo(source, scale, opened);

  cli::SourceFrames listed;
  std::filesystem::path folder;
  if (base::IsFolder(source)) {
    if (auto problem = cli::ListFolderFrames(source, cli::PictureFileEndings(), listed))
      return problem;
    folder = source;
  } else {
    cli::FramePattern pattern;
    if (auto problem = cli::ParsePattern(source, pattern))
      return source + " is no folder, picture pattern or video file: " + *problem;
    if (auto problem = cli::ListPatternFrames(pattern, std::nullopt, kMaxPatternFrames, listed))
      return problem;
    folder = pattern.folder.empty() ? "." : pattern.folder;
  }
  int width = 0;
  int height = 0;
  const std::string& first = listed.paths.front();
  if (auto reason = cli::ReadPictureSize(first, width, height))
    return first + ": " + *reason;
  const auto [shownWidth, shownHeight] = ScaledSize(width, height, scale);
  const PictureDecoder decode = [width, height](const std::string& path, int w, int h,
                                                Canvas canvas) {
    return cli::DecodeWholePicture(path, width, height, w, h, canvas.pixels, canvas.Stride());
  };
  opened.firstNumber = listed.firstNumber;
  opened.count = static_cast<int>(listed.paths.size());
  opened.sourceWidth = width;
  opened.sourceHeight = height;
  opened.rate = RateBeside(folder);
  opened.note = listed.note;
  opened.files = listed.paths;
  opened.frames = std::make_unique<PictureSeriesSource>(std::move(listed.paths), shownWidth,
                                                        shownHeight, decode);
  return std::nullopt;
}

}  // namespace review
