#pragma once
// Writes frame buffers as a video file: rows of blue-green-red pixels,
// bottom-up (the player's layout) or top-down (a review's), of any size, in
// one of two forms chosen by the file's extension:
//   .mkv  FFV1 in Matroska: lossless; decoded, every frame is the buffer
//         given, byte for byte (stored as 8-bit blue-green-red-pad, no
//         colour conversion at all);
//   .mp4  H.264 in MP4, yuv420p, for sharing: constant quality 18 (small
//         coloured details such as 3 x 3 trail squares stay visible), the
//         index at the front of the file so that it plays while loading.
// The file is written under a temporary name beside it and renamed when
// Finish succeeds; until then, and after any failure, nothing stands under
// the final name, and the temporary file is removed when the writer goes.

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace video {

enum class VideoKind { LosslessMkv, SharedMp4 };

// The order of the rows of the frames given to WriteFrame; blue, green, red
// bytes either way, rows width x 3 bytes apart.
enum class FrameLayout { BottomUpBgr, TopDownBgr };

// The kind a file name asks for, by its extension; nothing for others.
std::optional<VideoKind> KindOfVideoFile(std::string_view path);
// The extensions understood, for messages: ".mkv (lossless FFV1), .mp4 (H.264)".
std::string_view SupportedVideoExtensions();

class VideoWriter {
 public:
  VideoWriter();
  ~VideoWriter();
  VideoWriter(const VideoWriter&) = delete;
  VideoWriter& operator=(const VideoWriter&) = delete;

  // Starts the video `path` for frames of width x height pixels shown at
  // `rate` frames per second, laid out as `layout` says. Returns what went
  // wrong, or nothing.
  std::optional<std::string> Open(const std::string& path, int width, int height, int rate,
                                  FrameLayout layout = FrameLayout::BottomUpBgr);

  // Adds one frame; `pixels` holds at least width x height x 3 bytes.
  std::optional<std::string> WriteFrame(std::span<const std::uint8_t> pixels);

  // Ends the video and puts it under its name.
  std::optional<std::string> Finish();

  int FramesWritten() const;

 private:
  struct State;
  std::unique_ptr<State> m_state;
};

}  // namespace video
