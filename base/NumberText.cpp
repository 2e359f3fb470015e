#include "base/NumberText.h"

#include <charconv>
#include <cmath>
#include <system_error>

namespace base {
namespace {

// from_chars takes a minus sign but no plus sign; a plus sign is allowed in
// front of digits only.
std::string_view WithoutPlus(std::string_view text) {
  if (text.size() >= 2 && text[0] == '+' && text[1] != '-')
    text.remove_prefix(1);
  return text;
}

}  // namespace

std::optional<double> ParseFiniteNumber(std::string_view text) {
  double value = 0.0;
  const char* end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(text.data(), end, value);
  if (text.empty() || error != std::errc() || stop != end || !std::isfinite(value))
    return std::nullopt;
  return value;
}

std::optional<int> ParseInt(std::string_view text) {
  text = WithoutPlus(text);
  int value = 0;
  const char* end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(text.data(), end, value);
  if (text.empty() || error != std::errc() || stop != end)
    return std::nullopt;
  return value;
}

std::optional<double> ParseDouble(std::string_view text) {
  return ParseFiniteNumber(WithoutPlus(text));
}

}  // namespace base
