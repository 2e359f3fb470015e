#pragma once
// The one "write the series" step both importers share: frame files
// OUTROOT_NNNN.bmp in order from the first number, and OUTROOT.geometry
// beside them. The output folder is made and the geometry written with the
// first frame, so a series that has frames always has its geometry, and a
// run that writes no frame leaves nothing behind (no folder it made either).

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "base/MadeFolders.h"
#include "geometry/ImportGeometry.h"

namespace cli {

class SeriesWriter {
 public:
  // The frames are numbered from geometry.firstFrame; the caller keeps the
  // last number within int.
  SeriesWriter(std::string outRoot, const FrameGeometry& geometry);

  // Writes the next frame (series::kFrameBytes, bottom-up as the recorder
  // writes it) through a temporary name. Returns what went wrong, or nothing.
  std::optional<std::string> Add(std::span<const std::uint8_t> frame);

  // The frame files written so far, each complete, in order.
  const std::vector<std::string>& Files() const { return m_files; }
  int Written() const { return static_cast<int>(m_files.size()); }
  const std::string& GeometryFile() const { return m_geometryFile; }
  // Which frames are complete: "no frame was written", "A is complete",
  // "A to B are complete".
  std::string CompletedText() const;

 private:
  std::string m_outRoot;
  FrameGeometry m_geometry;
  std::string m_geometryFile;
  base::MadeFolders m_folders;  // taken away again when no frame goes in
  std::vector<std::string> m_files;
};

}  // namespace cli
