#pragma once
// The .geometry file written beside an imported series: a few lines of text
// that record how the source pictures became the series' frames, so that
// ground truth in source coordinates and numbers can follow them.
//
//     # comments and blank lines are ignored
//     source 1920 1080          source width and height in pixels
//     crop 0 0 1920 1080        the source rectangle scaled: x y width height
//     scaled 320 180            the crop's size after scaling
//     scale 0.16666666666666666 0.16666666666666666
//     offset 0 30               frame position of the scaled crop's top-left
//     first_frame 0             output frame number of the first source frame
//     first_source 1            that frame's source number
//     video_rate 25 1           for a video: frames per second, a fraction
//     video_time_base 1 12800   for a video: seconds per timestamp tick
//
// Each field stands once, in any order; the two video fields only for a
// series imported from a video. See tools/ImportGeometry.h for the
// mapping itself.

#include <optional>
#include <string>

#include "geometry/ImportGeometry.h"

namespace cli {

// The file's text, with a comment that explains the mapping.
std::string GeometryText(const FrameGeometry& geometry);

// Reads a .geometry file. Returns what is wrong ("FILE:LINE: why", or
// "FILE: why" for a missing field), or nothing.
std::optional<std::string> ReadGeometryFile(const std::string& path, FrameGeometry& geometry);
// The same for text already read; name is used in the messages.
std::optional<std::string> ParseGeometryText(const std::string& text, const std::string& name,
                                             FrameGeometry& geometry);

}  // namespace cli
