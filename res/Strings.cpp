#include "res/Strings.h"

#include <array>
#include <utility>

#include "res/ResourceIds.h"

namespace res {
namespace {

constexpr std::array<std::pair<int, std::string_view>, 2> kStrings = {{
    {IDS_ABOUTBOX, "&About Korvane..."},
    {IDS_RECORD_TIMER, "Record TIMER"},
}};

}  // namespace

std::string_view LoadResourceString(int id) {
  for (const auto& [key, text] : kStrings) {
    if (key == id)
      return text;
  }
  return {};
}

}  // namespace res
