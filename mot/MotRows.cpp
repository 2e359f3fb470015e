#include "mot/MotRows.h"

#include <charconv>
#include <climits>
#include <cmath>

#include "base/InputFile.h"
#include "base/NumberText.h"
#include "base/TextBytes.h"

namespace cli {
namespace {

bool IsSpace(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

// Splits a line into fields; returns why it cannot (an empty field between
// two commas, a comma at either end).
std::optional<std::string> SplitFields(std::string_view line,
                                       std::vector<std::string_view>& fields) {
  std::size_t at = 0;
  const auto skipSpace = [&] {
    while (at < line.size() && IsSpace(line[at]))
      ++at;
  };
  skipSpace();
  while (at < line.size()) {
    const std::size_t start = at;
    while (at < line.size() && line[at] != ',' && !IsSpace(line[at]))
      ++at;
    if (at == start)
      return "an empty field before a comma";
    fields.push_back(line.substr(start, at - start));
    skipSpace();
    if (at < line.size() && line[at] == ',') {
      ++at;
      skipSpace();
      if (at == line.size())
        return "an empty field after the last comma";
    }
  }
  return std::nullopt;
}

struct FieldName {
  std::string_view name;
  bool integer;
};

constexpr FieldName kFieldNames[] = {
    {"frame", true},   {"id", true},    {"left", false}, {"top", false},        {"width", false},
    {"height", false}, {"conf", false}, {"class", true}, {"visibility", false},
};

// A field quoted in a message, its bytes safe for a terminal.
std::string Quoted(std::string_view text) {
  constexpr std::size_t kShown = 40;
  return base::QuotedText(text, kShown);
}

// An integer field: digits, or a decimal whose fraction is zero ("1.0"), as
// some trackers write every column.
std::optional<int> IntegerField(std::string_view text) {
  if (const std::optional<int> value = base::ParseInt(text))
    return value;
  const std::optional<double> value = base::ParseDouble(text);
  if (!value || *value != std::trunc(*value) || *value < INT_MIN || *value > INT_MAX)
    return std::nullopt;
  return static_cast<int>(*value);
}

}  // namespace

std::optional<std::string> ParseMotLine(std::string_view line, std::optional<MotRow>& row) {
  // '#' starts a comment that runs to the end of the line.
  line = line.substr(0, line.find('#'));
  std::vector<std::string_view> fields;
  if (auto problem = SplitFields(line, fields))
    return problem;
  if (fields.empty()) {
    row.reset();
    return std::nullopt;
  }
  if (fields.size() < 6)
    return "a row needs at least 6 fields (frame,id,left,top,width,height), this one has " +
           std::to_string(fields.size());
  int integers[std::size(kFieldNames)] = {};
  double numbers[std::size(kFieldNames)] = {};
  const std::size_t used = std::min(fields.size(), std::size(kFieldNames));
  for (std::size_t i = 0; i < used; ++i) {
    const FieldName& field = kFieldNames[i];
    if (field.integer) {
      const std::optional<int> value = IntegerField(fields[i]);
      if (!value)
        return "the " + std::string(field.name) + " " + Quoted(fields[i]) +
               " is not an integer from -2147483648 to 2147483647";
      integers[i] = *value;
    } else {
      const std::optional<double> value = base::ParseDouble(fields[i]);
      if (!value)
        return "the " + std::string(field.name) + " " + Quoted(fields[i]) +
               " is not a finite number";
      numbers[i] = *value;
    }
  }
  MotRow read;
  read.frame = integers[0];
  read.id = integers[1];
  read.left = numbers[2];
  read.top = numbers[3];
  read.width = numbers[4];
  read.height = numbers[5];
  if (read.width < 0.0 || read.height < 0.0)
    return "the box has a negative size";
  if (used > 6)
    read.conf = numbers[6];
  if (used > 7)
    read.classId = integers[7];
  if (used > 8)
    read.visibility = numbers[8];
  row = read;
  return std::nullopt;
}

bool IsMotRow(std::string_view line) {
  std::optional<MotRow> row;
  return !ParseMotLine(line, row) && row.has_value();
}

std::optional<std::string> ReadMotFile(const std::string& path, std::vector<MotRow>& rows) {
  std::string text;
  if (const auto fault = base::ReadWholeFile(path, kMaxMotFileBytes, text))
    return path + ": " + fault->Describe();
  std::vector<MotRow> read;
  std::string_view rest = base::WithoutByteOrderMark(text);
  for (int lineNumber = 1; !rest.empty(); ++lineNumber) {
    const std::size_t newline = rest.find('\n');
    const std::string_view line = rest.substr(0, newline);
    rest.remove_prefix(newline == std::string_view::npos ? rest.size() : newline + 1);
    std::optional<MotRow> row;
    if (auto problem = ParseMotLine(line, row))
      return path + ":" + std::to_string(lineNumber) + ": " + *problem;
    if (!row)
      continue;
    row->line = lineNumber;
    read.push_back(*row);
  }
  rows = std::move(read);
  return std::nullopt;
}

std::string MotRowText(const MotRow& row) {
  std::string text;
  const auto append = [&text](auto value, char after) {
    char number[32];
    const auto result = std::to_chars(number, number + sizeof number, value);
    text.append(number, result.ptr);
    if (after != 0)
      text += after;
  };
  append(row.frame, ',');
  append(row.id, ',');
  append(row.left, ',');
  append(row.top, ',');
  append(row.width, ',');
  append(row.height, ',');
  append(row.conf, ',');
  append(row.classId, ',');
  append(row.visibility, 0);
  return text;
}

std::string MotRowsText(std::span<const MotRow> rows) {
  std::string text;
  for (const MotRow& row : rows)
    text += MotRowText(row) + '\n';
  return text;
}

}  // namespace cli
