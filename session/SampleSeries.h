#pragma once
// The sample series: the synthetic scene recorded through the console's
// frame recorder, as a user of the console would record it, with its track
// file beside it.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace cli {

// The root name of the sample's frame files: take9_0000.bmp, …
inline constexpr std::string_view kSampleRoot = "take9";

// Writes frames 0 to kSceneFrames − 1 and truetracks.txt into `folder`,
// made when missing. The series is recorded into a folder of its own inside
// `folder` and moved into place once it is whole, so a failed run leaves
// `folder` as it was. Returns why it failed, or nothing.
std::optional<std::string> WriteSampleSeries(const std::filesystem::path& folder);

}  // namespace cli
