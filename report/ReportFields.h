#pragma once
// One reported value as each output shows it: the key (JSON key and CSV
// column), the label in a table, the exact text for JSON and CSV (the
// shortest text that reads back as the same double; empty for a missing
// ratio) and the text a table shows (4 decimals, "-" when missing). Shared
// by the evaluation reports.

#include <optional>
#include <ostream>
#include <span>
#include <string>
#include <string_view>

namespace cli {

struct ReportField {
  std::string_view key;
  std::string_view label;
  std::string exact;
  std::string shown;
};

ReportField CountField(std::string_view key, std::string_view label, long long value);
ReportField RatioField(std::string_view key, std::string_view label, std::optional<double> value);

// The fields as "label value" lines, labels in a column 24 wide.
void PrintFieldLines(std::span<const ReportField> fields, std::ostream& out);
// "key,key,...": the header of a CSV line of the fields.
std::string CsvKeys(std::span<const ReportField> fields);
// "value,value,...".
std::string CsvValues(std::span<const ReportField> fields);
// "\"key\": value" pairs separated by ", " (null for a missing ratio), and
// JSON's quoting of a string.
std::string JsonMembers(std::span<const ReportField> fields, std::string_view separator);
std::string JsonString(std::string_view text);

}  // namespace cli
