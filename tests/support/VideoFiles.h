#pragma once
// Videos for tests: one written from a function that gives each picture, and
// the frames a reader still gives, read back whole.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "video/VideoReader.h"
#include "video/VideoWriter.h"

namespace test_video {

// Writes picture(0) to picture(frames - 1) at `rate` frames a second, in the
// form the name's ending chooses; what went wrong, or nothing.
template <typename MakePicture>
std::optional<std::string> WriteVideo(const std::string& path, int width, int height, int rate,
                                      int frames, MakePicture picture,
                                      video::FrameLayout layout = video::FrameLayout::BottomUpBgr) {
  video::VideoWriter writer;
  if (auto problem = writer.Open(path, width, height, rate, layout))
    return problem;
  for (int i = 0; i < frames; ++i) {
    if (auto problem = writer.WriteFrame(picture(i)))
      return problem;
  }
  return writer.Finish();
}

// The frames the reader gives from here to the end of the stream, at most
// `most` of them, so that a stream that never ends cannot hang a test.
inline std::vector<std::vector<std::uint8_t>> ReadFrames(video::VideoReader& reader,
                                                         std::size_t most = 2000) {
  std::vector<std::vector<std::uint8_t>> frames;
  std::vector<std::uint8_t> rgb;
  while (frames.size() < most && reader.ReadFrame(rgb))
    frames.push_back(rgb);
  return frames;
}

}  // namespace test_video
