#include "eval/HypothesisReader.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <climits>
#include <cmath>
#include <initializer_list>
#include <numeric>

#include "base/NumberText.h"
#include "base/TextBytes.h"
#include "mot/MotRows.h"

namespace {

constexpr double kMaxMagnitude = 1e9;
constexpr std::size_t kMaxFields = 4;

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && IsBlank(text.front()))
    text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back()))
    text.remove_suffix(1);
  return text;
}

// The first `wanted` fields of a line (fewer when it has fewer), and how
// many the line has up to that count. A line with a comma is split at its
// commas, any other at white space.
struct Fields {
  std::array<std::string_view, kMaxFields> items{};
  std::size_t count = 0;
};

Fields SplitFields(std::string_view line, std::size_t wanted) {
  Fields fields;
  const bool commas = line.find(',') != std::string_view::npos;
  while (fields.count < wanted) {
    if (commas) {
      const std::size_t comma = line.find(',');
      fields.items[fields.count++] = Trimmed(line.substr(0, comma));
      if (comma == std::string_view::npos)
        break;
      line.remove_prefix(comma + 1);
      continue;
    }
    line = Trimmed(line);
    if (line.empty())
      break;
    const auto end = std::find_if(line.begin(), line.end(), IsBlank);
    const auto length = static_cast<std::size_t>(end - line.begin());
    fields.items[fields.count++] = line.substr(0, length);
    line.remove_prefix(length);
  }
  return fields;
}

// The parts one after the other. (Joined with + from a literal, GCC 12's
// optimiser warns of an overlap that cannot happen.)
std::string Joined(std::initializer_list<std::string_view> parts) {
  std::string text;
  for (const std::string_view part : parts)
    text += part;
  return text;
}

std::optional<int> WholeNumber(std::string_view text) {
  const std::optional<double> value = base::ParseFiniteNumber(text);
  if (!value || *value != std::trunc(*value) || *value < INT_MIN || *value > INT_MAX)
    return std::nullopt;
  return static_cast<int>(*value);
}

std::optional<double> Coordinate(std::string_view text) {
  const std::optional<double> value = base::ParseFiniteNumber(text);
  if (!value || std::fabs(*value) > kMaxMagnitude)
    return std::nullopt;
  return value;
}

// Where an object read at `frame` stands: as it is without a placement
// (frames 0 to 499 only), else where the placement puts it; `row.frame` is
// -1 when the placement puts it in no frame.
std::optional<std::string> PlaceObject(int frame, int id, double x, double y,
                                       const MotPlacement* place, ObjectRow& row) {
  if (place == nullptr) {
    if (frame < 0 || frame >= MAX_TRACK_FRAMES)
      return Joined({"frame '", std::to_string(frame), "' is not a whole number from 0 to ",
                     std::to_string(MAX_TRACK_FRAMES - 1)});
    row.frame = frame;
    row.object = {id, x, y};
    return std::nullopt;
  }
  const PlacedObject placed = (*place)(frame, x, y);
  row.frame = placed.frame && IsTrackFrame(*placed.frame) ? *placed.frame : -1;
  row.object = {id, placed.x, placed.y};
  return std::nullopt;
}

std::string NumberText(double value) {
  char text[32];
  const auto result = std::to_chars(text, text + sizeof text, value);
  return std::string(text, result.ptr);
}

// A MOTChallenge line, read by the one MOT row reader; the box's centre is
// the object's position. A blank line leaves `read` false.
std::optional<std::string> ParseMotObject(std::string_view line, const MotPlacement* place,
                                          ObjectRow& row, bool& read) {
  std::optional<cli::MotRow> mot;
  if (auto problem = cli::ParseMotLine(line, mot))
    return problem;
  read = mot.has_value();
  if (!read)
    return std::nullopt;
  for (const double value : {mot->left, mot->top, mot->width, mot->height}) {
    if (std::fabs(value) > kMaxMagnitude)
      return Joined({"'", NumberText(value), "' is not a number of at most 1e9 in magnitude"});
  }
  return PlaceObject(mot->frame, mot->id, mot->left + mot->width / 2, mot->top + mot->height / 2,
                     place, row);
}

