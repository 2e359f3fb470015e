#include "video/VideoReader.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <utility>

#include "video/FrameScale.h"
#include "video/LibraryObjects.h"
#include "video/VideoError.h"

namespace video {
namespace {

struct InputClose {
  void operator()(AVFormatContext* format) const { avformat_close_input(&format); }
};

// One set of options per stream, for the decoders the stream probe opens;
// freed on every way out.
class StreamOptions {
 public:
  explicit StreamOptions(unsigned streams) : m_options(streams, nullptr) {}
  ~StreamOptions() {
    for (AVDictionary*& options : m_options)
      av_dict_free(&options);
  }
  StreamOptions(const StreamOptions&) = delete;
  StreamOptions& operator=(const StreamOptions&) = delete;
  void SetAll(const char* key, const char* value) {
    for (AVDictionary*& options : m_options)
      av_dict_set(&options, key, value, 0);
  }
  AVDictionary** Data() { return m_options.empty() ? nullptr : m_options.data(); }

 private:
  std::vector<AVDictionary*> m_options;
};

double Seconds(std::int64_t ticks, AVRational timeBase) {
  return timeBase.den > 0 ? static_cast<double>(ticks) * timeBase.num / timeBase.den : 0.0;
}

// A per-track duration some muxers record as a tag ("00:01:02.500000000").
double TaggedSeconds(const AVStream& stream) {
  const AVDictionaryEntry* tag = av_dict_get(stream.metadata, "DURATION", nullptr, 0);
  unsigned hours = 0;
  unsigned minutes = 0;
  double seconds = 0.0;
  if (tag == nullptr || std::sscanf(tag->value, "%u:%u:%lf", &hours, &minutes, &seconds) != 3 ||
      minutes >= 60 || seconds < 0.0 || seconds >= 60.0)
    return 0.0;
  return hours * 3600.0 + minutes * 60.0 + seconds;
}

// The stream's length as the file records it (see VideoInfo::declaredSeconds).
double DeclaredSeconds(const AVFormatContext& format, const AVStream& stream) {
  if (format.duration_estimation_method == AVFMT_DURATION_FROM_BITRATE)
    return 0.0;
  if (stream.duration > 0 && stream.duration != AV_NOPTS_VALUE)
    return Seconds(stream.duration, stream.time_base);
  if (const double tagged = TaggedSeconds(stream); tagged > 0.0)
    return tagged;
  for (unsigned i = 0; i < format.nb_streams; ++i) {
    const AVMediaType type = format.streams[i]->codecpar->codec_type;
    if (format.streams[i] != &stream && (type == AVMEDIA_TYPE_AUDIO || type == AVMEDIA_TYPE_VIDEO))
      return 0.0;
  }
  return format.duration > 0 ? static_cast<double>(format.duration) / AV_TIME_BASE : 0.0;
}

}  // namespace

std::optional<std::string> DecodedSizeProblem(int width, int height) {
  const std::string size = std::to_string(width) + " x " + std::to_string(height) + " pixels";
  if (width <= 0 || height <= 0)
    return "a picture of " + size + " is not read";
  if (width > kMaxFrameSide || height > kMaxFrameSide)
    return "a picture of " + size + " has a side above the " + std::to_string(kMaxFrameSide) +
           " pixels decoded at most";
  if (std::int64_t{width} * height > kMaxFramePixels)
    return "a picture of " + size + " is more than the " + std::to_string(kMaxFramePixels) +
           " pixels (8192 x 8192) decoded at most";
  return std::nullopt;
}

struct VideoReader::State {
  std::unique_ptr<AVFormatContext, InputClose> format;
  CodecPtr codec;
  FramePtr frame;
  PacketPtr packet;
  FrameScaler scaler;
  int stream = -1;
  AVRational timeBase{0, 1};
  std::int64_t startTime = AV_NOPTS_VALUE;
  double reached = 0.0;
  bool draining = false;
  bool ended = false;
  VideoInfo info;
  std::string path;
  std::optional<std::string> problem;

