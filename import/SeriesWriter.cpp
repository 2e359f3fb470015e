#include "import/SeriesWriter.h"

#include <unistd.h>

#include "base/AtomicFile.h"
#include "geometry/GeometryFile.h"
#include "image/SeriesFrames.h"
#include "import/ImportShared.h"

namespace cli {

SeriesWriter::SeriesWriter(std::string outRoot, const FrameGeometry& geometry)
    : m_outRoot(std::move(outRoot)),
      m_geometry(geometry),
      m_geometryFile(m_outRoot + ".geometry") {}

std::optional<std::string> SeriesWriter::Add(std::span<const std::uint8_t> frame) {
  const bool first = m_files.empty();
  if (first) {
    if (auto problem = m_folders.MakeForRoot(m_outRoot))
      return problem;
    if (auto problem = base::WriteFileAtomically(m_geometryFile, GeometryText(m_geometry)))
      return problem;
  }
  std::string name = series::FrameFileName(m_outRoot, m_geometry.firstFrame + Written());
  if (auto problem = series::WriteFrameFileAtomically(name, frame, series::kFrameWidth,
                                                      series::kFrameHeight)) {
    // A geometry without a frame would describe a series that is not there.
    if (first)
      ::unlink(m_geometryFile.c_str());
    return problem;
  }
  m_files.push_back(std::move(name));
  return std::nullopt;
}

std::string SeriesWriter::CompletedText() const {
  return Completed(m_files, Written());
}

}  // namespace cli
