#include "player/PlaybackCore.h"

#include <cerrno>
#include <cstdio>

#include "base/BinaryFile.h"
#include "base/Trace.h"
#include "image/BmpFile.h"
#include "image/SeriesFrames.h"
#include "player/TrackOverlays.h"

FrameResult PlayFrame(std::span<char> fileName, std::string_view root, int frame,
                      std::span<std::uint8_t> pixels, int width, const CTrackSet& tracks,
                      OverlaySwitches overlays) {
  // A name that does not fit cannot name a frame file.
  if (series::FormatFrameFileName(fileName, root, frame) < 0)
    return {FrameOutcome::NameTooLong};

  // The open's own reason; 0 when a file was there but was no regular file.
  base::BinaryFile file;
  errno = 0;
  if (!file.Open(fileName.data(), base::BinaryFile::Mode::Read))
    return {FrameOutcome::Missing, errno};
  base::Trace("filename: %s\n", fileName.data());

  // Short headers or a missing signature change nothing: the caller tries
  // the same file again.
  BmpHeaders headers;
  if (ReadBmpHeaders(file, headers).result != BmpHeaderRead::Complete)
    return {FrameOutcome::Unreadable};
  // The pixels follow byte 54 whatever the headers say.
  file.Read(pixels.data(), pixels.size());
  file.Close();

  if (overlays.trails && overlays.paintedTrails != nullptr)
    overlays.paintedTrails->Apply(pixels);
  else if (overlays.trails)
    DrawTrails(pixels, width, tracks);
  if (overlays.markers)
    DrawMarkers(pixels, width, frame, tracks);
  return {FrameOutcome::Shown};
}
