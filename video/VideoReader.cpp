#include "video/VideoReader.h"

#include <cstdint>

#include "video/LibraryObjects.h"
#include "video/VideoError.h"

namespace video {
namespace {

struct InputClose {
  void operator()(AVFormatContext* format) const { avformat_close_input(&format); }
};

// Pictures larger than this are refused rather than allocated: a damaged
// file may claim any size.
constexpr int kMaxSide = 16384;

}  // namespace

struct VideoReader::State {
  std::unique_ptr<AVFormatContext, InputClose> format;
  CodecPtr codec;
  FramePtr frame;
  PacketPtr packet;
  ScalePtr scale;
  int scaleFormat = -1;
  int outputWidth = 0;
  int outputHeight = 0;
  PixelOrder order = PixelOrder::Rgb;
  int stream = -1;
  bool draining = false;
  bool ended = false;
  VideoInfo info;
  std::string path;
  std::optional<std::string> problem;

  std::string Problem(std::string_view what, int code) const {
    return "cannot read " + path + ": " + std::string(what) + ": " + ErrorText(code);
  }

  // Converts the decoded frame into rows `stride` bytes apart; false on a
  // frame of another size or a conversion the library refuses.
  bool Convert(std::uint8_t* rgb, std::size_t stride) {
    const AVFrame& decoded = *frame;
    if (decoded.width != info.width || decoded.height != info.height) {
      problem = "cannot read " + path + ": the picture size changes inside the stream";
      return false;
    }
    if (!scale || scaleFormat != decoded.format) {
      scale.reset(sws_getContext(
          info.width, info.height, static_cast<AVPixelFormat>(decoded.format), outputWidth,
          outputHeight, order == PixelOrder::Bgr ? AV_PIX_FMT_BGR24 : AV_PIX_FMT_RGB24, SWS_BICUBIC,
          nullptr, nullptr, nullptr));
      scaleFormat = decoded.format;
      if (!scale) {
        problem = Problem("the colour conversion", AVERROR(EINVAL));
        return false;
      }
    }
    std::uint8_t* const target[1] = {rgb};
    const int targetStride[1] = {static_cast<int>(stride)};
    sws_scale(scale.get(), decoded.data, decoded.linesize, 0, info.height, target, targetStride);
    return true;
  }

