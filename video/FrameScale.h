#pragma once
// Decoded video pictures into packed top-down red-green-blue (or
// blue-green-red) rows of the part a caller wants at the size it wants, in one pass of the colour
// conversion straight from the decoder's own pixel format: no whole-picture copy, no allocation per
// frame. Only a part whose corner lies off the format's colour sampling grid (an odd corner of a
// 4:2:0 picture) goes through a whole-picture red-green-blue copy first, so that its colour is
// exact too.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "video/LibraryObjects.h"
#include "video/VideoReader.h"

namespace video {

class FrameScaler {
 public:
  // The part of every later picture (of the given size) that Convert gives.
  void SetPart(const FramePart& part);
  const FramePart& Part() const { return m_part; }
  // The byte order of the pixels Convert gives; red, green, blue unless told.
  void SetOrder(PixelOrder order);

  // Converts `decoded`, a picture of the size given to SetPart, into rgb
  // (resized to outWidth x outHeight x 3). May crop `decoded` in place.
  // Returns what went wrong, or nothing.
  std::optional<std::string> Convert(AVFrame& decoded, std::vector<std::uint8_t>& rgb);
  // The same into rows `stride` bytes apart (at least outWidth x 3) from
  // `rows`, which must hold outHeight of them.
  std::optional<std::string> Convert(AVFrame& decoded, std::uint8_t* rows, std::size_t stride);

 private:
  // Makes the contexts for the decoded picture's format; why it cannot.
  std::optional<std::string> Prepare(const AVFrame& decoded);

  FramePart m_part;
  AVPixelFormat m_output = AV_PIX_FMT_RGB24;
  int m_format = -1;  // the pixel format the contexts below were made for
  bool m_direct = false;
  ScalePtr m_scale;  // the decoder's format (or the whole copy) to the part
  ScalePtr m_toRgb;  // the decoder's format to the whole copy, when needed
  std::vector<std::uint8_t> m_whole;
};

}  // namespace video
