#pragma once
// The source pictures of an import: every picture file of a folder in
// natural order, or the files a printf-style pattern names, number after
// number.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace cli {

struct SourceFrames {
  std::vector<std::string> paths;  // in the order the frames are written
  int firstNumber = 0;             // the source number of the first path
  // Set when a folder's file names are not numbered one after the other, so
  // the numbers count the files from 1 instead.
  std::optional<std::string> note;
};

// True when a sorts before b in natural order: runs of digits compare as
// numbers ("img2" before "img10"), the rest byte by byte; names that differ
// only in leading zeros keep byte order.
bool NaturalLess(std::string_view a, std::string_view b);

// Every regular file of the folder whose ending (any case) is one of
// `endings`, in natural order of their names. The first number is the one
// in the first file's name (its last run of digits) when all names are
// numbered one after the other, else 1. Returns why not (the folder cannot
// be read, no picture in it), or nothing.
std::optional<std::string> ListFolderFrames(const std::string& folder,
                                            std::span<const std::string> endings,
                                            SourceFrames& frames);

// A printf-style file pattern with one integer conversion: "%d", "%6d",
// "%06d" (also with i or u), in the file name; "%%" stands for '%', in the
// folder part too.
struct FramePattern {
  std::string folder;  // the folder part of the pattern, "" for the current
  std::string prefix;  // the file name before the conversion
  std::string suffix;  // and after it
  int width = 0;       // the least number of characters of the number
  bool zeroPadded = false;
};

// Reads the pattern; returns what is wrong with it (no conversion, two,
// one that is not an integer conversion, one in the folder part).
std::optional<std::string> ParsePattern(std::string_view text, FramePattern& pattern);

// The file the pattern names for number (at least 0).
std::string PatternFile(const FramePattern& pattern, int number);

// The files from number `first` (the lowest number present when not given)
// up to the first number without a file, at most maxFrames of them. Returns
// why not (no file matches, the first is missing, one of them is no regular
// file, too many), or nothing.
std::optional<std::string> ListPatternFrames(const FramePattern& pattern, std::optional<int> first,
                                             int maxFrames, SourceFrames& frames);

}  // namespace cli
