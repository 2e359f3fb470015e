#include "review/FrameSources.h"

#include <algorithm>
#include <cmath>

namespace review {
namespace {

bool Holds(const Canvas& canvas, int width, int height) {
  return canvas.width >= width && canvas.Rows() >= height;
}

}  // namespace

PictureSeriesSource::PictureSeriesSource(std::vector<std::string> paths, int width, int height,
                                         PictureDecoder decode)
    : m_paths(std::move(paths)), m_width(width), m_height(height), m_decode(std::move(decode)) {}

std::optional<std::string> PictureSeriesSource::Read(int index, Canvas canvas) {
  if (index < 0 || index >= Count())
    return "no picture " + std::to_string(index + 1) + " in a series of " + std::to_string(Count());
  const std::string& path = m_paths[static_cast<std::size_t>(index)];
  if (!Holds(canvas, m_width, m_height))
    return path + ": the picture does not fit the frame";
  if (auto problem = m_decode(path, m_width, m_height, canvas))
    return path + ": " + *problem;
  return std::nullopt;
}

std::optional<std::string> VideoFileSource::Open(const std::string& path) {
  m_path = path;
  m_next = 0;
  m_held.reset();
  if (auto problem = m_reader.Open(path))
    return problem;
  m_reader.SetPixelOrder(video::PixelOrder::Bgr);
  return std::nullopt;
}

bool VideoFileSource::Scale(int width, int height) {
  const video::VideoInfo& info = m_reader.Info();
  return !m_reader.SetPart({0, 0, info.width, info.height, width, height});
}

std::optional<std::string> VideoFileSource::Read(int index, Canvas canvas) {
  if (index < m_next)
    return m_path + ": video frame " + std::to_string(index + 1) +
           " was asked for after a later one";
  if (!Holds(canvas, Width(), Height()))
    return m_path + ": the picture does not fit the frame";
  const auto ended = [&]() -> std::string {
    if (m_reader.Problem())
      return *m_reader.Problem();
    m_held = m_next;
    return m_path + ": the video ends after frame " + std::to_string(m_next) + ", before frame " +
           std::to_string(index + 1);
  };
  for (; m_next < index; ++m_next) {
    if (!m_reader.SkipFrame())
      return ended();
  }
  if (!m_reader.ReadFrame(canvas.pixels, canvas.Stride()))
    return ended();
  ++m_next;
  return std::nullopt;
}

std::pair<int, int> ScaledSize(int width, int height, double scale) {
  const auto side = [scale](int size) {
    const double scaled = std::round(static_cast<double>(size) * scale);
    return static_cast<int>(std::clamp(scaled, 1.0, 1e9));
  };
  return {side(width), side(height)};
}

}  // namespace review
