#pragma once
// The --geometry option of the commands that carry positions between a
// series and its source (mot2tracks, tracks2mot).

#include <optional>
#include <string>

#include "geometry/GeometryFile.h"
#include "tools/CommandLine.h"

namespace cli {

// The geometry named by --geometry, read into geometry; `given` tells
// whether there was one. Returns what is wrong with the file.
inline std::optional<std::string> ReadGivenGeometry(const ParsedArgs& parsed,
                                                    FrameGeometry& geometry, bool& given) {
  const std::string* file = parsed.Value("--geometry");
  given = file != nullptr;
  return given ? ReadGeometryFile(*file, geometry) : std::nullopt;
}

}  // namespace cli