  std::string Problem(std::string_view what, int code) const {
    return "cannot read " + path + ": " + std::string(what) + ": " + ErrorText(code);
  }

  // How far the decoded frame reaches into the stream.
  void Reach(const AVFrame& decoded) {
    const std::int64_t at = decoded.best_effort_timestamp;
    if (at == AV_NOPTS_VALUE)
      return;
    if (startTime == AV_NOPTS_VALUE)
      startTime = at;
    const double length =
        decoded.pkt_duration > 0 ? Seconds(decoded.pkt_duration, timeBase) : info.frameSeconds;
    reached = std::max(reached, Seconds(at - startTime, timeBase) + length);
  }

  // Takes the decoded frame: false on a frame of another size.
  bool Accept() {
    AVFrame& decoded = *frame;
    if (decoded.width != info.width || decoded.height != info.height) {
      problem = "cannot read " + path + ": the picture size changes inside the stream";
      return false;
    }
    Reach(decoded);
    return true;
  }

  // Converts the decoded frame into `rgb` or into rows `stride` bytes apart;
  // false on a frame of another size or a conversion the library refuses.
  template <typename... Target>
  bool Convert(Target&&... target) {
    if (!Accept())
      return false;
    if (auto why = scaler.Convert(*frame, std::forward<Target>(target)...)) {
      problem = "cannot read " + path + ": " + *why;
      return false;
    }
    return true;
  }

