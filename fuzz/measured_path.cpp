// Feeds arbitrary text to the companion's measured-path reader. Besides the
// sanitizers' checks it traps when the reader breaks its promises: a frame
// the text does not give keeps (0, 0), a problem is named "FILE:LINE: why"
// or "FILE: why", and a path read without a problem gives each frame at
// most once, as often as the text has lines of three integers.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz/FuzzSupport.h"
#include "tracks/MeasuredPath.h"

namespace {

using fuzz::Check;

const std::string kName = "measured.txt";

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  static MeasuredPath path;
  path = MeasuredPath{};
  const auto problem = ParseMeasuredPath(text, kName, path);
  for (int frame = 0; frame < MAX_TRACK_FRAMES; ++frame) {
    const auto i = static_cast<std::size_t>(frame);
    Check(path.given[i] || (path.xs[i] == 0 && path.ys[i] == 0));
  }
  const auto given = std::count(path.given.begin(), path.given.end(), true);
  if (problem) {
    Check(problem->starts_with(kName + ":"));
    return 0;
  }
  // Without a problem every line holds three integers or nothing (before a
  // '#'), and each of those lines gave a frame of its own.
  Check(given <= std::count(text.begin(), text.end(), '\n') + 1);
  return 0;
}
