#include "tools/HypothesisInput.h"

#include <algorithm>
#include <span>

#include "image/SeriesFrames.h"

namespace cli {

std::optional<std::string> ReadHypothesisOptions(const ParsedArgs& parsed, HypothesisInput& input) {
  const std::string* format = parsed.Value("--hyp-format");
  const std::string_view name = format == nullptr ? "points" : std::string_view(*format);
  if (name == "points")
    input.layout = HypLayout::kPoints;
  else if (name == "mot")
    input.layout = HypLayout::kMot;
  else if (name == "tracks")
    input.layout = HypLayout::kTracks;
  else
    return "--hyp-format must be points, mot or tracks";
  if (const std::string* geometry = parsed.Value("--geometry")) {
    if (input.layout != HypLayout::kMot)
      return "--geometry goes with --hyp-format mot (box centres in source coordinates)";
    input.geometryFile = *geometry;
  }
  return std::nullopt;
}

void NoteRowsLeftOut(std::ostream& err, std::string_view command, const HypothesisInput& input,
                     const LoadedHypotheses& loaded) {
  const std::span<const FrameObject> all = loaded.objects.All();
  const bool noneInside = !all.empty() && std::none_of(all.begin(), all.end(), [](const auto& h) {
    return h.x >= 0.0 && h.x < series::kFrameWidth && h.y >= 0.0 && h.y < series::kFrameHeight;
  });
  if (noneInside) {
    err << "korvane-cli " << command << ": warning: no hypothesis of " << input.file
        << " lies inside the " << series::kFrameWidth << " x " << series::kFrameHeight << " picture"
        << (input.layout == HypLayout::kMot && input.geometryFile.empty()
                ? ": boxes in source pixels need the series' --geometry\n"
                : "\n");
  }
  if (loaded.outsideRows > 0)
    err << "korvane-cli " << command << ": note: " << loaded.outsideRows
        << (loaded.outsideRows == 1 ? " row of " : " rows of ") << input.file
        << (loaded.outsideRows == 1 ? " falls outside frames 0 to 499 and is left out\n"
                                    : " fall outside frames 0 to 499 and are left out\n");
}

}  // namespace cli
