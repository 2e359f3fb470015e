#pragma once
// The frame files of a series checked as the player reads them: 14 header
// bytes, the signature, 40 more header bytes, then the pixel block straight
// from byte 54. Each file is either fine or has the first fault found.

#include <array>
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

enum class FrameFault {
  None,
  Missing,
  Unreadable,  // not a regular file, permission denied, a read error
  ShortHeader,
  BadSignature,
  ShortPixels,
  Count
};

struct FrameCheck {
  FrameFault fault = FrameFault::None;
  std::size_t bytes = 0;  // header or pixel bytes present, for the short cases
  std::string why = {};   // for a missing or unreadable file, with the system's reason
};

// Reads the frame file `name` as the player's tick does, the pixel block
// into `pixels` (series::kFrameBytes long). A read error is one more fault of
// the file, not a failure of the check.
FrameCheck CheckFrameFile(const std::string& name, std::vector<unsigned char>& pixels);

// "missing", "short header (12 of 54 bytes)", …; "fine" for no fault.
std::string DescribeFrameCheck(const FrameCheck& check);

// How many frames had each fault (None: were fine).
using FrameFaultCounts = std::array<int, static_cast<std::size_t>(FrameFault::Count)>;
// Told each frame file with a fault, in frame order.
using FrameFaultSink = std::function<void(const std::string& name, const FrameCheck& check)>;

// Checks ROOT_FIRST.bmp to ROOT_LAST.bmp.
FrameFaultCounts CheckSeriesFrames(const std::string& root, int first, int last,
                                   const FrameFaultSink& faults);
