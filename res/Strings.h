#pragma once
// The string table.

#include <string_view>

namespace res {

// The string with this id; empty when there is none.
std::string_view LoadResourceString(int id);

}  // namespace res
