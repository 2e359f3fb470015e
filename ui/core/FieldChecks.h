#pragma once
// The checks behind the data exchange of dialog fields: pure functions that
// return the message to show, or nothing when the field is fine.

#include <optional>
#include <string>
#include <string_view>

namespace ui {

// A signed decimal integer, white space allowed around it. On success the
// value is stored; otherwise it is left alone and the message is returned.
std::optional<std::string> ParseIntField(std::string_view text, int& value);

// An integer inside [minimum, maximum].
std::optional<std::string> CheckIntRange(int value, int minimum, int maximum);

}  // namespace ui
