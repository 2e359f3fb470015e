#pragma once
// Numbers read from text as a whole: the readers of the companion's files and
// of its command line take a field only when all of it is the number.

#include <optional>
#include <string_view>

namespace base {

// The whole text as a finite decimal number (an optional minus sign, digits,
// a fraction, an exponent), or nothing: an empty text, trailing characters,
// infinities and NaN give nothing.
std::optional<double> ParseFiniteNumber(std::string_view text);

// The whole text as a decimal integer in int range (an optional sign, digits,
// nothing else), or nothing.
std::optional<int> ParseInt(std::string_view text);
// The whole text as a finite decimal number with an optional sign, or nothing.
std::optional<double> ParseDouble(std::string_view text);

}  // namespace base