  // Decodes the next frame into `frame`: true when one came, false at the
  // end of the stream or on an error, which `problem` then names.
  bool Decode() {
    if (!codec || ended || problem)
      return false;
    for (;;) {
      int result = avcodec_receive_frame(codec.get(), frame.get());
      if (result >= 0)
        return true;
      if (result == AVERROR_EOF) {
        ended = true;
        return false;
      }
      if (result != AVERROR(EAGAIN)) {
        problem = Problem("decoding", result);
        return false;
      }
      if (draining) {
        ended = true;
        return false;
      }
      // The decoder wants more: the next packet of the stream, or the end.
      for (;;) {
        result = av_read_frame(format.get(), packet.get());
        if (result < 0) {
          if (result != AVERROR_EOF) {
            problem = Problem("reading", result);
            return false;
          }
          draining = true;
          avcodec_send_packet(codec.get(), nullptr);
          break;
        }
        const bool ours = packet->stream_index == stream;
        if (ours)
          result = avcodec_send_packet(codec.get(), packet.get());
        av_packet_unref(packet.get());
        if (!ours)
          continue;
        if (result < 0 && result != AVERROR(EAGAIN)) {
          problem = Problem("decoding", result);
          return false;
        }
        break;
      }
    }
  }
};

VideoReader::VideoReader() : m_state(std::make_unique<State>()) {}
VideoReader::~VideoReader() = default;

const VideoInfo& VideoReader::Info() const {
  return m_state->info;
}

const std::optional<std::string>& VideoReader::Problem() const {
  return m_state->problem;
}

std::optional<std::string> VideoReader::Open(const std::string& path) {
  m_state = std::make_unique<State>();
  SilenceLibraryLog();
  State& state = *m_state;
  state.path = path;
  // The name is a file's, never a protocol's ("pipe:", "http:"), and the
  // file may not pull in others (a playlist's entries).
  AVFormatContext* format = nullptr;
  AVDictionary* options = nullptr;
  av_dict_set(&options, "protocol_whitelist", "file", 0);
  int result = avformat_open_input(&format, ("file:" + path).c_str(), nullptr, &options);
  av_dict_free(&options);
  if (result < 0)
    return state.Problem("not a video the libraries open", result);
  state.format.reset(format);
  if ((result = avformat_find_stream_info(format, nullptr)) < 0)
    return state.Problem("no stream information", result);
  const AVCodec* decoder = nullptr;
  state.stream = av_find_best_stream(format, AVMEDIA_TYPE_VIDEO, -1, -1, &decoder, 0);
  if (state.stream < 0 || decoder == nullptr)
    return state.Problem("no video stream",
                         state.stream < 0 ? state.stream : AVERROR_DECODER_NOT_FOUND);
  const AVStream* stream = format->streams[state.stream];

  state.codec.reset(avcodec_alloc_context3(decoder));
  if (!state.codec)
    return state.Problem("memory", AVERROR(ENOMEM));
  if ((result = avcodec_parameters_to_context(state.codec.get(), stream->codecpar)) < 0)
    return state.Problem("the stream's parameters", result);
  // Decoding may use every core; frames still come out in order.
  state.codec->thread_count = 0;
  if ((result = avcodec_open2(state.codec.get(), decoder, nullptr)) < 0)
    return state.Problem("the decoder", result);
  const int width = state.codec->width;
  const int height = state.codec->height;
  if (width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide)
    return "cannot read " + path + ": a picture of " + std::to_string(width) + " x " +
           std::to_string(height) + " pixels is not read";
  state.frame.reset(av_frame_alloc());
  state.packet.reset(av_packet_alloc());
  if (!state.frame || !state.packet)
    return state.Problem("memory", AVERROR(ENOMEM));

  state.info.width = width;
  state.info.height = height;
  state.outputWidth = width;
  state.outputHeight = height;
  state.info.rateNumerator = stream->avg_frame_rate.num;
  state.info.rateDenominator = stream->avg_frame_rate.den > 0 ? stream->avg_frame_rate.den : 1;
  state.info.timeBaseNumerator = stream->time_base.num;
  state.info.timeBaseDenominator = stream->time_base.den > 0 ? stream->time_base.den : 1;
  state.info.codec = decoder->name;
  state.info.declaredFrames = stream->nb_frames > 0 ? stream->nb_frames : 0;
  const AVRational rate = stream->avg_frame_rate;
  if (state.info.declaredFrames == 0 && rate.num > 0 && rate.den > 0) {
    // The video stream's own duration, else the container's (which may
    // include a longer sound track), at the stream's rate.
    double seconds = 0.0;
    if (stream->duration > 0 && stream->time_base.den > 0)
      seconds =
          static_cast<double>(stream->duration) * stream->time_base.num / stream->time_base.den;
    else if (format->duration > 0)
      seconds = static_cast<double>(format->duration) / AV_TIME_BASE;
    const double frames = seconds * rate.num / rate.den;
    if (frames > 0.0 && frames < 1e12)
      state.info.declaredFrames = static_cast<std::int64_t>(frames + 0.5);
  }
  return std::nullopt;
}

bool VideoReader::SetOutputSize(int width, int height) {
  if (width < 1 || height < 1 || width > kMaxSide || height > kMaxSide)
    return false;
  State& state = *m_state;
  if (width != state.outputWidth || height != state.outputHeight)
    state.scale.reset();
  state.outputWidth = width;
  state.outputHeight = height;
  return true;
}

void VideoReader::SetPixelOrder(PixelOrder order) {
  State& state = *m_state;
  if (order != state.order)
    state.scale.reset();
  state.order = order;
}

int VideoReader::OutputWidth() const {
  return m_state->outputWidth;
}

int VideoReader::OutputHeight() const {
  return m_state->outputHeight;
}

bool VideoReader::ReadFrame(std::vector<std::uint8_t>& rgb) {
  State& state = *m_state;
  if (!state.Decode())
    return false;
  const std::size_t stride = static_cast<std::size_t>(state.outputWidth) * 3;
  rgb.resize(stride * static_cast<std::size_t>(state.outputHeight));
  return state.Convert(rgb.data(), stride);
}

bool VideoReader::ReadFrame(std::span<std::uint8_t> rgb, std::size_t stride) {
  State& state = *m_state;
  const std::size_t rowBytes = static_cast<std::size_t>(state.outputWidth) * 3;
  const auto rows = static_cast<std::size_t>(state.outputHeight);
  if (state.outputHeight < 1 || stride < rowBytes || stride > static_cast<std::size_t>(INT32_MAX) ||
      rgb.size() < stride * (rows - 1) + rowBytes) {
    state.problem = "cannot read " + state.path + ": a frame does not fit the buffer given";
    return false;
  }
  return state.Decode() && state.Convert(rgb.data(), stride);
}

bool VideoReader::SkipFrame() {
  return m_state->Decode();
}

}  // namespace video
