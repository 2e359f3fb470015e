#include "image/FrameFileCheck.h"

#include "base/BinaryFile.h"
#include "base/InputFile.h"
#include "image/BmpFile.h"
#include "image/SeriesFrames.h"

namespace {

FrameCheck FileProblem(const base::FileFault& fault) {
  const bool missing = fault.kind == base::FileFault::Kind::Missing;
  return {missing ? FrameFault::Missing : FrameFault::Unreadable, 0, fault.Describe()};
}

}  // namespace

FrameCheck CheckFrameFile(const std::string& name, std::vector<unsigned char>& pixels) {
  base::BinaryFile file;
  if (!file.Open(name.c_str(), base::BinaryFile::Mode::Read))  // folders and FIFOs are refused too
    return FileProblem(base::WhyNotOpened(name));
  // The file layer reports a read error as an exception; here it is one
  // more fault of the file, and the check goes on with the next.
  try {
    BmpHeaders headers;
    const BmpHeaderResult read = ReadBmpHeaders(file, headers);
    if (read.result == BmpHeaderRead::ShortHeader)
      return {FrameFault::ShortHeader, read.bytes};
    if (read.result == BmpHeaderRead::BadSignature)
      return {FrameFault::BadSignature};
    const std::size_t got = file.Read(pixels.data(), pixels.size());
    if (got < pixels.size())
      return {FrameFault::ShortPixels, got};
  } catch (const base::FileException& failure) {
    return FileProblem({base::FileFault::Kind::ReadError, failure.Error()});
  }
  return {};
}

std::string DescribeFrameCheck(const FrameCheck& check) {
  switch (check.fault) {
    case FrameFault::Missing:
    case FrameFault::Unreadable:
      return check.why;
    case FrameFault::ShortHeader:
      return "short header (" + std::to_string(check.bytes) + " of " +
             std::to_string(BMP_PIXEL_OFFSET) + " bytes)";
    case FrameFault::BadSignature:
      return "bad signature (not \"BM\")";
    case FrameFault::ShortPixels:
      return "short pixel block (" + std::to_string(check.bytes) + " of " +
             std::to_string(series::kFrameBytes) + " bytes)";
    default:
      return "fine";
  }
}

FrameFaultCounts CheckSeriesFrames(const std::string& root, int first, int last,
                                   const FrameFaultSink& faults) {
  std::vector<unsigned char> pixels(series::kFrameBytes);
  FrameFaultCounts counts{};
  // Counted wide, so that a series ending at INT_MAX ends too.
  for (std::int64_t frame = first; frame <= last; ++frame) {
    const std::string name = series::FrameFileName(root, static_cast<int>(frame));
    const FrameCheck check = CheckFrameFile(name, pixels);
    ++counts[static_cast<std::size_t>(check.fault)];
    if (check.fault != FrameFault::None)
      faults(name, check);
  }
  return counts;
}
