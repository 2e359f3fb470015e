#include "base/NumberText.h"

#include <charconv>
#include <cmath>
#include <system_error>

namespace base {

std::optional<double> ParseFiniteNumber(std::string_view text) {
  double value = 0.0;
  const char* end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(text.data(), end, value);
  if (text.empty() || error != std::errc() || stop != end || !std::isfinite(value))
    return std::nullopt;
  return value;
}

}  // namespace base