  // Decodes the next frame into `frame`: true when one came, false at the
  // end of the stream or on an error, which `problem` then names.
  bool Decode();
};

VideoReader::VideoReader() : m_state(std::make_unique<State>()) {}
VideoReader::~VideoReader() = default;

const VideoInfo& VideoReader::Info() const {
  return m_state->info;
}

const std::optional<std::string>& VideoReader::Problem() const {
  return m_state->problem;
}

double VideoReader::ReachedSeconds() const {
  return m_state->reached;
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
  // The sizes the headers declare, before the probe: a decoder it opens
  // forgets a size beyond the bound.
  std::vector<std::pair<int, int>> headerSizes;
  for (unsigned i = 0; i < format->nb_streams; ++i)
    headerSizes.emplace_back(format->streams[i]->codecpar->width,
                             format->streams[i]->codecpar->height);
  // The probe decodes a few frames of every stream: no decoder it opens
  // makes a picture beyond the bound either.
  const std::string maxPixels = std::to_string(kMaxFramePixels);
  {
    StreamOptions probeOptions(format->nb_streams);
    probeOptions.SetAll("max_pixels", maxPixels.c_str());
    if ((result = avformat_find_stream_info(format, probeOptions.Data())) < 0)
      return state.Problem("no stream information", result);
  }
  const AVCodec* decoder = nullptr;
  state.stream = av_find_best_stream(format, AVMEDIA_TYPE_VIDEO, -1, -1, &decoder, 0);
  if (state.stream < 0 || decoder == nullptr)
    return state.Problem("no video stream",
                         state.stream < 0 ? state.stream : AVERROR_DECODER_NOT_FOUND);
  const AVStream* stream = format->streams[state.stream];
  // The size the file declares, checked before a decoder allocates for it.
  const int width = stream->codecpar->width;
  const int height = stream->codecpar->height;
  if (static_cast<std::size_t>(state.stream) < headerSizes.size()) {
    const auto [headerWidth, headerHeight] = headerSizes[static_cast<std::size_t>(state.stream)];
    if (headerWidth != 0 || headerHeight != 0) {
      if (auto problem = DecodedSizeProblem(headerWidth, headerHeight))
        return "cannot read " + path + ": " + *problem;
    }
  }
  if (auto problem = DecodedSizeProblem(width, height))
    return "cannot read " + path + ": " + *problem;

  state.codec.reset(avcodec_alloc_context3(decoder));
  if (!state.codec)
    return state.Problem("memory", AVERROR(ENOMEM));
  if ((result = avcodec_parameters_to_context(state.codec.get(), stream->codecpar)) < 0)
    return state.Problem("the stream's parameters", result);
  // Decoding may use every core; frames still come out in order.
  state.codec->thread_count = 0;
  AVDictionary* decoderOptions = nullptr;
  av_dict_set(&decoderOptions, "max_pixels", maxPixels.c_str(), 0);
  result = avcodec_open2(state.codec.get(), decoder, &decoderOptions);
  av_dict_free(&decoderOptions);
  if (result < 0)
    return state.Problem("the decoder", result);
  state.frame.reset(av_frame_alloc());
  state.packet.reset(av_packet_alloc());
  if (!state.frame || !state.packet)
    return state.Problem("memory", AVERROR(ENOMEM));

  state.info.width = width;
  state.info.height = height;
  state.scaler.SetPart({0, 0, width, height, width, height});
  const AVRational rate = stream->avg_frame_rate;
  state.info.rateNumerator = rate.num;
  state.info.rateDenominator = rate.den > 0 ? rate.den : 1;
  state.info.timeBaseNumerator = stream->time_base.num;
  state.info.timeBaseDenominator = stream->time_base.den > 0 ? stream->time_base.den : 1;
  state.timeBase = stream->time_base;
  if (stream->start_time != AV_NOPTS_VALUE)
    state.startTime = stream->start_time;
  state.info.codec = decoder->name;
  if (rate.num > 0 && rate.den > 0)
    state.info.frameSeconds = static_cast<double>(rate.den) / rate.num;
  state.info.declaredSeconds = DeclaredSeconds(*format, *stream);
  state.info.declaredFrames = stream->nb_frames > 0 ? stream->nb_frames : 0;
  if (state.info.declaredFrames == 0 && state.info.frameSeconds > 0.0) {
    const double frames = state.info.declaredSeconds / state.info.frameSeconds;
    if (frames > 0.0 && frames < 1e12)
      state.info.declaredFrames = static_cast<std::int64_t>(frames + 0.5);
  }
  return std::nullopt;
}

std::optional<std::string> VideoReader::SetPart(const FramePart& part) {
  const VideoInfo& info = m_state->info;
  if (part.x < 0 || part.y < 0 || part.width < 1 || part.height < 1 ||
      part.x > info.width - part.width || part.y > info.height - part.height)
    return "the part " + std::to_string(part.width) + " x " + std::to_string(part.height) + " at " +
           std::to_string(part.x) + ", " + std::to_string(part.y) +
           " does not lie inside the picture";
  if (auto problem = DecodedSizeProblem(part.outWidth, part.outHeight))
    return problem;
  m_state->scaler.SetPart(part);
  return std::nullopt;
}

const FramePart& VideoReader::Part() const {
  return m_state->scaler.Part();
}

void VideoReader::SetPixelOrder(PixelOrder order) {
  m_state->scaler.SetOrder(order);
}

bool VideoReader::ReadFrame(std::vector<std::uint8_t>& rgb) {
  return m_state->Decode() && m_state->Convert(rgb);
}

bool VideoReader::ReadFrame(std::span<std::uint8_t> rows, std::size_t stride) {
  State& state = *m_state;
  const FramePart& part = state.scaler.Part();
  const std::size_t rowBytes = static_cast<std::size_t>(std::max(part.outWidth, 0)) * 3;
  if (part.outHeight < 1 || stride < rowBytes || stride > static_cast<std::size_t>(INT32_MAX) ||
      rows.size() < stride * static_cast<std::size_t>(part.outHeight - 1) + rowBytes) {
    state.problem = "cannot read " + state.path + ": a frame does not fit the rows given";
    return false;
  }
  return state.Decode() && state.Convert(rows.data(), stride);
}

bool VideoReader::SkipFrame() {
  return m_state->Decode() && m_state->Accept();
}

bool VideoReader::State::Decode() {
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

}  // namespace video
