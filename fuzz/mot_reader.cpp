// Feeds arbitrary bytes to the MOTChallenge reader as a gt.txt, then turns
// what it read into a track file with and without a geometry. Besides the
// sanitizers' checks it traps when a row read breaks the reader's promises,
// when a row written as text does not read back as the same row, or when the
// track file holds a coordinate the loader would take for something else.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "fuzz/FuzzSupport.h"
#include "geometry/ImportGeometry.h"
#include "mot/MotConversion.h"
#include "mot/MotRows.h"
#include "tracks/TrackSet.h"

namespace {

using fuzz::Check;

// The input file, kept open and rewritten for each input.
fuzz::ScratchFile& Input() {
  static fuzz::ScratchFile file("gt.txt");
  return file;
}

bool SameRow(const cli::MotRow& a, const cli::MotRow& b) {
  return a.frame == b.frame && a.id == b.id && a.left == b.left && a.top == b.top &&
         a.width == b.width && a.height == b.height && a.conf == b.conf && a.classId == b.classId &&
         a.visibility == b.visibility;
}

void CheckRow(const cli::MotRow& row) {
  for (const double value : {row.left, row.top, row.width, row.height, row.conf, row.visibility})
    Check(std::isfinite(value));
  Check(row.width >= 0.0 && row.height >= 0.0);
  std::optional<cli::MotRow> again;
  Check(!cli::ParseMotLine(cli::MotRowText(row), again) && again && SameRow(*again, row));
}

// Every row of the track file holds two integers in −999..999, and none is
// (0, 0) unless the target has no box there, which the check cannot tell:
// it counts the header and the rows instead.
void CheckTrackText(const std::string& text, const cli::MotCounts& counts) {
  std::istringstream in(text);
  long long count = -1;
  long long first = -1;
  Check(static_cast<bool>(in >> count >> first));
  Check(count == counts.targets && count <= MAX_TRACKS);
  Check(first >= 0 && first < MAX_TRACK_FRAMES);
  long long rows = 0;
  for (long long x, y; in >> x >> y; ++rows)
    Check(x >= -kMaxTrackCoordinate && x <= kMaxTrackCoordinate && y >= -kMaxTrackCoordinate &&
          y <= kMaxTrackCoordinate);
  Check(rows == count * counts.frames);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  Input().Write(data, size);
  std::vector<cli::MotRow> rows;
  if (cli::ReadMotFile(Input().Path(), rows))
    return 0;
  for (const cli::MotRow& row : rows)
    CheckRow(row);

  cli::FrameGeometry geometry;
  geometry.firstSource = 1;
  Check(!cli::PlanGeometry(cli::FitMode::Crop, 1920, 1080, {100, 50, 1280, 720}, geometry));
  cli::MotSelection withGeometry;
  withGeometry.geometry = &geometry;
  cli::MotSelection asTheyStand;
  asTheyStand.classes.emplace({1, 2});
  for (const cli::MotSelection& selection : {withGeometry, asTheyStand}) {
    std::string text;
    cli::MotCounts counts;
    if (!cli::MotToTrackText(rows, selection, "gt.txt", text, counts))
      CheckTrackText(text, counts);
  }
  return 0;
}
