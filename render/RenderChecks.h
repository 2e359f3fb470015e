#pragma once
// What a render settles before any frame is read: the video's rate from the
// series' geometry file, and whether its outputs can go where they are to
// go without taking the place of what it reads.

#include <optional>
#include <string>
#include <vector>

#include "render/SeriesRender.h"

// The source's frame rate as the series' geometry file (ROOT.geometry,
// written by import) records it, rounded to a whole rate the player has (1
// to 30); nothing when there is no such file or it records no rate.
std::optional<int> RecordedRate(const std::string& root);

// Why the render cannot write where settings say: a root the player cannot
// name, an OUTROOT whose folder is not a folder, or an OUTROOT that names
// the series being read (the same root name in the same folder, the folder
// known by its identity, so a bind mount or a link of the input's folder is
// the input's folder). Returns the message, or nothing.
std::optional<std::string> OutputProblem(const RenderSettings& settings);

// The first output (the video, a frame file) that is one of the files read,
// `read` or a frame of the series, by another name (a hard link).
std::optional<std::string> OutputOverRead(const RenderSettings& settings,
                                          std::vector<std::string> read);
