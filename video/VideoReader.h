#pragma once
// Reads the frames of a video file (anything FFmpeg's libraries open: MP4,
// MKV, AVI, ...) one after the other as pictures of top-down rows of
// red-green-blue pixels (or blue-green-red ones), rows of exactly width x 3
// bytes, at the video's own size or scaled to another.

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace video {

enum class PixelOrder { Rgb, Bgr };

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

  // Gives the frames read from now on scaled (smoothly) to width x height
  // pixels, each at least 1 and at most the size a video may have; false,
  // changing nothing, for other sizes. Info() keeps the video's own size.
  bool SetOutputSize(int width, int height);
  // Gives the frames read from now on with their bytes in this order (red,
  // green, blue unless told).
  void SetPixelOrder(PixelOrder order);
  int OutputWidth() const;
  int OutputHeight() const;

  // The next frame into `rgb` (resized to the output size x 3): true when a
  // frame came, false at the end of the stream or on an error, which
  // Problem() then names.
  bool ReadFrame(std::vector<std::uint8_t>& rgb);
  // The same into rows `stride` bytes apart (at least the output width x 3)
  // of `rgb`, which must hold them all (a buffer too small is a problem:
  // nothing more is read).
  bool ReadFrame(std::span<std::uint8_t> rgb, std::size_t stride);
  // Decodes the next frame and drops it, without the colour conversion.
  bool SkipFrame();
  const std::optional<std::string>& Problem() const;

 private:
  struct State;
  std::unique_ptr<State> m_state;
};

}  // namespace video
