#include "report/ReportFields.h"

#include <array>
#include <charconv>
#include <cstdio>

namespace cli {
namespace {

std::string Exact(double value) {
  std::array<char, 32> text{};
  const auto result = std::to_chars(text.data(), text.data() + text.size(), value);
  return std::string(text.data(), result.ptr);
}

}  // namespace

ReportField CountField(std::string_view key, std::string_view label, long long value) {
  return {key, label, std::to_string(value), std::to_string(value)};
}

ReportField RatioField(std::string_view key, std::string_view label, std::optional<double> value) {
  if (!value)
    return {key, label, "", "-"};
  std::array<char, 48> shown{};
  std::snprintf(shown.data(), shown.size(), "%.4f", *value);
  return {key, label, Exact(*value), shown.data()};
}

void PrintFieldLines(std::span<const ReportField> fields, std::ostream& out) {
  std::array<char, 128> line{};
  for (const ReportField& field : fields) {
    std::snprintf(line.data(), line.size(), "%-24s %12s\n", std::string(field.label).c_str(),
                  field.shown.c_str());
    out << line.data();
  }
}

std::string CsvKeys(std::span<const ReportField> fields) {
  std::string keys;
  for (const ReportField& field : fields) {
    if (!keys.empty())
      keys += ',';
    keys += field.key;
  }
  return keys;
}

std::string CsvValues(std::span<const ReportField> fields) {
  std::string values;
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (i > 0)
      values += ',';
    values += fields[i].exact;
  }
  return values;
}

std::string JsonMembers(std::span<const ReportField> fields, std::string_view separator) {
  std::string members;
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (i > 0)
      members += separator;
    members += JsonString(fields[i].key);
    members += ": ";
    members += fields[i].exact.empty() ? "null" : fields[i].exact;
  }
  return members;
}

std::string JsonString(std::string_view text) {
  std::string quoted = "\"";
  for (const char c : text) {
    if (c == '"' || c == '\\') {
      quoted += '\\';
      quoted += c;
    } else if (static_cast<unsigned char>(c) < 0x20) {
      std::array<char, 8> escape{};
      std::snprintf(escape.data(), escape.size(), "\\u%04x", static_cast<unsigned char>(c));
      quoted += escape.data();
    } else {
      quoted += c;
    }
  }
  return quoted + "\"";
}

}  // namespace cli
