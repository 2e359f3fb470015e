#pragma once
// A benchmark on disk in the MOTChallenge layout:
//
//   GT_ROOT/SEQ/gt/gt.txt        the sequence's ground truth
//   GT_ROOT/SEQ/seqinfo.ini      its [Sequence] section's seqLength
//   TRACKER_DIR/SEQ.txt          the tracker's output for it
//
// The sequences are those a seqmap names (a header line, then one name a
// line, the first comma-separated field of it; blank lines skipped), or
// else every folder of GT_ROOT that holds gt/gt.txt, in name order.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct BenchmarkSequence {
  std::string name;
  std::string truthFile;
  std::string seqInfoFile;
  std::string trackerFile;
};

// Returns why the benchmark cannot be listed (GT_ROOT not a folder, a bad
// seqmap, no sequence at all), or nothing with `sequences` filled.
std::optional<std::string> ListBenchmark(const std::string& gtRoot, const std::string& trackerDir,
                                         const std::optional<std::string>& seqmap,
                                         std::vector<BenchmarkSequence>& sequences);

// The seqLength of a seqinfo.ini (section and key names in any case, '=' or
// ':' between key and value, ';' and '#' lines comments): a whole number of
// at least 1. Returns what is wrong, naming the file, or nothing.
std::optional<std::string> ReadSequenceLength(const std::string& seqInfoFile, int& length);
// The same for the file's text; what is wrong starts with the line
// (":LINE: why") or is the whole message (": why").
std::optional<std::string> SequenceLengthOf(std::string_view text, int& length);
