#pragma once
// A sequence's MOTChallenge file read for scoring: the ground truth with the
// confidence and class the protocol needs, or a tracker's boxes. Besides the
// row reader's rules (mot/MotRows.h), positions and sizes are at most 1e9 in
// magnitude, an id appears at most once in a frame, a frame holds at most
// kMaxObjectsPerFrame rows, and, when the sequence's length is known, every
// frame is one of 1..length (as the benchmark requires of both files).
// Frame numbers stand as they are; any number of ids and frames is taken.

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "eval/BoxObjects.h"
#include "scoring/MotProtocol.h"

// Bounds the work a frame can make (every truth box may overlap every
// hypothesis); no picture holds this many people.
inline constexpr int kMaxObjectsPerFrame = 1000;

// Each returns what is wrong ("FILE: missing", "FILE:LINE: why"), or
// nothing with rows filled in file order.
std::optional<std::string> ReadMotTruthFile(const std::string& path, std::optional<int> length,
                                            std::vector<MotTruthRow>& rows);
std::optional<std::string> ReadMotBoxFile(const std::string& path, std::optional<int> length,
                                          std::vector<BoxRow>& rows);
