#include "geometry/GeometryFile.h"

#include <array>
#include <charconv>
#include <iterator>
#include <sstream>
#include <vector>

#include "base/InputFile.h"
#include "base/NumberText.h"
#include "base/TextBytes.h"

namespace cli {
namespace {

// The shortest text that reads back as the same double.
std::string Exact(double value) {
  char text[32];
  const auto result = std::to_chars(text, text + sizeof text, value);
  return std::string(text, result.ptr);
}

enum class Field {
  Source,
  Crop,
  Scaled,
  Scale,
  Offset,
  FirstFrame,
  FirstSource,
  VideoRate,
  VideoTimeBase
};

struct FieldRule {
  std::string_view name;
  Field field;
  std::size_t values;
  std::string_view form;  // what the values must be, for the message
  bool optional = false;  // only series imported from a video have it
};

constexpr std::array<FieldRule, 9> kFields{{
    {"source", Field::Source, 2, "WIDTH HEIGHT, integers of at least 1"},
    {"crop", Field::Crop, 4, "X Y WIDTH HEIGHT, integers, sizes of at least 1"},
    {"scaled", Field::Scaled, 2, "WIDTH HEIGHT, integers of at least 1"},
    {"scale", Field::Scale, 2, "X Y, numbers above 0"},
    {"offset", Field::Offset, 2, "X Y, integers"},
    {"first_frame", Field::FirstFrame, 1, "one integer"},
    {"first_source", Field::FirstSource, 1, "one integer"},
    {"video_rate", Field::VideoRate, 2, "NUMERATOR DENOMINATOR, integers of at least 1", true},
    {"video_time_base", Field::VideoTimeBase, 2, "NUMERATOR DENOMINATOR, integers of at least 1",
     true},
}};
// A geometry file is a few hundred bytes; anything far larger is not one.
constexpr std::uintmax_t kMaxGeometryBytes = 65536;

// Stores one field's values; false when they are not what the field takes.
bool StoreField(Field field, const std::vector<std::string>& words, FrameGeometry& g) {
  if (field == Field::Scale) {
    const std::optional<double> x = base::ParseDouble(words[1]);
    const std::optional<double> y = base::ParseDouble(words[2]);
    if (!x || !y || *x <= 0.0 || *y <= 0.0)
      return false;
    g.scaleX = *x;
    g.scaleY = *y;
    return true;
  }
  std::array<int, 4> v{};
  for (std::size_t i = 1; i < words.size(); ++i) {
    const std::optional<int> value = base::ParseInt(words[i]);
    if (!value)
      return false;
    v[i - 1] = *value;
  }
  switch (field) {
    case Field::Source:
      g.sourceWidth = v[0];
      g.sourceHeight = v[1];
      return v[0] >= 1 && v[1] >= 1;
    case Field::Crop:
      g.crop = {v[0], v[1], v[2], v[3]};
      return v[2] >= 1 && v[3] >= 1;
    case Field::Scaled:
      g.scaledWidth = v[0];
      g.scaledHeight = v[1];
      return v[0] >= 1 && v[1] >= 1;
    case Field::Offset:
      g.offsetX = v[0];
      g.offsetY = v[1];
      return true;
    case Field::FirstFrame:
      g.firstFrame = v[0];
      return true;
    case Field::FirstSource:
      g.firstSource = v[0];
      return true;
    case Field::VideoRate:
      g.videoRate = {v[0], v[1]};
      return v[0] >= 1 && v[1] >= 1;
    case Field::VideoTimeBase:
      g.videoTimeBase = {v[0], v[1]};
      return v[0] >= 1 && v[1] >= 1;
    case Field::Scale:
      break;
  }
  return false;
}

}  // namespace

std::string GeometryText(const FrameGeometry& g) {
  std::ostringstream text;
  text << "# How the source pictures became this series' 320 x 240 frames.\n"
          "# A source position (sx, sy), in source pixels from the top-left corner,\n"
          "# stands in the frame at\n"
          "#   x = (sx - crop_x) * scale_x + offset_x\n"
          "#   y = (sy - crop_y) * scale_y + offset_y\n"
          "# and output frame F shows source number F - first_frame + first_source.\n"
       << "source " << g.sourceWidth << ' ' << g.sourceHeight << '\n'
       << "crop " << g.crop.x << ' ' << g.crop.y << ' ' << g.crop.width << ' ' << g.crop.height
       << '\n'
       << "scaled " << g.scaledWidth << ' ' << g.scaledHeight << '\n'
       << "scale " << Exact(g.scaleX) << ' ' << Exact(g.scaleY) << '\n'
       << "offset " << g.offsetX << ' ' << g.offsetY << '\n'
       << "first_frame " << g.firstFrame << '\n'
       << "first_source " << g.firstSource << '\n';
  if (g.videoRate.denominator > 0) {
    text << "# The source video's frame rate and the time base of its timestamps,\n"
            "# each a fraction: frames per second, seconds per tick.\n"
         << "video_rate " << g.videoRate.numerator << ' ' << g.videoRate.denominator << '\n';
  }
  if (g.videoTimeBase.denominator > 0) {
    text << "video_time_base " << g.videoTimeBase.numerator << ' ' << g.videoTimeBase.denominator
         << '\n';
  }
  return text.str();
}

std::optional<std::string> ParseGeometryText(const std::string& text, const std::string& name,
                                             FrameGeometry& geometry) {
  FrameGeometry read;
  std::array<bool, kFields.size()> seen{};
  std::istringstream lines(std::string(base::WithoutByteOrderMark(text)));
  int lineNumber = 0;
  for (std::string line; std::getline(lines, line);) {
    ++lineNumber;
    std::istringstream wordStream(line.substr(0, line.find('#')));
    const std::vector<std::string> words{std::istream_iterator<std::string>(wordStream), {}};
    if (words.empty())
      continue;
    const std::string where = name + ":" + std::to_string(lineNumber) + ": ";
    std::size_t index = 0;
    while (index < kFields.size() && kFields[index].name != words[0])
      ++index;
    if (index == kFields.size())
      return where + "unknown field '" + base::PrintableText(words[0]) + "'";
    const FieldRule& rule = kFields[index];
    if (seen[index])
      return where + "'" + words[0] + "' is given twice";
    if (words.size() != rule.values + 1 || !StoreField(rule.field, words, read))
      return where + "'" + words[0] + "' takes " + std::string(rule.form);
    seen[index] = true;
  }
  for (std::size_t i = 0; i < kFields.size(); ++i) {
    if (!seen[i] && !kFields[i].optional)
      return name + ": the field '" + std::string(kFields[i].name) + "' is missing";
  }
  const PixelRect& c = read.crop;
  if (c.x < 0 || c.y < 0 || c.x > read.sourceWidth - c.width || c.y > read.sourceHeight - c.height)
    return name + ": the crop rectangle does not lie inside the source";
  geometry = read;
  return std::nullopt;
}

std::optional<std::string> ReadGeometryFile(const std::string& path, FrameGeometry& geometry) {
  std::string text;
  if (const auto fault = base::ReadWholeFile(path, kMaxGeometryBytes, text)) {
    // A geometry file is a few lines: one past the bound is no geometry file.
    if (fault->kind == base::FileFault::Kind::TooLarge)
      return path + ": too large for a geometry file";
    return path + ": " + fault->Describe();
  }
  return ParseGeometryText(text, path, geometry);
}

}  // namespace cli
