#include "ui/core/FieldChecks.h"

#include <charconv>
#include <cstdint>

namespace ui {
namespace {

bool IsSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

}  // namespace

std::optional<std::string> ParseIntField(std::string_view text, int& value) {
  while (!text.empty() && IsSpace(text.front()))
    text.remove_prefix(1);
  while (!text.empty() && IsSpace(text.back()))
    text.remove_suffix(1);
  // from_chars takes a '-' but no '+'; one sign at most.
  if (!text.empty() && text.front() == '+') {
    text.remove_prefix(1);
    if (!text.empty() && text.front() == '-')
      return "Please enter an integer.";
  }

  int parsed = 0;
  const char* first = text.data();
  const char* last = text.data() + text.size();
  const auto [end, error] = std::from_chars(first, last, parsed);
  if (text.empty() || error == std::errc::invalid_argument || end != last) {
    return "Please enter an integer.";
  }
  if (error == std::errc::result_out_of_range) {
    return "Please enter an integer between -2147483648 and 2147483647.";
  }
  value = parsed;
  return std::nullopt;
}

std::optional<std::string> CheckIntRange(int value, int minimum, int maximum) {
  if (value >= minimum && value <= maximum)
    return std::nullopt;
  return "Please enter an integer between " + std::to_string(minimum) + " and " +
         std::to_string(maximum) + ".";
}

}  // namespace ui
