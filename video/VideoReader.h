#pragma once
// Reads the frames of a video file (anything FFmpeg's libraries open: MP4,
// MKV, AVI, ...) one after the other as pictures of top-down rows of
// red-green-blue pixels (or blue-green-red ones), rows of exactly width x 3
// bytes: the whole picture, or a part of it scaled to a size the caller
// chooses.

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace video {

// The most pixels a decoded picture may have (8192 x 8192); no side may pass
// 16384. A larger size is refused from the file's header, before anything is
// decoded: a damaged or hostile file may claim any size in a few bytes.
inline constexpr std::int64_t kMaxFramePixels = std::int64_t{1} << 26;
inline constexpr int kMaxFrameSide = 16384;

// Why a picture of width x height pixels is not decoded (a size below 1, or
// beyond the bound, named with the bound), or nothing. The picture importer
// applies the same bound.
std::optional<std::string> DecodedSizeProblem(int width, int height);

// The rectangle (x, y, width, height) of the picture that ReadFrame gives,
// scaled to outWidth x outHeight (smoothly, averaging when it shrinks).
struct FramePart {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
  int outWidth = 0;
  int outHeight = 0;
};

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
  // times the frame rate; 0 when it says neither. An estimate for progress
  // only: edit lists, variable rates and joined streams make it wrong.
  std::int64_t declaredFrames = 0;
  // The length of the video stream in seconds as the file records it: the
  // stream's own duration, else the container's when no other sound or
  // video stream may have made it longer. 0 when the file records none that
  // can be trusted (a length guessed from the bit rate, for one).
  double declaredSeconds = 0.0;
  // The time of one frame at the average rate; 0 when the rate is unknown.
  double frameSeconds = 0.0;
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

  // From the next frame on, frames come as `part` of the picture; until
  // then, the whole picture at its size. Returns why the part cannot be
  // given (outside the picture, a size below 1 or above the bound).
  std::optional<std::string> SetPart(const FramePart& part);
  const FramePart& Part() const;
  // From the next frame on, the bytes of a pixel come in this order (red,
  // green, blue until told).
  void SetPixelOrder(PixelOrder order);

  // The next frame into `rgb` (resized to the part's outWidth x outHeight x
  // 3): true when a frame came, false at the end of the stream or on an
  // error, which Problem() then names.
  bool ReadFrame(std::vector<std::uint8_t>& rgb);
  // The same into rows `stride` bytes apart (at least outWidth x 3) of
  // `rows`, which must hold them all (a span too small is a problem:
  // nothing more is read).
  bool ReadFrame(std::span<std::uint8_t> rows, std::size_t stride);
  // Decodes the next frame and drops it, without the colour conversion.
  bool SkipFrame();
  const std::optional<std::string>& Problem() const;

  // Seconds from the stream's start to the end of the latest frame read
  // (the largest timestamp so far plus that frame's duration); 0 before the
  // first frame.
  double ReachedSeconds() const;

 private:
  struct State;
  std::unique_ptr<State> m_state;
};

}  // namespace video
