#pragma once
// Reads the frames of a video file (anything FFmpeg's libraries open: MP4,
// MKV, AVI, ...) one after the other as pictures of top-down rows of
// red-green-blue pixels, rows of exactly width x 3 bytes.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace video {

struct VideoInfo {
  int width = 0;
  int height = 0;
  // The stream's average frame rate as a fraction (0/1 when unknown) and its
  // time base, the unit of its timestamps.
  int rateNumerator = 0;
  int rateDenominator = 1;
  int timeBaseNumerator = 0;
  int timeBaseDenominator = 1;
  std::string codec;  // the decoder's short name: "h264", "ffv1", ...
  // The number of frames the container declares, or else its duration
  // times the frame rate; 0 when it says neither.
  std::int64_t declaredFrames = 0;
};

class VideoReader {
 public:
  VideoReader();
  ~VideoReader();
  VideoReader(const VideoReader&) = delete;
  VideoReader& operator=(const VideoReader&) = delete;

  // Opens the file and its best video stream. Returns what went wrong (with
  // the library's reason), or nothing.
  std::optional<std::string> Open(const std::string& path);
  const VideoInfo& Info() const;

  // The next frame into `rgb` (resized to width x height x 3): true when a
  // frame came, false at the end of the stream or on an error, which
  // Problem() then names.
  bool ReadFrame(std::vector<std::uint8_t>& rgb);
  const std::optional<std::string>& Problem() const;

 private:
  struct State;
  std::unique_ptr<State> m_state;
};

}  // namespace video