// A points line: frame,id,x,y.
std::optional<std::string> ParsePointObject(const Fields& fields, ObjectRow& row) {
  if (fields.count < 4 || std::any_of(fields.items.begin(), fields.items.begin() + 4,
                                      [](std::string_view f) { return f.empty(); }))
    return "expected 'frame,id,x,y'";
  const std::optional<int> frame = WholeNumber(fields.items[0]);
  if (!frame || *frame < 0 || *frame >= MAX_TRACK_FRAMES)
    return Joined({"frame '", base::PrintableText(fields.items[0]),
                   "' is not a whole number from 0 to ", std::to_string(MAX_TRACK_FRAMES - 1)});
  const std::optional<int> id = WholeNumber(fields.items[1]);
  if (!id)
    return Joined({"id '", base::PrintableText(fields.items[1]), "' is not a whole number"});
  std::array<double, 2> values{};
  for (std::size_t i = 0; i < 2; ++i) {
    const std::optional<double> value = Coordinate(fields.items[i + 2]);
    if (!value)
      return Joined({"'", base::PrintableText(fields.items[i + 2]),
                     "' is not a number of at most 1e9 in magnitude"});
    values[i] = *value;
  }
  return PlaceObject(*frame, *id, values[0], values[1], nullptr, row);
}

// The first line, in line order, that repeats the frame and id of an
// earlier one.
std::optional<ReadProblem> FirstRepeatedId(const std::vector<ObjectRow>& rows,
                                           const std::vector<std::size_t>& lines) {
  std::vector<std::size_t> order(rows.size());
  std::iota(order.begin(), order.end(), std::size_t{0});
  const auto key = [&rows](std::size_t i) { return std::pair(rows[i].frame, rows[i].object.id); };
  std::stable_sort(order.begin(), order.end(),
                   [&](std::size_t a, std::size_t b) { return key(a) < key(b); });
  std::optional<std::size_t> repeat;
  std::size_t firstOfRepeat = 0;
  for (std::size_t k = 1; k < order.size(); ++k) {
    if (key(order[k]) == key(order[k - 1]) && (!repeat || order[k] < *repeat)) {
      repeat = order[k];
      firstOfRepeat = order[k - 1];
    }
  }
  if (!repeat)
    return std::nullopt;
  const ObjectRow& row = rows[*repeat];
  return ReadProblem{lines[*repeat], Joined({"id ", std::to_string(row.object.id),
                                             " is given twice in one frame (first on line ",
                                             std::to_string(lines[firstOfRepeat]), ")"})};
}

// Reads every line; with a placement (MOTChallenge rows only) counts the rows
// it places in no frame in `outside`.
std::optional<ReadProblem> ReadRows(std::string_view text, HypothesisFormat format,
                                    const MotPlacement* place, std::vector<ObjectRow>& rows,
                                    int& outside) {
  std::array<int, MAX_TRACK_FRAMES> perFrame{};
  std::vector<std::size_t> lines;
  std::size_t lineNumber = 0;
  text = base::WithoutByteOrderMark(text);
  while (!text.empty()) {
    ++lineNumber;
    const std::size_t newline = text.find('\n');
    std::string_view line = text.substr(0, newline);
    text.remove_prefix(newline == std::string_view::npos ? text.size() : newline + 1);
    line = Trimmed(line.substr(0, line.find('#')));
    if (line.empty())
      continue;
    ObjectRow row;
    bool read = true;
    auto problem = format == HypothesisFormat::kMot ? ParseMotObject(line, place, row, read)
                                                    : ParsePointObject(SplitFields(line, 4), row);
    if (problem)
      return ReadProblem{lineNumber, std::move(*problem)};
    if (!read)
      continue;
    if (row.frame < 0) {
      ++outside;
      continue;
    }
    int& count = perFrame[static_cast<std::size_t>(row.frame)];
    if (++count > kMaxHypothesesPerFrame)
      return ReadProblem{lineNumber, Joined({"more than ", std::to_string(kMaxHypothesesPerFrame),
                                             " objects in one frame"})};
    rows.push_back(row);
    lines.push_back(lineNumber);
  }
  return FirstRepeatedId(rows, lines);
}

}  // namespace

std::optional<ReadProblem> ReadHypotheses(std::string_view text, HypothesisFormat format,
                                          std::vector<ObjectRow>& rows) {
  int outside = 0;
  return ReadRows(text, format, nullptr, rows, outside);
}

std::optional<ReadProblem> ReadPlacedMotHypotheses(std::string_view text, const MotPlacement& place,
                                                   std::vector<ObjectRow>& rows, int& outside) {
  outside = 0;
  return ReadRows(text, HypothesisFormat::kMot, &place, rows, outside);
}
