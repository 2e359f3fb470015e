#include "video/FrameScale.h"

#include <new>

extern "C" {
#include <libavutil/pixdesc.h>
}

#include "video/VideoError.h"

namespace video {
namespace {

// Smooth scaling that averages when it shrinks, as the picture importer's.
// Accurate rounding keeps every conversion on the one exact path: the
// library's fast converter for an unscaled picture rounds otherwise, so a
// part would differ from the same pixels of the whole picture.
constexpr int kScaleFlags = SWS_AREA | SWS_ACCURATE_RND;

bool IsYuv(const AVPixFmtDescriptor& desc) {
  return (desc.flags & AV_PIX_FMT_FLAG_RGB) == 0 && desc.nb_components >= 3;
}

// The formats that are full-range by their name rather than by a flag.
bool IsFullRangeFormat(AVPixelFormat format) {
  switch (format) {
    case AV_PIX_FMT_YUVJ420P:
    case AV_PIX_FMT_YUVJ422P:
    case AV_PIX_FMT_YUVJ444P:
    case AV_PIX_FMT_YUVJ440P:
    case AV_PIX_FMT_YUVJ411P:
      return true;
    default:
      return false;
  }
}

// The colour matrix and range the stream says it uses (BT.709 for most HD
// video); the library's default, BT.601, otherwise.
void UseStreamColours(SwsContext* scale, const AVFrame& decoded) {
  const AVPixelFormat format = static_cast<AVPixelFormat>(decoded.format);
  const AVPixFmtDescriptor* desc = av_pix_fmt_desc_get(format);
  if (desc == nullptr || !IsYuv(*desc))
    return;
  int* inverse = nullptr;
  int sourceRange = 0;
  int* table = nullptr;
  int targetRange = 0;
  int brightness = 0;
  int contrast = 0;
  int saturation = 0;
  if (sws_getColorspaceDetails(scale, &inverse, &sourceRange, &table, &targetRange, &brightness,
                               &contrast, &saturation) < 0)
    return;
  const int* coefficients = sws_getCoefficients(decoded.colorspace == AVCOL_SPC_UNSPECIFIED
                                                    ? SWS_CS_DEFAULT
                                                    : static_cast<int>(decoded.colorspace));
  sourceRange = decoded.color_range == AVCOL_RANGE_JPEG || IsFullRangeFormat(format) ? 1 : 0;
  sws_setColorspaceDetails(scale, coefficients, sourceRange, table, targetRange, brightness,
                           contrast, saturation);
}

}  // namespace

void FrameScaler::SetPart(const FramePart& part) {
  m_part = part;
  m_format = -1;
}

void FrameScaler::SetOrder(PixelOrder order) {
  const AVPixelFormat output = order == PixelOrder::Bgr ? AV_PIX_FMT_BGR24 : AV_PIX_FMT_RGB24;
  if (output != m_output)
    m_format = -1;
  m_output = output;
}

std::optional<std::string> FrameScaler::Prepare(const AVFrame& decoded) {
  const AVPixelFormat format = static_cast<AVPixelFormat>(decoded.format);
  const AVPixFmtDescriptor* desc = av_pix_fmt_desc_get(format);
  const std::string refused = "the colour conversion from " +
                              std::string(desc ? desc->name : "an unknown pixel format") +
                              " cannot be set up";
  if (desc == nullptr)
    return refused;
  // Plane pointers can move to the part's corner when it lies on the colour
  // sampling grid (always for the whole picture) and pixels are whole bytes.
  const int stepX = 1 << desc->log2_chroma_w;
  const int stepY = 1 << desc->log2_chroma_h;
  m_direct = (m_part.x == 0 && m_part.y == 0) ||
             ((desc->flags & (AV_PIX_FMT_FLAG_BITSTREAM | AV_PIX_FMT_FLAG_HWACCEL)) == 0 &&
              m_part.x % stepX == 0 && m_part.y % stepY == 0);
  m_toRgb.reset();
  m_whole.clear();
  if (m_direct) {
    m_scale.reset(sws_getContext(m_part.width, m_part.height, format, m_part.outWidth,
                                 m_part.outHeight, m_output, kScaleFlags, nullptr, nullptr,
                                 nullptr));
    if (!m_scale)
      return refused;
    UseStreamColours(m_scale.get(), decoded);
    m_format = decoded.format;
    return std::nullopt;
  }
  m_toRgb.reset(sws_getContext(decoded.width, decoded.height, format, decoded.width, decoded.height,
                               AV_PIX_FMT_RGB24, kScaleFlags, nullptr, nullptr, nullptr));
  m_scale.reset(sws_getContext(m_part.width, m_part.height, AV_PIX_FMT_RGB24, m_part.outWidth,
                               m_part.outHeight, m_output, kScaleFlags, nullptr, nullptr, nullptr));
  if (!m_toRgb || !m_scale)
    return refused;
  UseStreamColours(m_toRgb.get(), decoded);
  try {
    m_whole.resize(static_cast<std::size_t>(decoded.width) * decoded.height * 3);
  } catch (const std::bad_alloc&) {
    return "no memory for a picture of " + std::to_string(decoded.width) + " x " +
           std::to_string(decoded.height) + " pixels";
  }
  m_format = decoded.format;
  return std::nullopt;
}

std::optional<std::string> FrameScaler::Convert(AVFrame& decoded, std::vector<std::uint8_t>& rgb) {
  if (m_part.outWidth < 1 || m_part.outHeight < 1)
    return "the part asked for does not lie inside the picture";
  rgb.resize(static_cast<std::size_t>(m_part.outWidth) * m_part.outHeight * 3);
  return Convert(decoded, rgb.data(), static_cast<std::size_t>(m_part.outWidth) * 3);
}

std::optional<std::string> FrameScaler::Convert(AVFrame& decoded, std::uint8_t* rows,
                                                std::size_t stride) {
  if (m_part.width < 1 || m_part.height < 1 || m_part.outWidth < 1 || m_part.outHeight < 1 ||
      m_part.x < 0 || m_part.y < 0 || m_part.x > decoded.width - m_part.width ||
      m_part.y > decoded.height - m_part.height)
    return "the part asked for does not lie inside the picture";
  if (m_format != decoded.format) {
    m_format = -1;
    if (auto problem = Prepare(decoded))
      return problem;
  }
  std::uint8_t* const target[4] = {rows, nullptr, nullptr, nullptr};
  const int targetStride[4] = {static_cast<int>(stride), 0, 0, 0};
  if (m_direct) {
    if (m_part.x != 0 || m_part.y != 0) {
      decoded.crop_left = static_cast<std::size_t>(m_part.x);
      decoded.crop_top = static_cast<std::size_t>(m_part.y);
      decoded.crop_right = static_cast<std::size_t>(decoded.width - m_part.x - m_part.width);
      decoded.crop_bottom = static_cast<std::size_t>(decoded.height - m_part.y - m_part.height);
      if (const int result = av_frame_apply_cropping(&decoded, AV_FRAME_CROP_UNALIGNED); result < 0)
        return "the crop: " + ErrorText(result);
    }
    sws_scale(m_scale.get(), decoded.data, decoded.linesize, 0, m_part.height, target,
              targetStride);
    return std::nullopt;
  }
  std::uint8_t* const whole[4] = {m_whole.data(), nullptr, nullptr, nullptr};
  const int wholeStride[4] = {decoded.width * 3, 0, 0, 0};
  sws_scale(m_toRgb.get(), decoded.data, decoded.linesize, 0, decoded.height, whole, wholeStride);
  const std::uint8_t* const corner[4] = {
      m_whole.data() + (static_cast<std::size_t>(m_part.y) * decoded.width + m_part.x) * 3, nullptr,
      nullptr, nullptr};
  sws_scale(m_scale.get(), corner, wholeStride, 0, m_part.height, target, targetStride);
  return std::nullopt;
}

}  // namespace video
