#include "render/RenderChecks.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <system_error>

#include "base/FileStatus.h"
#include "geometry/GeometryFile.h"
#include "image/SeriesFrames.h"

namespace {

bool SameSeries(const std::string& root, const std::string& outRoot) {
  const std::filesystem::path in(base::AbsolutePath(root));
  const std::filesystem::path out(base::AbsolutePath(outRoot));
  return in.filename() == out.filename() &&
         base::SameFile(in.parent_path().string(), out.parent_path().string());
}

}  // namespace

std::optional<int> RecordedRate(const std::string& root) {
  const std::string file = root + ".geometry";
  if (!base::RegularFileSize(file))
    return std::nullopt;
  cli::FrameGeometry geometry;
  if (cli::ReadGeometryFile(file, geometry))
    return std::nullopt;
  const cli::Fraction& rate = geometry.videoRate;
  if (rate.numerator <= 0 || rate.denominator <= 0)
    return std::nullopt;
  const double perSecond = static_cast<double>(rate.numerator) / rate.denominator;
  return static_cast<int>(std::clamp(std::lround(perSecond), 1L, 30L));
}

std::optional<std::string> OutputProblem(const RenderSettings& settings) {
  if (series::FrameFileName(settings.root, settings.last).size() >= kPlayerNameBytes)
    return settings.root + ": the root path is too long for the player";
  if (settings.outRoot.empty())
    return std::nullopt;
  const std::filesystem::path outFolder =
      std::filesystem::path(base::AbsolutePath(settings.outRoot)).parent_path();
  // A missing folder is made with the first frame written.
  std::error_code error;
  if (std::filesystem::exists(outFolder, error) && !base::IsFolder(outFolder.string()))
    return outFolder.string() + ": not a folder, for OUTROOT";
  if (SameSeries(settings.root, settings.outRoot))
    return settings.outRoot + ": is the series being read; choose another OUTROOT";
  return std::nullopt;
}

std::optional<std::string> OutputOverRead(const RenderSettings& settings,
                                          std::vector<std::string> read) {
  std::vector<std::string> written;
  if (!settings.video.empty())
    written.push_back(settings.video);
  // Counted wide, so that a series ending at INT_MAX ends too.
  for (std::int64_t wide = settings.first; wide <= settings.last; ++wide) {
    const int frame = static_cast<int>(wide);
    read.push_back(series::FrameFileName(settings.root, frame));
    if (!settings.outRoot.empty())
      written.push_back(series::FrameFileName(settings.outRoot, frame));
  }
  return base::OutputOverInput(read, written);
}
