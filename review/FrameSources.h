#pragma once
// The source pictures of a review, at their own size or scaled: the files of
// a picture series (decoded by whatever decoder the caller hands in, so this
// library needs no image library of its own) or the frames of a video file.

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "review/Canvas.h"
#include "video/VideoReader.h"

namespace review {

class FrameSource {
 public:
  virtual ~FrameSource() = default;
  // The size of the pictures Read gives.
  virtual int Width() const = 0;
  virtual int Height() const = 0;
  // Whether frames must be read one call at a time, in increasing order (a
  // video stream); otherwise Read may run on several threads at once, in
  // any order.
  virtual bool Sequential() const = 0;
  // Puts frame `index` (0 for the source's first) into the top-left
  // Width() x Height() pixels of `canvas`, which must be at least that
  // large. Returns why it cannot, or nothing.
  virtual std::optional<std::string> Read(int index, Canvas canvas) = 0;
};

// Decodes the picture file `path` scaled to width x height into the top-left
// pixels of `canvas`. Returns the reason when it cannot. Called from several
// threads at once.
using PictureDecoder = std::function<std::optional<std::string>(const std::string& path, int width,
                                                                int height, Canvas canvas)>;

class PictureSeriesSource : public FrameSource {
 public:
  PictureSeriesSource(std::vector<std::string> paths, int width, int height, PictureDecoder decode);

  int Width() const override { return m_width; }
  int Height() const override { return m_height; }
  bool Sequential() const override { return false; }
  std::optional<std::string> Read(int index, Canvas canvas) override;
  int Count() const { return static_cast<int>(m_paths.size()); }

 private:
  std::vector<std::string> m_paths;
  int m_width = 0;
  int m_height = 0;
  PictureDecoder m_decode;
};

class VideoFileSource : public FrameSource {
 public:
  // Opens the video. Returns what went wrong, or nothing.
  std::optional<std::string> Open(const std::string& path);
  // Gives its frames at width x height pixels from now on; false, changing
  // nothing, for a size a video cannot have.
  bool Scale(int width, int height);
  const video::VideoInfo& Info() const { return m_reader.Info(); }

  int Width() const override { return m_reader.Part().outWidth; }
  int Height() const override { return m_reader.Part().outHeight; }
  bool Sequential() const override { return true; }
  // Frames before `index` not read yet are decoded and dropped; asking for
  // a frame already passed is a problem.
  std::optional<std::string> Read(int index, Canvas canvas) override;
  // The number of frames the video turned out to hold, once a Read met its
  // end; nothing before.
  std::optional<int> FramesHeld() const { return m_held; }

 private:
  video::VideoReader m_reader;
  std::string m_path;
  int m_next = 0;  // the index of the frame the reader gives next
  std::optional<int> m_held;
};

// The size a picture of width x height has at `scale`: each side rounded to
// the nearest whole pixel and at least 1.
std::pair<int, int> ScaledSize(int width, int height, double scale);

}  // namespace review
